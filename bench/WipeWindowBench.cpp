// The wipe windows must not slow a job down: 10,000 small files (4 KiB,
// method 0, one round) wiped by the engine alone and through the file wipe
// window with logging on (every record written to a log file as the job
// goes), side by side in one run; and the confirmation list of 100,000
// targets, from Execute until it shows.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Bench.h"
#include "engine/Wiperthread.h"
#include "log/Log.h"
#include "settings/Oem.h"
#include "settings/Vxuserconfig.h"
#include "support/ReportAnswers.h"
#include "support/TempDir.h"
#include "targets/Filelistbuilder.h"
#include "ui/FileWipeWindow.h"
#include "ui/Forms.h"
#include "ui/Utils.h"
#include "ui/WipeListWindow.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/MessageDialog.h"
#include "ui/toolkit/TestDriver.h"

namespace {

constexpr int kFiles = 10000;
constexpr DWORD kWait = 600000;

std::wstring MakeFiles(const TempDir& dir, const std::wstring& name)
{
    std::wstring folder = dir.MakeDir(name);
    const std::string content(4096, 'b');
    for (int index = 0; index < kFiles; ++index)
        dir.WriteFile(name + L"\\f" + std::to_wstring(index), content);
    return folder;
}

class Finished final : public WiperThreadEventHandler {
public:
    void OnProgress(const WipeStateData&) override {}
    void OnFinished(const WipeStateData&) override { done = true; }
    void OnLog(uint8_t, const std::wstring&, const std::wstring&, const TextVariables&) override {}
    void OnTargetDeleted(int32_t) override {}
    bool done = false;
};

double EngineSeconds(const std::wstring& folder)
{
    FileListBuilder builder;
    builder.AddPath(folder);
    tk::PumpUntil([&] { return builder.IsComplete(); }, kWait);
    Finished handler;
    double start = Seconds();
    {
        WiperThread job(0, TargetFiles, 1, builder.GetFileList(), handler);
        tk::PumpUntil([&] { return handler.done; }, kWait);
    }
    return Seconds() - start;
}

// The window's side logs as the program does with logging on: every record
// appended to a log file as the job goes.
double WindowSeconds(const std::wstring& folder, const std::wstring& logFile)
{
    if (AppLog().Save(logFile) != ERROR_SUCCESS)
        Report("wipe_window_log_failed", 1);
    tk::Application& application = tk::Application::Instance();
    TFormWipeList wipeList;
    TFormFileWipe window;
    // The job's report is part of what the window costs: written, as by
    // default, to a Documents folder of the benchmark's own.
    TempDir documents;
    AnsweredReportSystem reports;
    reports.documents = documents.Path();
    COEMConfig noStore;
    noStore.AddGroup("Settings")->AddValue("ConfigStorageType")->SetInt(StoreNothing);
    VxUserConfig settings(noStore);
    window.UseReportSystem(reports);
    window.UseConfig(settings);
    Forms().WipeList = &wipeList;
    Forms().FileWipe = &window;
    double start = 0, end = 0;
    application.QueueModalAction([&](tk::Form&) {
        tk::PumpUntil([&] { return window.State() == WipeWindowState::Ready; }, kWait);
        application.QueueModalAction([&](tk::Form&) {
            start = Seconds();
            tk::Press(wipeList.ButtonOK);
        });
        // The summary shows as the job reports its end.
        application.QueueModalAction([&](tk::Form&) {
            end = Seconds();
            tk::Press(wipeList.ButtonCancel);
        });
        tk::Press(window.ButtonStart);
        tk::PumpUntil([&] { return window.State() == WipeWindowState::Finished; }, kWait);
        tk::Press(window.ButtonClose);
    });
    window.Selection = {folder};
    window.Execute(0, 1);
    Forms() = ApplicationForms();
    AppLog().StopWriting();
    return end - start;
}

}  // namespace

VARNOX_BENCHMARK(WipeWindowOverhead)
{
    InstallMessageDialogPresenter();
    // The second question, when the brand asks it, is answered at once.
    tk::Application::Instance().SetMessageDialogHook([](const tk::MessageDialogSetup&) { return tk::mrYes; });
    TempDir dir;
    // Side by side in the order engine, window, window, engine, engine,
    // window, so that neither gains from the other's warm caches; disk times
    // under Wine vary by a tenth from run to run, so the medians are compared.
    std::vector<double> engine, window;
    int run = 0;
    for (bool engineFirst : {true, false, true}) {
        for (bool engineNow : {engineFirst, !engineFirst}) {
            std::wstring folder = MakeFiles(dir, L"run" + std::to_wstring(run++));
            if (engineNow)
                engine.push_back(EngineSeconds(folder));
            else
                window.push_back(WindowSeconds(folder, dir / L"Varnox.log"));
        }
    }
    tk::Application::Instance().SetMessageDialogHook(nullptr);
    auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    Report("wipe_engine_10000_files_s", median(engine));
    Report("wipe_window_10000_files_s", median(window));
    Report("wipe_window_overhead_ratio", median(window) / median(engine));
}

VARNOX_BENCHMARK(WipeListFill)
{
    TempDir dir;
    FileInfo model(dir.WriteFile(L"model.bin", std::string(2048, 'm')));
    FileList list;
    for (int index = 0; index < 100000; ++index) {
        model.Path = dir / (L"folder\\file" + std::to_wstring(index) + L".txt");
        list.AddCopy(model);
    }
    TFormWipeList wipeList;
    double shown = 0;
    tk::Application::Instance().QueueModalAction([&](tk::Form&) {
        UpdateWindow(wipeList.LV.Handle());
        shown = Seconds();
        tk::Press(wipeList.ButtonCancel);
    });
    double start = Seconds();
    wipeList.Execute(list, 2, true);
    Report("wipe_list_fill_100000_ms", (shown - start) * 1000.0);
}
