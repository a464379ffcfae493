// A lookup of a crafted language text: 4,096 references to a text of a
// million characters. What it costs is bounded by the expansion's limit,
// not by what the file asks for.
#include <string>
#include "Bench.h"
#include "settings/Unicodelanguage.h"
#include "support/TempDir.h"

VARNOX_BENCHMARK(LanguageCraftedLookup)
{
    TempDir dir;
    std::wstring content = L"\xFEFF[Big]\r\nText=" + std::wstring(1 << 20, L'b') + L"\r\nMany=";
    for (int i = 0; i < 4096; ++i)
        content += L"$[Big.Text]";
    content += L"\r\n";
    dir.WriteFile(L"LNG\\0000.LNG", std::string(reinterpret_cast<const char*>(content.data()), content.size() * 2));
    UnicodeLanguage language(dir.Path(), L"Varnox");
    double start = Seconds();
    std::wstring text = language.GetText(L"Big.Many");
    Report("language_crafted_lookup_ms", (Seconds() - start) * 1000.0);
    if (text.empty())
        Report("language_crafted_lookup_failed", 1);
}
