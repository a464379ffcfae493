#include "ui/OptionsWindow.h"

#include "log/Log.h"
#include "platform/SystemError.h"
#include "report/ReportFiles.h"
#include "settings/LanguageKeys.h"
#include "settings/Unicodelanguage.h"
#include "settings/Vxuserconfig.h"
#include "settings/WipeMethodCount.h"
#include "ui/ExplorerMenu.h"
#include "ui/Utils.h"
#include "ui/toolkit/Components.h"

using namespace tk;

namespace {

constexpr int32_t kDefaultWipeMethod = 2;

std::wstring PassesKey(int method) { return L"Method" + std::to_wstring(method) + L"Passes"; }

}  // namespace

TFormOptions::TFormOptions() : TFormOptions(UserConfig(), Language(), AppLog()) {}

TFormOptions::TFormOptions(VxUserConfig& config, UnicodeLanguage& language, Logger& log)
    : config(config), language(language), log(log), reportSystem(SystemReportSystem())
{
    SetBorderStyle(BorderStyle::Dialog);
    SetBorderIcons(0);
    SetPosition(Position::MainFormCenter);
    SetClientSize(506, 435);
    LabelLanguage.SetBounds(8, 16, 0, 13);
    CBLanguage.SetBounds(116, 13, 374, 21);
    CBLanguage.SetAnchors(akLeft | akTop | akRight);
    CBLanguage.SetTabStop(true);
    LabelWipeMethod.SetBounds(8, 56, 0, 13);
    CBWipeMethod.SetBounds(116, 53, 374, 21);
    CBWipeMethod.SetDropDownCount(kWipeMethodCount);
    CBWipeMethod.SetTabStop(true);
    CBWipeMethod.OnChange = [this] { CBWipeMethodChange(); };
    GBWipeMethod.SetBounds(116, 80, 370, 121);
    GBWipeMethod.SetAnchors(akLeft | akTop | akRight);
    LabelWipeMethodDescription.SetBounds(4, 12, 358, 97);
    LabelWipeMethodDescription.SetAnchors(akAll);
    LabelWipeMethodDescription.SetAutoSize(false);
    LabelWipeMethodDescription.SetWordWrap(true);
    LabelWipePasses.SetBounds(8, 212, 0, 13);
    TBWipePasses.SetBounds(108, 207, 358, 34);
    TBWipePasses.SetRange(1, 10);
    TBWipePasses.SetPageSize(1);
    TBWipePasses.SetPosition(1);
    TBWipePasses.SetTabStop(true);
    TBWipePasses.OnChange = [this] { TBWipePassesChange(); };
    LabelWipePassesCount.SetBounds(472, 212, 0, 13);
    LabelWipePassesCount.SetAnchors(akTop | akRight);
    LabelLogEnabled.SetBounds(8, 248, 0, 13);
    RBLogDisabled.SetBounds(120, 247, 370, 17);
    RBLogDisabled.OnClick = [this] { RBLogDisabledClick(); };
    RBLogEnabled.SetBounds(120, 266, 370, 17);
    RBLogEnabled.OnClick = [this] { RBLogEnabledClick(); };
    LabelLog.SetBounds(8, 292, 0, 13);
    EditLog.SetBounds(120, 289, 302, 21);
    EditLog.SetReadOnly(true);
    EditLog.SetTabStop(false);
    EditLog.SetParentColor(true);
    ButtonLogBrowse.SetBounds(428, 289, 62, 21);
    ButtonLogBrowse.SetAnchors(akTop | akRight);
    ButtonLogBrowse.OnClick = [this] { ButtonLogBrowseClick(); };
    LabelExplorerMenu.SetBounds(8, 321, 0, 13);
    CBExplorerMenu.SetBounds(120, 320, 370, 17);
    CBExplorerMenu.SetAnchors(akLeft | akTop | akRight);
    LabelReports.SetBounds(8, 345, 0, 13);
    CBReports.SetBounds(120, 344, 370, 17);
    CBReports.OnClick = [this] { UpdateReportControls(); };
    LabelReportFolder.SetBounds(8, 370, 0, 13);
    EditReportFolder.SetBounds(120, 367, 302, 21);
    EditReportFolder.SetReadOnly(true);
    EditReportFolder.SetTabStop(false);
    EditReportFolder.SetParentColor(true);
    ButtonReportBrowse.SetBounds(428, 367, 62, 21);
    ButtonReportBrowse.SetAnchors(akTop | akRight);
    ButtonReportBrowse.OnClick = [this] { ButtonReportBrowseClick(); };
    ButtonOK.SetBounds(337, 402, 71, 25);
    ButtonOK.SetAnchors(akRight | akBottom);
    ButtonOK.SetDefault(true);
    ButtonOK.SetModalResult(mrOK);
    ButtonOK.OnClick = [this] { ButtonOKClick(); };
    ButtonCancel.SetBounds(415, 402, 75, 25);
    ButtonCancel.SetAnchors(akRight | akBottom);
    ButtonCancel.SetCancel(true);
    ButtonCancel.SetModalResult(mrCancel);
}

bool TFormOptions::Execute()
{
    CreateHandle();
    Translate();
    FillLanguages();

    int32_t method = config.ReadInt(L"Config", L"WipeMethod", kDefaultWipeMethod);
    // A stored number that names no method would leave the list empty and
    // store nonsense at OK.
    if (method < 0 || method >= kWipeMethodCount)
        method = kDefaultWipeMethod;
    CBWipeMethod.SetItemIndex(method);

    bool logging = config.ReadInt(L"Config", L"Logging", 0) != 0;
    RBLogEnabled.SetChecked(logging);
    RBLogDisabled.SetChecked(!logging);
    EditLog.SetText(config.ReadString(L"Config", L"LogFile", DefaultLogPath()));
    // The registry itself says whether the verbs are there.
    CBExplorerMenu.SetChecked(ExplorerMenu().Installed());
    ReportSettings reports = ReadReportSettings(config, reportSystem);
    CBReports.SetChecked(reports.enabled);
    EditReportFolder.SetText(reports.folder);
    UpdateReportControls();

    CBWipeMethodChange();
    TBWipePassesChange();
    return ShowModal() == mrOK;
}

void TFormOptions::Translate()
{
    SetFont(ToFontSpec(language.GetFont(L"Font")));
    SetCaption(language.GetText(L"OptionsWindow.Title"));
    LabelLanguage.SetCaption(language.GetText(L"OptionsWindow.Language"));
    LabelWipeMethod.SetCaption(language.GetText(L"OptionsWindow.WipeMethod"));
    LabelWipePasses.SetCaption(language.GetText(L"OptionsWindow.WipePasses"));
    LabelLogEnabled.SetCaption(language.GetText(L"OptionsWindow.Logging"));
    RBLogEnabled.SetCaption(language.GetText(L"OptionsWindow.LoggingEnabled"));
    RBLogDisabled.SetCaption(language.GetText(L"OptionsWindow.LoggingDisabled"));
    LabelLog.SetCaption(language.GetText(L"OptionsWindow.LogFile"));
    ButtonLogBrowse.SetCaption(language.GetText(L"OptionsWindow.LogFileBrowse"));
    LabelExplorerMenu.SetCaption(language.GetText(L"OptionsWindow.Explorer"));
    CBExplorerMenu.SetCaption(language.GetText(L"OptionsWindow.ExplorerMenu"));
    LabelReports.SetCaption(language.GetText(L"OptionsWindow.Reports"));
    CBReports.SetCaption(language.GetText(L"OptionsWindow.ReportsEnabled"));
    LabelReportFolder.SetCaption(language.GetText(L"OptionsWindow.ReportFolder"));
    ButtonReportBrowse.SetCaption(language.GetText(L"OptionsWindow.ReportFolderBrowse"));
    ButtonOK.SetCaption(language.GetText(L"OptionsWindow.OK"));
    ButtonCancel.SetCaption(language.GetText(L"OptionsWindow.Cancel"));
    CBWipeMethod.Clear();
    for (int method = 0; method < kWipeMethodCount; ++method)
        CBWipeMethod.AddItem(language.GetText(WipeMethodNameKey(method)), method);
}

void TFormOptions::FillLanguages()
{
    CBLanguage.Clear();
    LanguageList languages;
    language.ListLanguages(languages);
    for (const auto& [name, id] : languages)
        CBLanguage.AddItem(name, id);
    // The stored choice, "<Default>" (0) included, so that OK keeps it; then
    // the language in use; then the first entry.
    auto find = [this](int32_t id) {
        for (int index = 0; index < CBLanguage.Count(); ++index)
            if (CBLanguage.ItemData(index) == id)
                return index;
        return -1;
    };
    int current = language.GetLanguageId();
    int index = find(config.ReadInt(L"Config", L"Language", current));
    if (index < 0)
        index = find(current);
    CBLanguage.SetItemIndex(index < 0 ? 0 : index);
}

int TFormOptions::SelectedMethod() const
{
    int method = CBWipeMethod.ItemIndex();
    return method < 0 ? kDefaultWipeMethod : method;
}

void TFormOptions::CBWipeMethodChange()
{
    int method = SelectedMethod();
    LabelWipeMethodDescription.SetCaption(language.GetText(WipeMethodDescriptionKey(method)));
    UpdateLoggingControls();
    TBWipePasses.SetPosition(config.ReadInt(L"Config", PassesKey(method), 1));
    // The label follows every position set from here, whether or not the bar
    // tells of it: it must show what OK stores.
    TBWipePassesChange();
}

void TFormOptions::TBWipePassesChange() { LabelWipePassesCount.SetCaption(std::to_wstring(TBWipePasses.Position())); }

void TFormOptions::RBLogDisabledClick() { UpdateLoggingControls(); }

void TFormOptions::RBLogEnabledClick() { UpdateLoggingControls(); }

void TFormOptions::UpdateLoggingControls()
{
    bool enabled = RBLogEnabled.Checked();
    LabelLog.SetEnabled(enabled);
    EditLog.SetEnabled(enabled);
    ButtonLogBrowse.SetEnabled(enabled);
    LabelWipePasses.SetEnabled(true);
    TBWipePasses.SetEnabled(true);
}

void TFormOptions::ButtonLogBrowseClick()
{
    SaveDialog SD;
    SD.DefaultExt = L"LOG";
    // Hide the read-only box, the folder must exist, ask before replacing a
    // file that exists (a report picked by mistake would be truncated at the
    // next save), resizable.
    SD.Options = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT | OFN_ENABLESIZING;
    SD.Title = language.GetText(L"OptionsWindow.SaveDialogTitle");
    SD.Filter = language.GetText(L"OptionsWindow.SaveDialogFilter");
    std::wstring path = EditLog.Text();
    size_t split = path.find_last_of(L"\\:");
    SD.InitialDir = split == std::wstring::npos ? std::wstring() : path.substr(0, split + 1);
    SD.FileName = split == std::wstring::npos ? path : path.substr(split + 1);
    if (SD.Execute(this))
        EditLog.SetText(SD.FileName);
}

void TFormOptions::UpdateReportControls()
{
    bool enabled = CBReports.Checked();
    LabelReportFolder.SetEnabled(enabled);
    EditReportFolder.SetEnabled(enabled);
    ButtonReportBrowse.SetEnabled(enabled);
}

void TFormOptions::ButtonReportBrowseClick()
{
    FolderDialog dialog;
    dialog.Title = language.GetText(L"OptionsWindow.ReportFolderDialogTitle");
    dialog.Folder = EditReportFolder.Text();
    // The folder is made when the first report needs it, not here.
    if (dialog.Execute(this))
        EditReportFolder.SetText(dialog.Folder);
}

void TFormOptions::ButtonOKClick()
{
    int method = SelectedMethod();
    int languageIndex = CBLanguage.ItemIndex();
    config.WriteInt(L"Config", L"Language",
                    languageIndex < 0 ? 0 : static_cast<int32_t>(CBLanguage.ItemData(languageIndex)));
    config.WriteInt(L"Config", L"WipeMethod", method);
    if (TBWipePasses.Enabled())
        config.WriteInt(L"Config", PassesKey(method), TBWipePasses.Position());
    ApplyExplorerMenu();
    // The default folder is stored as none, so that it follows the Documents folder if that moves.
    std::wstring reportFolder = EditReportFolder.Text();
    if (reportFolder == DefaultReportFolder(reportSystem))
        reportFolder.clear();
    WriteReportSettings(config, {CBReports.Checked(), reportFolder});

    bool loggingOn = RBLogEnabled.Checked();
    bool wasLogging = config.ReadInt(L"Config", L"Logging", 0) != 0;
    // The file start-up read the log from: with no stored path, the default
    // one, not whatever was just browsed to.
    std::wstring previousFile = config.ReadString(L"Config", L"LogFile", DefaultLogPath());
    DWORD saved = wasLogging ? log.Save(previousFile) : ERROR_SUCCESS;
    // A file that cannot be written must not keep the user from moving the
    // log or switching it off: the new settings are stored in any case.
    config.WriteInt(L"Config", L"Logging", loggingOn ? 1 : 0);
    config.WriteString(L"Config", L"LogFile", EditLog.Text());
    // From now on records go to the file now in force, or to none.
    DWORD moved = ERROR_SUCCESS;
    if (loggingOn)
        moved = log.Save(EditLog.Text());
    else
        log.StopWriting();
    if (saved != ERROR_SUCCESS)
        ReportLogSaveFailure(previousFile, saved, loggingOn);
    else if (moved != ERROR_SUCCESS)
        ReportLogSaveFailure(EditLog.Text(), moved, true);
}

void TFormOptions::ReportLogSaveFailure(const std::wstring& path, unsigned long error, bool loggingStaysOn)
{
    TextVariables variables;
    variables[L"LogFile"] = path;
    AddSystemError(variables, error);
    // Switched off, nothing writes this run's records any more.
    const wchar_t* key = loggingStaysOn ? L"OptionsWindow.LogSaveFailed" : L"OptionsWindow.LogSaveFailedLoggingOff";
    language.MessageDialog(language.GetText(key, variables), MessageDialogType::Error, DialogButton::OK, Color());
}

void TFormOptions::ApplyExplorerMenu()
{
    ExplorerMenu menu;
    DWORD error = ERROR_SUCCESS;
    if (CBExplorerMenu.Checked())
        error = menu.Install(ExplorerMenuTextsOf(language));
    else if (menu.Installed())
        error = menu.Remove();
    if (error == ERROR_SUCCESS)
        return;
    TextVariables variables;
    AddSystemError(variables, error);
    language.MessageDialog(language.GetText(L"OptionsWindow.ExplorerMenuFailed", variables), MessageDialogType::Error,
                           DialogButton::OK, Color());
}
