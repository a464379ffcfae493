#pragma once
// The options dialog: interface language, default wipe method, rounds per
// method, logging and the log file, the job reports and their folder.
// Nothing is stored until OK.
#include "ui/toolkit/Form.h"
#include "ui/toolkit/InputControls.h"
#include "ui/toolkit/StdControls.h"

class Logger;
class ReportSystem;
class UnicodeLanguage;
class VxUserConfig;

class TFormOptions : public tk::Form {
public:
    // Works on the application's configuration, language manager and log.
    TFormOptions();
    // Works on these instead (tests); they must outlive the window.
    TFormOptions(VxUserConfig& config, UnicodeLanguage& language, Logger& log);

    // Fills the dialog from the configuration and shows it; true when closed
    // with OK (the settings have then been stored).
    bool Execute();

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
    tk::Label LabelExplorerMenu{this};
    tk::CheckBox CBExplorerMenu{this};
    tk::Label LabelReports{this};
    tk::CheckBox CBReports{this};
    tk::Label LabelReportFolder{this};
    tk::Edit EditReportFolder{this};
    tk::Button ButtonReportBrowse{this};
    tk::Button ButtonOK{this};
    tk::Button ButtonCancel{this};

private:
    void Translate();
    void FillLanguages();
    void CBWipeMethodChange();
    void TBWipePassesChange();
    void RBLogDisabledClick();
    void RBLogEnabledClick();
    void UpdateLoggingControls();
    void ButtonLogBrowseClick();
    void UpdateReportControls();
    void ButtonReportBrowseClick();
    void ButtonOKClick();
    // The log could not be written to the file in force before the dialog.
    void ReportLogSaveFailure(const std::wstring& path, unsigned long error, bool loggingStaysOn);
    // Writes or removes Explorer's verbs as the box says.
    void ApplyExplorerMenu();
    int SelectedMethod() const;

    VxUserConfig& config;
    UnicodeLanguage& language;
    Logger& log;
    ReportSystem& reportSystem;
};
