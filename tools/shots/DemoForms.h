#pragma once
// Demo forms written with the toolkit from the control tables of the
// application's windows, filled with sample texts, for screenshots.
#include "ui/toolkit/Components.h"
#include "ui/toolkit/Form.h"
#include "ui/toolkit/FrameControls.h"
#include "ui/toolkit/InputControls.h"
#include "ui/toolkit/ListView.h"
#include "ui/toolkit/PictureButton.h"
#include "ui/toolkit/StdControls.h"
#include "ui/toolkit/TreeView.h"

// The progress window of a wipe job.
class TFormWipeDemo : public tk::Form {
public:
    TFormWipeDemo();
    void FillSample();

    tk::Label LabelHeader{this};
    tk::Label LabelProgress{this};
    tk::Label LabelItemProgressPrefix{this};
    tk::ProgressBar PBFileProgress{this};
    tk::Label LabelWipeMethod{this};
    tk::ComboBox CBWipeMethod{this};
    tk::Label LabelWipePasses{this};
    tk::TrackBar TBWipePasses{this};
    tk::Label LabelWipePassesCount{this};
    tk::Button ButtonStart{this};
    tk::Button ButtonPauseResume{this};
    tk::Button ButtonCancel{this};
    tk::Button ButtonClose{this};

private:
    void TBWipePassesChange();
};

// The main window frame: toolbar, tree, splitter, list, status bar.
class TFormMainDemo : public tk::Form {
public:
    TFormMainDemo();
    ~TFormMainDemo() override;
    void FillSample();

    tk::Panel PanelToolBar{this};
    tk::PictureButton ButtonWipe{&PanelToolBar};
    tk::PictureButton ButtonDriveWipe{&PanelToolBar};
    tk::PictureButton ButtonFreeSpaceWipe{&PanelToolBar};
    tk::PictureButton ButtonOptions{&PanelToolBar};
    tk::PictureButton ButtonRefresh{&PanelToolBar};
    tk::PictureButton ButtonLog{&PanelToolBar};
    tk::PictureButton ButtonHelp{&PanelToolBar};
    tk::PictureButton ButtonAbout{&PanelToolBar};
    tk::PictureButton ButtonExit{&PanelToolBar};
    tk::StatusBar StatusBar{this};
    tk::Panel PanelSelection{this};
    tk::TreeView TV{&PanelSelection};
    tk::Splitter SplitterHorizontal{&PanelSelection};
    tk::ListView LV{&PanelSelection};

private:
    HIMAGELIST images_ = nullptr;
};
