// Entry point of Varnox.exe.
#include <windows.h>
#include <commctrl.h>

#include "log/Log.h"
#include "platform/ConsoleOutput.h"
#include "platform/ExecutablePath.h"
#include "platform/StartGathering.h"
#include "settings/Oem.h"
#include "settings/Oemutils.h"
#include "settings/Unicodelanguage.h"
#include "settings/Vxuserconfig.h"
#include "ui/AboutWindow.h"
#include "ui/CommandLine.h"
#include "ui/DriveWipeWindow.h"
#include "ui/ExplorerMenu.h"
#include "ui/FileWipeWindow.h"
#include "ui/Forms.h"
#include "ui/FreeSpaceWipeWindow.h"
#include "ui/HelpWindow.h"
#include "ui/LogWindow.h"
#include "ui/MainWindow.h"
#include "ui/OptionsWindow.h"
#include "ui/StartCommands.h"
#include "ui/UnattendedWipe.h"
#include "ui/Utils.h"
#include "ui/WipeListWindow.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/Components.h"

namespace {

// Where a run without windows writes, while it runs.
LineOutput* linesOut = nullptr;

class LinesOut {
public:
    explicit LinesOut(LineOutput& output) { linesOut = &output; }
    ~LinesOut() { linesOut = nullptr; }
};

// The process-wide instances exist before the first window, in this order:
// branding tree, icon cache, configuration store, language manager, logger.
// They are function-local statics, so they are destroyed in reverse order
// after the last window.
void CreateApplicationInstances()
{
    OEMConfig();
    IconCache();
    UserConfig();
    Language();
    AppLog();
    InstallFileInfoDisplayLookup();
    InstallMessageDialogPresenter();
}

// The nine windows, the main window first; they live until the run ends.
// What the command line asks for opens over the main window once it shows.
int RunApplication(const StartRequest& request)
{
    tk::Application& application = tk::Application::Instance();
    TFormMain main;
    application.CreateForm(main);
    TFormOptions options;
    application.CreateForm(options);
    TFormLog log;
    application.CreateForm(log);
    TFormAbout about;
    application.CreateForm(about);
    TFormHelp help;
    application.CreateForm(help);
    TFormWipeList wipeList;
    application.CreateForm(wipeList);
    TFormFileWipe fileWipe;
    application.CreateForm(fileWipe);
    TFormDriveWipe driveWipe;
    application.CreateForm(driveWipe);
    TFormFreeSpaceWipe freeSpaceWipe;
    application.CreateForm(freeSpaceWipe);
    Forms() = ApplicationForms{&main,     &options,  &log,       &about,        &help,
                               &wipeList, &fileWipe, &driveWipe, &freeSpaceWipe};
    // Explorer's menu follows the program when it has been moved.
    ExplorerMenu().FollowMovedProgram(ExplorerMenuTextsOf(Language()));
    tk::Timer start;
    start.SetInterval(1);
    start.OnTimer = [&] {
        start.SetEnabled(false);
        OpenStartRequest(main, request);
    };
    start.SetEnabled(request.mode != StartMode::Browse);
    int exitCode = application.Run();
    Forms() = ApplicationForms{};
    return exitCode;
}

// The value the settings store needs that the branding file lacks, or null.
// The branding's own check would end the program with a message box.
const char* MissingSettingsValue(COEMConfig& branding)
{
    COEMConfigValue* storage = branding.FindValue("Settings/ConfigStorageType");
    if (storage == nullptr)
        return "Settings/ConfigStorageType";
    if (storage->GetInt() == StoreRegistry && branding.FindValue("Settings/ConfigRegistryKey") == nullptr)
        return "Settings/ConfigRegistryKey";
    return nullptr;
}

// Without windows, the branding file only decides where the settings are
// (and so the language); the main window checks it completely.
bool LoadBrandingForSettings(std::wstring& problem)
{
    const std::wstring path = ExecutableFolder() + L"\\KESTO.OEM";
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        problem = L"No OEM file";
    } else if (!LoadOEMFile(path, OEMConfig())) {
        problem = L"Corrupted OEM file";
    } else if (const char* missing = MissingSettingsValue(OEMConfig())) {
        problem = L"Missing OEM value : /" + std::wstring(missing, missing + strlen(missing));
    } else {
        // The store's one message would wait in a box for a user who is not there.
        UserConfig().SetMessageFunction([](const wchar_t* text) {
            if (linesOut != nullptr)
                linesOut->WriteLine(text);
        });
        Language().SelectLanguage(UserConfig().ReadInt(L"Config", L"Language", Language().GetLanguageId()));
    }
    return problem.empty();
}

// /? and command lines that cannot be understood: the usage goes to the
// console, or into a message box when there is none.
int ShowUsage(const StartRequest& request)
{
    ConsoleOutput output;
    LinesOut writing(output);
    std::wstring problem;
    LoadBrandingForSettings(problem);
    std::wstring text = UsageText(Language(), request);
    if (output.Available()) {
        for (size_t start = 0; start <= text.size();) {
            size_t end = text.find(L'\n', start);
            output.WriteLine(text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
            start = end == std::wstring::npos ? text.size() + 1 : end + 1;
        }
    } else {
        UINT icon = request.mode == StartMode::Usage ? MB_ICONINFORMATION : MB_ICONERROR;
        tk::Application::Instance().ShowMessageBox(text, ExecutableBaseName(), MB_OK | icon);
    }
    return request.mode == StartMode::Usage ? 0 : kExitUsageError;
}

int RunUnattended(const StartRequest& request)
{
    ConsoleOutput output;
    LinesOut writing(output);
    std::wstring problem;
    if (!LoadBrandingForSettings(problem)) {
        output.WriteLine(problem);
        return kExitNotAllDestroyed;
    }
    UnattendedSetup setup;
    setup.output = &output;
    setup.writeReport = WriteReportOfRun;
    UnattendedWipe wipe(request, setup);
    CancelOnConsoleInterrupt interrupt(wipe);
    return wipe.Run();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    StartRequest request = ParseCommandLine(SplitCommandLine(GetCommandLineW()));
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // The shell namespace, the icon cache and the help browser need OLE on
    // the user-interface thread.
    OleInitialize(nullptr);
    int exitCode = 1;
    // Whatever escapes an event handler is caught where the message is
    // dispatched; this is for what escapes outside them.
    try {
        if (request.mode == StartMode::Usage || request.mode == StartMode::BadUsage) {
            exitCode = ShowUsage(request);
        } else if (request.Unattended()) {
            exitCode = RunUnattended(request);
        } else {
            // Explorer starts Varnox once per selected item: one start goes
            // on with the whole selection, the others end here.
            if (request.fromExplorer)
                request.paths = GatherStarts(ExplorerMeetingName(), request.paths);
            if (request.fromExplorer && request.paths.empty()) {
                exitCode = 0;
            } else {
                CreateApplicationInstances();
                exitCode = RunApplication(request);
            }
        }
    } catch (...) {
        tk::Application::Instance().HandleException();
    }
    OleUninitialize();
    return exitCode;
}
