// Saving and loading a log of 100,000 records.
#include <string>
#include "Bench.h"
#include "log/Log.h"
#include "settings/Unicodelanguage.h"
#include "support/TempDir.h"

VARNOX_BENCHMARK(LogSaveLoad)
{
    TempDir dir;
    std::wstring base = L"\xFEFF[Log]\r\nFileWiped=File wiped with method $(WipeMethod) in $(RoundCount) round(s)\r\n";
    dir.WriteFile(L"LNG\\0000.LNG", std::string(reinterpret_cast<const char*>(base.data()), base.size() * 2));
    UnicodeLanguage language(dir.Path(), L"Varnox");
    Logger log(language);
    for (int i = 0; i < 100000; ++i)
        log.Add(LogCategory::Info, L"C:\\Users\\someone\\Documents\\Projects\\report " + std::to_wstring(i) + L".docx",
                L"Log.FileWiped", {{L"WipeMethod", L"2"}, {L"RoundCount", L"1"}});
    std::wstring path = dir / L"Varnox.log";

    double start = Seconds();
    DWORD error = log.Save(path);
    Report("log_save_100k_ms", (Seconds() - start) * 1000.0);

    Logger loaded(language);
    start = Seconds();
    loaded.Load(path);
    Report("log_load_100k_ms", (Seconds() - start) * 1000.0);
    if (error != ERROR_SUCCESS || loaded.Count() != log.Count())
        Report("log_roundtrip_failed", 1);
}
