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
