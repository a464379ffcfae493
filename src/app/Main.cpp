// Entry point of Varnox.exe.
#include <windows.h>
#include <commctrl.h>

#include "log/Log.h"
#include "settings/Unicodelanguage.h"
#include "settings/Vxuserconfig.h"
#include "ui/AboutWindow.h"
#include "ui/DriveWipeWindow.h"
#include "ui/FileWipeWindow.h"
#include "ui/Forms.h"
#include "ui/FreeSpaceWipeWindow.h"
#include "ui/HelpWindow.h"
#include "ui/LogWindow.h"
#include "ui/MainWindow.h"
#include "ui/OptionsWindow.h"
#include "ui/Utils.h"
#include "ui/WipeListWindow.h"
#include "ui/toolkit/Application.h"

namespace {

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
int RunApplication()
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
    int exitCode = application.Run();
    Forms() = ApplicationForms{};
    return exitCode;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // The shell namespace, the icon cache and the help browser need OLE on
    // the user-interface thread.
    OleInitialize(nullptr);
    int exitCode = 1;
    // Whatever escapes an event handler is caught where the message is
    // dispatched; this is for what escapes outside them.
    try {
        CreateApplicationInstances();
        exitCode = RunApplication();
    } catch (...) {
        tk::Application::Instance().HandleException();
    }
    OleUninitialize();
    return exitCode;
}
