// The main window's frame: start-up, the branded toolbar, translation,
// layout, the log, and what closing the window or ending the session does.
#include "ui/MainWindow.h"

#include "log/Log.h"
#include "platform/Elevation.h"
#include "platform/ExecutablePath.h"
#include "platform/Shellfolder.h"
#include "platform/SystemError.h"
#include "settings/Oem.h"
#include "settings/Oemutils.h"
#include "settings/Unicodelanguage.h"
#include "settings/Vxuserconfig.h"
#include "ui/AboutWindow.h"
#include "ui/ExplorerMenu.h"
#include "ui/Forms.h"
#include "ui/HelpWindow.h"
#include "ui/LogWindow.h"
#include "ui/OptionsWindow.h"
#include "ui/SessionState.h"
#include "ui/Splash.h"
#include "ui/Utils.h"
#include "ui/toolkit/Application.h"

#include <algorithm>

namespace {

std::wstring BrandingFileBesideExecutable() { return ExecutableFolder() + L"\\KESTO.OEM"; }

[[noreturn]] void EndWithMessage(const wchar_t* text)
{
    // The caption is the program's name: no text can be looked up yet.
    tk::Application::Instance().ShowMessageBox(text, ExecutableBaseName(), MB_OK);
    ExitProcess(0);
}

std::wstring Wide(const char* text) { return std::wstring(text, text + strlen(text)); }

// A window restored where no monitor shows it any more (one was unplugged)
// comes back centred on the primary monitor's work area, no larger than it.
BOOL CALLBACK FindMonitorShowing(HMONITOR monitor, HDC, LPRECT, LPARAM data)
{
    auto* search = reinterpret_cast<std::pair<RECT, bool>*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    RECT common;
    if (GetMonitorInfoW(monitor, &info) && IntersectRect(&common, &search->first, &info.rcWork)) {
        search->second = true;
        return FALSE;
    }
    return TRUE;
}

RECT BroughtOnScreen(const RECT& bounds)
{
    std::pair<RECT, bool> search{bounds, false};
    EnumDisplayMonitors(nullptr, nullptr, FindMonitorShowing, reinterpret_cast<LPARAM>(&search));
    if (search.second)
        return bounds;
    MONITORINFO primary{};
    primary.cbSize = sizeof(primary);
    GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &primary);
    const RECT& work = primary.rcWork;
    LONG width = std::min(bounds.right - bounds.left, work.right - work.left);
    LONG height = std::min(bounds.bottom - bounds.top, work.bottom - work.top);
    LONG left = work.left + (work.right - work.left - width) / 2;
    LONG top = work.top + (work.bottom - work.top - height) / 2;
    return RECT{left, top, left + width, top + height};
}

}  // namespace

TFormMain::TFormMain(const MainWindowSetup& setup)
    : branding_(setup.branding != nullptr ? *setup.branding : OEMConfig()),
      config_(setup.config != nullptr ? *setup.config : UserConfig()),
      language_(setup.language != nullptr ? *setup.language : Language()),
      log_(setup.log != nullptr ? *setup.log : AppLog()),
      elevation_(setup.elevation != nullptr ? *setup.elevation : SystemElevation())
{
    BuildControls();
    CreateHandle();
    IconCache().Initialise(false);
    selectionUpdatePending = false;
    LoadBranding(setup.brandingPath.empty() ? BrandingFileBesideExecutable() : setup.brandingPath);
    language_.SelectLanguage(config_.ReadInt(L"Config", L"Language", language_.GetLanguageId()));
    StartSplash();
    ApplyLanguage();
    UpdateElevationShields();
    RestoreGeometry();
    StartLog();
    InitialiseTree();
    for (int panel = 0; panel < StatusBar.PanelCount(); ++panel)
        StatusBar.SetPanelText(panel, std::wstring());
    if (splashShown_)
        ReparentSplash(Handle());
}

// The tree nodes and rows go with the windows; the network folder after them.
TFormMain::~TFormMain() = default;

std::vector<TFormMain::Button> TFormMain::Buttons()
{
    return {{&ButtonWipe, "ButtonWipe"},       {&ButtonDriveWipe, "ButtonDriveWipe"},
            {&ButtonFreeSpaceWipe, "ButtonFreeSpaceWipe"}, {&ButtonOptions, "ButtonOptions"},
            {&ButtonRefresh, "ButtonRefresh"}, {&ButtonHelp, "ButtonHelp"},
            {&ButtonAbout, "ButtonAbout"},     {&ButtonExit, "ButtonExit"},
            {&ButtonLog, "ButtonLog"}};
}

void TFormMain::BuildControls()
{
    SetClientSize(651, 566);
    PanelToolBar.SetAlign(tk::Align::Top);
    PanelToolBar.SetHeight(64);
    const std::pair<tk::PictureButton*, const wchar_t*> captions[] = {
        {&ButtonWipe, L"Delete"},   {&ButtonFreeSpaceWipe, L"Free Space Wipe"}, {&ButtonOptions, L"Options"},
        {&ButtonRefresh, L"Refresh"}, {&ButtonLog, L"Log"}, {&ButtonHelp, L"Help"}, {&ButtonAbout, L"About"},
        {&ButtonExit, L"Exit"}};
    for (const auto& [button, caption] : captions)
        button->SetCaption(caption);
    ButtonWipe.OnClick = [this] { ButtonWipeClick(); };
    ButtonDriveWipe.OnClick = [this] { ButtonDriveWipeClick(); };
    ButtonFreeSpaceWipe.OnClick = [this] { ButtonFreeSpaceWipeClick(); };
    ButtonOptions.OnClick = [this] { ButtonOptionsClick(); };
    ButtonRefresh.OnClick = [this] { ButtonRefreshClick(); };
    ButtonLog.OnClick = [this] { ButtonLogClick(); };
    ButtonHelp.OnClick = [this] { ButtonHelpClick(); };
    ButtonAbout.OnClick = [this] { ButtonAboutClick(); };
    ButtonExit.OnClick = [this] { ButtonExitClick(); };

    StatusBar.SetPanelCount(3);
    PanelSelection.SetAlign(tk::Align::Client);
    TV.SetAlign(tk::Align::Left);
    TV.SetWidth(201);
    TV.SetReadOnly(true);
    TV.SetHideSelection(false);
    TV.SetIndent(19);
    TV.OnExpanding = [this](tk::TreeNode node, bool& allow) { TVExpanding(node, allow); };
    TV.OnChange = [this](tk::TreeNode node) { TVChange(node); };
    SplitterHorizontal.SetAlign(tk::Align::Left);
    SplitterHorizontal.SetWidth(5);
    SplitterHorizontal.SetBeveled(true);
    SplitterHorizontal.SetMinSize(80);
    LV.SetAlign(tk::Align::Client);
    LV.SetReadOnly(true);
    LV.SetMultiSelect(true);
    LV.SetHideSelection(false);
    LV.AddColumn(L"Name", 200);
    LV.AddColumn(L"Modified", 100);
    LV.AddColumn(L"Type", 80);
    LV.AddColumn(L"Size", 80);
    LV.OnSelectItem = [this](int, bool) { LVSelectItem(); };
    LV.OnDblClick = [this] { LVDblClick(); };

    OnShow = [this] { TntFormShow(); };
    OnCloseQuery = [this](bool& canClose) { TntFormCloseQuery(canClose); };
    OnClose = [this] { TntFormClose(); };
    OnResize = [this] { TntFormResize(); };
    OnMessage = [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        return MainWindowMessage(message, wParam, lParam, result);
    };
}

void TFormMain::LoadBranding(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        EndWithMessage(L"No OEM file");
    CloseHandle(file);
    if (!LoadOEMFile(path, branding_))
        EndWithMessage(L"Corrupted OEM file");
    CheckRequiredBrandingValues();
    language_.SetRecordDefinitions(branding_.GetValue("UpdateLanguageDef").GetBool());
    SetFont(ToFontSpec(language_.GetFont(L"Font")));
    PanelToolBar.SetDockedSizePx(branding_.GetValue("Settings/ButtonHeight").GetInt());
    for (const Button& button : Buttons())
        LayOutButton(*button.control, button.name);
}

// Every value the program cannot do without is looked up before anything is
// done, so a broken branding file ends the program at once (the lookup says
// which value is missing) instead of in the middle of a wipe.
void TFormMain::CheckRequiredBrandingValues()
{
    static const char* const required[] = {"UpdateLanguageDef",     "Settings/ButtonWidth",
                                           "Settings/ButtonHeight", "Settings/FlatButtons",
                                           "Settings/ButtonHints",  "Settings/DefaultWidth",
                                           "Settings/DefaultHeight", "Settings/SecondConfirmation"};
    for (const char* path : required)
        branding_.GetValue(path);
    for (const Button& button : Buttons())
        branding_.GetValue(std::string("Settings/") + button.name + "Position");
    SetSecondConfirmationWanted(branding_.GetValue("Settings/SecondConfirmation").GetBool());
}

void TFormMain::LayOutButton(tk::PictureButton& button, const std::string& name)
{
    int position = branding_.GetValue("Settings/" + name + "Position").GetInt();
    int width = branding_.GetValue("Settings/ButtonWidth").GetInt();
    int height = branding_.GetValue("Settings/ButtonHeight").GetInt();
    bool flat = branding_.GetValue("Settings/FlatButtons").GetBool();
    buttonHints_ = branding_.GetValue("Settings/ButtonHints").GetBool();
    RECT toolbar = PanelToolBar.BoundsPx();
    // Negative slots count from the right edge and follow it when the window is resized.
    int left = position >= 0 ? position * width : (toolbar.right - toolbar.left) + position * width;
    button.SetAnchors(position >= 0 ? tk::akLeft | tk::akTop : tk::akTop | tk::akRight);
    button.SetBoundsPx(RECT{left, 0, left + width, height});
    OwnedBitmap glyph = LoadBrandingGraphic(branding_, "Graphics/" + name);
    // The picture holds the normal and the disabled look side by side.
    button.SetNumGlyphs(2);
    button.SetGlyph(glyph.release());
    button.SetFlat(flat);
}

void TFormMain::StartSplash()
{
    OwnedBitmap picture = LoadBrandingGraphic(branding_, "Graphics/Splash");
    if (!picture)
        return;
    int32_t rounding = branding_.GetValue("Settings/SplashRounding").GetInt();
    int32_t displayMs = branding_.GetValue("Settings/SplashDisplayMS").GetInt();
    ShowSplash(picture.release(), displayMs, rounding);
    splashShown_ = true;
}

void TFormMain::ApplyLanguage()
{
    language_.SelectLanguage(config_.ReadInt(L"Config", L"Language", language_.GetLanguageId()));
    SetFont(ToFontSpec(language_.GetFont(L"Font")));
    for (const Button& button : Buttons()) {
        std::wstring name = Wide(button.name);
        button.control->SetCaption(language_.GetText(L"MainWindow." + name + L"Caption"));
        button.control->SetHint(buttonHints_ ? language_.GetText(L"MainWindow." + name + L"Hint") : std::wstring());
    }
    const wchar_t* columns[] = {L"MainWindow.ColumnName", L"MainWindow.ColumnModified", L"MainWindow.ColumnType",
                                L"MainWindow.ColumnSize"};
    for (int column = 0; column < 4; ++column)
        LV.SetColumnCaption(column, language_.GetText(columns[column]));
    std::wstring title = language_.GetText(L"MainWindow.Title");
    SetCaption(title);
    tk::Application::Instance().SetTitle(title);
}

void TFormMain::RestoreGeometry()
{
    int width = config_.ReadInt(L"MainWindow", L"Width", branding_.GetValue("Settings/DefaultWidth").GetInt());
    int height = config_.ReadInt(L"MainWindow", L"Height", branding_.GetValue("Settings/DefaultHeight").GetInt());
    int left = config_.ReadInt(L"MainWindow", L"Left", (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
    int top = config_.ReadInt(L"MainWindow", L"Top", (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
    SetOuterBoundsPx(BroughtOnScreen(RECT{left, top, left + width, top + height}));
    TV.SetDockedSizePx(config_.ReadInt(L"MainWindow", L"SplitH", 200));
    int columns = 0;
    const std::pair<const wchar_t*, int> remembered[] = {{L"Col1W", 100}, {L"Col2W", 80}, {L"Col3W", 60}};
    for (int column = 1; column <= 3; ++column) {
        const auto& [key, standard] = remembered[column - 1];
        LV.SetColumnWidthPx(column, config_.ReadInt(L"MainWindow", key, standard));
        columns += LV.ColumnWidthPx(column);
    }
    RECT list{};
    GetClientRect(LV.Handle(), &list);
    LV.SetColumnWidthPx(0, list.right - columns - 20);
}

bool TFormMain::LoggingOn() { return config_.ReadInt(L"Config", L"Logging", 0) != 0; }

void TFormMain::StartLog()
{
    if (LoggingOn())
        log_.Load(config_.ReadString(L"Config", L"LogFile", DefaultLogPath()));
    log_.Add(LogCategory::Info, std::wstring(), L"Log.ApplicationStartup");
}

// The window opens on the desktop's content, as a folder browser does.
void TFormMain::TntFormShow()
{
    TV.SetFocus();
    if (TV.Selected() == nullptr)
        TV.Select(TV.FirstChild(nullptr));
}

// A close request that reaches this window behind a running wipe's window
// (the task manager, taskkill) would end the job half-way and the program
// with it: it is refused as the session's end is, and the user is told.
void TFormMain::TntFormCloseQuery(bool& canClose)
{
    if (RunningWipeJobs() == 0)
        return;
    canClose = false;
    if (closeRefusalShown_)
        return;
    closeRefusalShown_ = true;
    language_.MessageDialog(language_.GetText(L"MainWindow.CloseBlocked"), MessageDialogType::Warning,
                            DialogButton::OK, Color());
    closeRefusalShown_ = false;
}

void TFormMain::TntFormClose() { RunCloseSteps(true); }

// Runs once, whichever comes first: closing the window or the end of the
// Windows session. The log is written even from a minimized window (it holds
// the record of what this run destroyed); only the layout of a minimized
// window is not worth keeping.
void TFormMain::RunCloseSteps(bool reportFailure)
{
    if (closeStepsDone_)
        return;
    closeStepsDone_ = true;
    if (LoggingOn()) {
        log_.Add(LogCategory::Info, std::wstring(), L"Log.ApplicationShutdown");
        std::wstring path = config_.ReadString(L"Config", L"LogFile", DefaultLogPath());
        DWORD error = log_.Save(path);
        if (error != ERROR_SUCCESS && reportFailure)
            tk::Application::Instance().ShowError(path + L"\n\n" + SystemErrorMessage(error));
    }
    if (!IsIconic(Handle()))
        SaveLayout();
}

void TFormMain::SaveLayout()
{
    RECT bounds{};
    GetWindowRect(Handle(), &bounds);
    config_.WriteInt(L"MainWindow", L"Left", bounds.left);
    config_.WriteInt(L"MainWindow", L"Top", bounds.top);
    config_.WriteInt(L"MainWindow", L"Width", bounds.right - bounds.left);
    config_.WriteInt(L"MainWindow", L"Height", bounds.bottom - bounds.top);
    config_.WriteInt(L"MainWindow", L"SplitH", TV.DockedSizePx());
    config_.WriteInt(L"MainWindow", L"Col1W", LV.ColumnWidthPx(1));
    config_.WriteInt(L"MainWindow", L"Col2W", LV.ColumnWidthPx(2));
    config_.WriteInt(L"MainWindow", L"Col3W", LV.ColumnWidthPx(3));
}

void TFormMain::TntFormResize()
{
    StatusBar.SetPanelWidth(0, ClientWidth() - 350);
    StatusBar.SetPanelWidth(1, 200);
    StatusBar.SetPanelWidth(2, 150);
}

bool TFormMain::MainWindowMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result)
{
    switch (message) {
    case WM_SELECTION_CHANGED:
        selectionUpdatePending = false;
        UpdateToolbarButtons();
        UpdateSelectionStatus();
        result = 0;
        return true;
    case WM_LOAD_OWN_ICONS:
        LoadOwnIcons();
        result = 0;
        return true;
    case WM_QUERYENDSESSION:
        // Ending the session would kill a running wipe half-way; Windows
        // shows the reason and lets the user decide.
        if (RunningWipeJobs() > 0) {
            ShutdownBlockReasonCreate(Handle(), language_.GetText(L"MainWindow.ShutdownBlocked").c_str());
            result = FALSE;
        } else {
            ShutdownBlockReasonDestroy(Handle());
            result = TRUE;
        }
        return true;
    case WM_ENDSESSION:
        // The process may be ended any moment after this returns: no messages.
        if (wParam)
            RunCloseSteps(false);
        else
            ShutdownBlockReasonDestroy(Handle());
        result = 0;
        return true;
    }
    return false;
}

void TFormMain::ButtonOptionsClick()
{
    if (Forms().Options == nullptr || !Forms().Options->Execute())
        return;
    ApplyLanguage();
    ExplorerMenu().UpdateTexts(ExplorerMenuTextsOf(language_));
    UpdateToolbarButtons();
    UpdateSelectionStatus();
}

void TFormMain::ButtonLogClick()
{
    if (Forms().Log != nullptr)
        Forms().Log->Execute();
}

void TFormMain::ButtonHelpClick()
{
    std::wstring url = HelpURL();
    if (!url.empty() && Forms().Help != nullptr)
        Forms().Help->Execute(url);
}

void TFormMain::ButtonAboutClick()
{
    if (Forms().About != nullptr)
        Forms().About->Execute();
}

void TFormMain::ButtonExitClick() { Close(); }
