// Opening the log window on a log of 100,000 records: from Execute until the
// window shows its list with the newest record selected and drawn.
#include <string>
#include "Bench.h"
#include "log/Log.h"
#include "settings/Oem.h"
#include "settings/Unicodelanguage.h"
#include "settings/Vxuserconfig.h"
#include "support/TempDir.h"
#include "ui/LogWindow.h"
#include "ui/toolkit/Application.h"

VARNOX_BENCHMARK(LogWindowOpen)
{
    TempDir dir;
    std::wstring base = L"\xFEFF[Log]\r\nFileWiped=File wiped with method $(WipeMethod) in $(RoundCount) round(s)\r\n"
                        L"[LogWindow]\r\nInfo=Information\r\nError=Error\r\n";
    dir.WriteFile(L"LNG\\0000.LNG", std::string(reinterpret_cast<const char*>(base.data()), base.size() * 2));
    UnicodeLanguage language(dir.Path(), L"Varnox");
    Logger log(language);
    for (int i = 0; i < 100000; ++i)
        log.Add(i % 10 ? LogCategory::Info : LogCategory::Error,
                L"C:\\Users\\someone\\Documents\\Projects\\report " + std::to_wstring(i) + L".docx", L"Log.FileWiped",
                {{L"WipeMethod", L"2"}, {L"RoundCount", L"1"}});
    // Nothing is remembered between runs of the benchmark.
    COEMConfig branding;
    branding.AddGroup("Settings")->AddValue("ConfigStorageType")->SetInt(StoreNothing);
    VxUserConfig config(branding);

    TFormLog window(config, language, log);
    window.CreateHandle();
    double start = Seconds();
    double opened = 0;
    bool complete = false;
    tk::Application::Instance().QueueModalAction([&](tk::Form&) {
        UpdateWindow(window.Handle());
        UpdateWindow(window.LV.Handle());
        opened = Seconds();
        complete = window.LV.Count() == 100000 && window.LV.Selected(99999);
        window.SetModalResult(tk::mrOK);
    });
    window.Execute();
    Report("log_window_open_100000_ms", (opened - start) * 1000.0);
    if (!complete)
        Report("log_window_open_incomplete", 1);
}
