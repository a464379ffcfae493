#include "AuxShots.h"

#include "log/Log.h"
#include "platform/SystemError.h"
#include "settings/Oem.h"
#include "settings/Oemutils.h"
#include "settings/Unicodelanguage.h"
#include "settings/Vxuserconfig.h"
#include "support/TempDir.h"
#include "ui/AboutWindow.h"
#include "ui/HelpWindow.h"
#include "ui/LogWindow.h"
#include "ui/OptionsWindow.h"
#include "ui/Splash.h"
#include "ui/Utils.h"
#include "ui/toolkit/Application.h"

#include <cstdio>

namespace {

// A morning's work: start-up, two files and a folder wiped, one file in use.
void FillSampleLog(Logger& log)
{
    const std::wstring folder = L"C:\\Users\\Anna\\Documents\\Old projects";
    TextVariables wiped{{L"WipeMethod", L"9"}, {L"RoundCount", L"1"}};
    TextVariables inUse;
    AddSystemError(inUse, ERROR_SHARING_VIOLATION);
    log.Add(LogCategory::Info, L"", L"Log.ApplicationStartup");
    log.Add(LogCategory::Info, folder + L"\\budget 2024.xlsx", L"Log.FileWiped", wiped);
    log.Add(LogCategory::Info, folder + L"\\contract draft.docx", L"Log.FileWiped", wiped);
    log.Add(LogCategory::Error, folder + L"\\mailbox.pst", L"Log.FileOpenError", inUse);
    log.Add(LogCategory::Info, folder + L"\\scans", L"Log.DirDeleted");
    log.Add(LogCategory::Info, L"E:\\", L"Log.FreeSpaceWiped", wiped);
}

// Runs `show`, which shows a window modally, and captures that window once it is up.
bool ShootModal(const std::function<void()>& show, const CaptureWindow& capture, const std::wstring& name)
{
    bool captured = false;
    tk::Application::Instance().QueueModalAction([&](tk::Form& form) {
        captured = capture(form.Handle(), name);
        form.SetModalResult(tk::mrCancel);
    });
    show();
    if (tk::Application::Instance().PendingModalActions() > 0) {
        tk::Application::Instance().ClearModalActions();
        fwprintf(stderr, L"%ls: the window was not shown\n", name.c_str());
        return false;
    }
    return captured;
}

}  // namespace

int ShootAuxiliaryWindows(const CaptureWindow& capture)
{
    wchar_t app[MAX_PATH] = {};
    GetEnvironmentVariableW(L"VARNOX_SHOT_APP", app, MAX_PATH);
    const std::wstring dataFolder = app;
    COEMConfig branding;
    if (dataFolder.empty() || !LoadOEMFile(dataFolder + L"\\KESTO.OEM", branding)) {
        fwprintf(stderr, L"no branding file in \"%ls\" (VARNOX_SHOT_APP)\n", dataFolder.c_str());
        return 1;
    }
    UnicodeLanguage language(dataFolder, L"Varnox");
    language.SelectLanguage(0x0409);
    // Settings of the pictures' own, none of the user's.
    TempDir settings;
    COEMConfig store;
    store.AddGroup("Settings")->AddValue("ConfigStorageType")->SetInt(StoreAppDataIni);
    VxUserConfig config(store, settings.Path());
    config.WriteInt(L"Config", L"WipeMethod", 9);
    config.WriteInt(L"Config", L"Method9Passes", 2);
    config.WriteInt(L"Config", L"Logging", 1);
    config.WriteString(L"Config", L"LogFile", L"C:\\Users\\Anna\\Documents\\Varnox.log");
    config.WriteString(L"Config", L"ReportFolder", L"C:\\Users\\Anna\\Documents\\Varnox reports");
    Logger log(language);
    FillSampleLog(log);

    int failures = 0;
    TFormOptions options(config, language, log);
    TFormLog logWindow(config, language, log);
    TFormAbout about(branding, language);
    TFormHelp help(language);
    failures += ShootModal([&] { options.Execute(); }, capture, L"options") ? 0 : 1;
    failures += ShootModal([&] { logWindow.Execute(); }, capture, L"log") ? 0 : 1;
    failures += ShootModal([&] { about.Execute(); }, capture, L"about") ? 0 : 1;
    // Without an HTML engine (Wine here has none) the browser area stays empty.
    std::wstring url = HelpURL(dataFolder + L"\\Varnox.exe", language.GetText(L"HelpWindow.StartURL"));
    failures += ShootModal([&] { help.Execute(url); }, capture, L"help") ? 0 : 1;

    // As a user who chose German.
    config.WriteInt(L"Config", L"Language", 0x0007);
    language.SelectLanguage(0x0007);
    failures += ShootModal([&] { options.Execute(); }, capture, L"options-de") ? 0 : 1;

    OwnedBitmap splash = LoadBrandingGraphic(branding, "Graphics/Splash");
    COEMConfigValue* rounding = branding.FindValue("Settings/SplashRounding");
    ShowSplash(splash.release(), 30000, rounding != nullptr ? rounding->GetInt() : 0);
    failures += SplashWindow() != nullptr && capture(SplashWindow(), L"splash") ? 0 : 1;
    HideSplash();

    for (tk::Form* form : {static_cast<tk::Form*>(&options), static_cast<tk::Form*>(&logWindow),
                           static_cast<tk::Form*>(&about), static_cast<tk::Form*>(&help)})
        form->DestroyHandle();
    return failures;
}
