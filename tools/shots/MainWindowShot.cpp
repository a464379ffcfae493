#include "MainWindowShot.h"

#include <cstdio>

#include "log/Log.h"
#include "platform/Elevation.h"
#include "settings/Oem.h"
#include "settings/Oemutils.h"
#include "settings/Unicodelanguage.h"
#include "settings/Vxuserconfig.h"
#include "support/TempDir.h"
#include "ui/MainWindow.h"
#include "ui/MainWindowHarness.h"
#include "ui/toolkit/TestDriver.h"

namespace {

// As most people run it: not elevated, so the drive buttons carry the shield.
class NotElevated : public Elevation {
public:
    bool IsElevated() override { return false; }
};

std::wstring Environment(const wchar_t* name)
{
    wchar_t value[MAX_PATH] = {};
    return GetEnvironmentVariableW(name, value, MAX_PATH) ? value : L"";
}

}  // namespace

int ShootMainWindow(const std::function<bool(HWND window, const std::wstring& path)>& capture,
                    const std::wstring& folder, const std::wstring& suffix)
{
    std::wstring app = Environment(L"VARNOX_SHOT_APP");
    std::wstring sample = Environment(L"VARNOX_SHOT_FOLDER");
    if (app.empty() || sample.empty())
        return 0;
    // The shipped brand, but with settings of its own (a fresh layout, none
    // of the user's) and without the splash.
    TempDir settings;
    COEMConfig brand;
    if (!LoadOEMFile(app + L"\\KESTO.OEM", brand)) {
        fwprintf(stderr, L"no branding file in %ls\n", app.c_str());
        return 1;
    }
    brand.FindValue("Settings/ConfigStorageType")->SetInt(StoreAppDataIni);
    if (COEMConfigValue* splash = brand.FindValue("Graphics/Splash"))
        splash->SetInt(0);
    SaveOEMFile(settings / L"KESTO.OEM", brand);

    COEMConfig branding;
    VxUserConfig config(branding, settings.Path());
    UnicodeLanguage language(app, L"Varnox");
    Logger log(language);
    MainWindowSetup setup;
    setup.brandingPath = settings / L"KESTO.OEM";
    setup.branding = &branding;
    setup.config = &config;
    setup.language = &language;
    setup.log = &log;
    NotElevated notElevated;
    setup.elevation = &notElevated;
    TFormMain window(setup);
    window.Show();
    int failures = 0;
    tk::TreeNode node = FindFolderNode(window, sample);
    if (node == nullptr || !tk::ChooseItem(window.TV, node) || window.LV.Count() < 4 ||
        !tk::ChooseItems(window.LV, {1, 2, 4})) {
        fwprintf(stderr, L"could not list and select %ls\n", sample.c_str());
        ++failures;
    }
    tk::PumpUntil([&] { return !window.OwnIconsPending(); }, 5000);
    failures += capture(window.Handle(), folder + L"\\main-window" + suffix) ? 0 : 1;
    window.DestroyHandle();
    return failures;
}
