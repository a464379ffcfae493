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

// The log window: a list above a button panel.
class TFormLogDemo : public tk::Form {
public:
    TFormLogDemo();
    void FillSample();

    tk::ListView LV{this};
    tk::Panel PanelButtons{this};
    tk::Button ButtonOK{&PanelButtons};
    tk::Button ButtonLogClear{&PanelButtons};

protected:
    // The log window keeps its buttons at the right edge as it is resized.
    void DoResize() override;

private:
    void FormResize();
};

// The options window.
class TFormOptionsDemo : public tk::Form {
public:
    TFormOptionsDemo();
    void FillSample();

    tk::Label LabelLanguage{this};
    tk::ComboBox CBLanguage{this};
    tk::Label LabelWipeMethod{this};
    tk::ComboBox CBWipeMethod{this};
    tk::GroupBox GBWipeMethod{this};
    tk::Label LabelWipeMethodDescription{&GBWipeMethod};
    tk::Label LabelWipePasses{this};
    tk::TrackBar TBWipePasses{this};
    tk::Label LabelWipePassesCount{this};
    tk::Label LabelLogEnabled{this};
    tk::RadioButton RBLogDisabled{this};
    tk::RadioButton RBLogEnabled{this};
    tk::Label LabelLog{this};
    tk::Edit EditLog{this};
    tk::Button ButtonLogBrowse{this};
    tk::Button ButtonOK{this};
    tk::Button ButtonCancel{this};
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
