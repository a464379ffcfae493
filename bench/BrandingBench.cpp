// Start-up costs of the branding file and the icon cache.
#include <sstream>
#include <string>

#include "Bench.h"
#include "settings/Oem.h"
#include "ui/Systemiconcache.h"

VARNOX_BENCHMARK(BrandingLoad)
{
    // A brand of the default's shape: 30 small values and 12 pictures of 4 KB.
    COEMConfig brand;
    COEMConfigGroup* settings = brand.AddGroup("Settings");
    for (int i = 0; i < 30; ++i)
        settings->AddValue("Value" + std::to_string(i))->SetInt(i);
    COEMConfigGroup* graphics = brand.AddGroup("Graphics");
    std::string picture(4096, 'p');
    for (int i = 0; i < 12; ++i)
        graphics->AddValue("Picture" + std::to_string(i))->SetData(picture.data(), 4096);
    std::ostringstream out;
    brand.Save(out);
    const std::string file = out.str();

    const int rounds = 2000;
    double start = Seconds();
    for (int i = 0; i < rounds; ++i) {
        std::istringstream in(file);
        COEMConfig loaded;
        loaded.Load(in);
    }
    Report("branding_load_us", (Seconds() - start) / rounds * 1e6);
}

VARNOX_BENCHMARK(IconCacheLookup)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        wchar_t windows[MAX_PATH];
        GetWindowsDirectoryW(windows, MAX_PATH);
        std::wstring path = std::wstring(windows) + L"\\win.ini";
        SystemIconCache cache;
        double start = Seconds();
        cache.IndexForPath(path);
        Report("icon_first_lookup_ms", (Seconds() - start) * 1e3);
        const int rounds = 500;
        start = Seconds();
        for (int i = 0; i < rounds; ++i)
            cache.IndexForPath(path);
        Report("icon_cached_lookup_us", (Seconds() - start) / rounds * 1e6);
    }
    CoUninitialize();
}
