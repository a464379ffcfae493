#include "WipeShots.h"

#include <functional>

#include "engine/FaultInjectingIo.h"
#include "engine/SimulatedVolume.h"
#include "settings/Oem.h"
#include "settings/Oemutils.h"
#include "settings/Vxuserconfig.h"
#include "support/ReportAnswers.h"
#include "support/TempDir.h"
#include "ui/DriveWipeWindow.h"
#include "ui/FileWipeWindow.h"
#include "ui/Forms.h"
#include "ui/FreeSpaceWipeWindow.h"
#include "ui/Utils.h"
#include "ui/WipeListWindow.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/MessageDialog.h"
#include "ui/toolkit/TestDriver.h"

using namespace tk;

namespace {

constexpr DWORD kWait = 120000;

// The shipped brand, for the exclamation picture of the wipe list: scripts/shots
// puts it in the folder VARNOX_SHOT_APP names.
void LoadBrand()
{
    wchar_t app[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"VARNOX_SHOT_APP", app, MAX_PATH) != 0)
        LoadOEMFile(std::wstring(app) + L"\\KESTO.OEM", OEMConfig());
}

void WriteSample(const std::wstring& path, size_t size)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    std::string content(size, 'v');
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
}

// A scan that takes its time, so that the window is seen searching.
class SlowScan : public ScanFileSystem {
public:
    bool FindNext(HANDLE find, WIN32_FIND_DATAW& entry) override
    {
        Sleep(150);
        return ScanFileSystem::FindNext(find, entry);
    }
};

class Shooter {
public:
    Shooter(const std::wstring& folder, const std::wstring& suffix, WipeShotCapture capture)
        : folder(folder), suffix(suffix), capture(capture)
    {
        reports.documents = documents.Path();
        noStore.AddGroup("Settings")->AddValue("ConfigStorageType")->SetInt(StoreNothing);
    }
    int failures = 0;

    // The jobs' reports go to a folder of the shots' own; the simulated
    // volume's device describes itself as a test's does.
    void Prepare(TFormWipe& window)
    {
        window.UseReportSystem(reports);
        window.UseConfig(settings);
    }

    void Shoot(Form& form, const wchar_t* name)
    {
        if (!capture(form.Handle(), folder + L"\\" + name + suffix))
            ++failures;
    }
    // Runs one showing of `window`; `inside` acts in it, then the window closes.
    void Showing(TFormWipe& window, std::function<void()> inside, std::function<void()> execute)
    {
        Application::Instance().QueueModalAction([&, inside](Form&) {
            inside();
            if (!Usable(window.ButtonClose)) {
                // Something took too long: end the job rather than wait for ever.
                ++failures;
                Press(window.ButtonCancel);
                PumpUntil([&] { return Usable(window.ButtonClose); }, kWait);
            }
            Press(window.ButtonClose);
        });
        execute();
    }
    bool WaitFor(TFormWipe& window, WipeWindowState state) { return PumpUntil([&] { return window.State() == state; }, kWait); }
    // Waits until the job is a quarter of the way through its current item.
    bool WaitForProgress(TFormWipe& window)
    {
        return PumpUntil([&] { return window.PBFileProgress.Position() >= 25; }, kWait);
    }

private:
    std::wstring folder;
    std::wstring suffix;
    WipeShotCapture capture;
    TempDir documents;
    AnsweredReportSystem reports;
    COEMConfig noStore;
    VxUserConfig settings{noStore};
};

void ShootWipeList(Shooter& shooter, TFormWipeList& wipeList, const wchar_t* name, bool confirm)
{
    Application::Instance().QueueModalAction([&shooter, &wipeList, name, confirm](Form&) {
        shooter.Shoot(wipeList, name);
        Press(confirm ? wipeList.ButtonOK : wipeList.ButtonCancel);
    });
}

void ShootFileWipe(Shooter& shooter, TFormWipeList& wipeList, const std::wstring& samples)
{
    FaultInjectingIo slow;
    slow.Delay(IoCall::Write, 120);
    TFormFileWipe window(slow);
    shooter.Prepare(window);
    Forms().FileWipe = &window;
    auto fill = [&] {
        CreateDirectoryW(samples.c_str(), nullptr);
        CreateDirectoryW((samples + L"\\Holiday photos").c_str(), nullptr);
        WriteSample(samples + L"\\Quarterly report.docx", 180 * 1024);
        WriteSample(samples + L"\\Budget 2026.xlsx", 2 * 1024 * 1024);
        WriteSample(samples + L"\\Passwords.txt", 3 * 1024);
        for (int photo = 1; photo <= 6; ++photo)
            WriteSample(samples + L"\\Holiday photos\\IMG_000" + std::to_wstring(photo) + L".jpg", 900 * 1024);
    };

    // Searching, then ready, confirmed, running, paused, completed.
    fill();
    SlowScan slowScan;
    TFormFileWipe searching(slow, SystemJobSystem(), &slowScan);
    shooter.Prepare(searching);
    searching.Selection = {samples};
    shooter.Showing(searching, [&] {
        PumpUntil([&] { return searching.TargetList() && searching.TargetList()->Count() >= 3; }, kWait);
        shooter.Shoot(searching, L"file-wipe-searching");
    }, [&] { searching.Execute(2, 1); });

    window.Selection = {samples};
    shooter.Showing(window, [&] {
        shooter.WaitFor(window, WipeWindowState::Ready);
        shooter.Shoot(window, L"file-wipe-ready");
        ShootWipeList(shooter, wipeList, L"wipe-list-confirm", true);
        ShootWipeList(shooter, wipeList, L"wipe-list-done", false);
        Press(window.ButtonStart);
        shooter.WaitForProgress(window);
        shooter.Shoot(window, L"file-wipe-running");
        Press(window.ButtonPauseResume);
        PumpUntil([] { return false; }, 300);
        shooter.Shoot(window, L"file-wipe-paused");
        Press(window.ButtonPauseResume);
        shooter.WaitFor(window, WipeWindowState::Finished);
        shooter.Shoot(window, L"file-wipe-completed");
    }, [&] { window.Execute(9, 1); });

    // Cancelled part of the way.
    fill();
    shooter.Showing(window, [&] {
        shooter.WaitFor(window, WipeWindowState::Ready);
        ShootWipeList(shooter, wipeList, L"wipe-list-confirm-folders", true);
        ShootWipeList(shooter, wipeList, L"wipe-list-cancelled", false);
        Press(window.ButtonStart);
        PumpUntil([&] { return window.StateData().FileDeletions >= 3; }, kWait);
        Press(window.ButtonCancel);
        shooter.WaitFor(window, WipeWindowState::Finished);
        shooter.Shoot(window, L"file-wipe-cancelled");
    }, [&] { window.Execute(2, 1); });

    // A file another program holds open.
    fill();
    std::wstring locked = samples + L"\\Budget 2026.xlsx";
    HANDLE holder = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    shooter.Showing(window, [&] {
        shooter.WaitFor(window, WipeWindowState::Ready);
        ShootWipeList(shooter, wipeList, L"wipe-list-confirm-errors", true);
        ShootWipeList(shooter, wipeList, L"wipe-list-done-errors", false);
        Press(window.ButtonStart);
        shooter.WaitFor(window, WipeWindowState::Finished);
        shooter.Shoot(window, L"file-wipe-errors");
    }, [&] { window.Execute(2, 1); });
    CloseHandle(holder);
    RemoveTree(samples);

    // Nothing left to wipe.
    window.Selection = {samples + L"\\gone"};
    shooter.Showing(window, [&] {
        shooter.WaitFor(window, WipeWindowState::Finished);
        shooter.Shoot(window, L"file-wipe-nothing");
    }, [&] { window.Execute(2, 1); });
    Forms().FileWipe = nullptr;
}

void ShootVolumeWindow(Shooter& shooter, bool drive)
{
    const wchar_t* name = drive ? L"drive-wipe" : L"free-space-wipe";
    auto shot = [name](const wchar_t* state) { return std::wstring(name) + L"-" + state; };
    auto run = [&](std::function<void(SimulatedVolume&)> prepare, std::function<void(TFormVolumeWipe&)> inside,
                   int method, int rounds) {
        // 4 KiB clusters, 16 MiB: a volume whose wipe takes a few seconds.
        SimulatedVolume volume(L"V:\\", 512, 8, 4096);
        volume.Fragment(11, 30, 40);
        prepare(volume);
        FaultInjectingIo slow(volume);
        slow.Delay(IoCall::Write, 15);
        std::unique_ptr<TFormVolumeWipe> window;
        if (drive)
            window = std::make_unique<TFormDriveWipe>(slow);
        else
            window = std::make_unique<TFormFreeSpaceWipe>(slow);
        TFormVolumeWipe& form = *window;
        shooter.Prepare(form);
        shooter.Showing(form, [&] { inside(form); }, [&] { form.Execute(volume.Root(), method, rounds); });
    };
    Application::Instance().SetMessageDialogHook([](const MessageDialogSetup&) { return mrYes; });
    run([](SimulatedVolume&) {}, [&](TFormVolumeWipe& window) {
        shooter.Shoot(window, shot(L"ready").c_str());
        Press(window.ButtonStart);
        shooter.WaitForProgress(window);
        PumpUntil([] { return false; }, 400);
        shooter.Shoot(window, shot(L"running").c_str());
        Press(window.ButtonPauseResume);
        PumpUntil([] { return false; }, 300);
        shooter.Shoot(window, shot(L"paused").c_str());
        Press(window.ButtonPauseResume);
        shooter.WaitFor(window, WipeWindowState::Finished);
        shooter.Shoot(window, shot(L"completed").c_str());
    }, 9, 2);
    run([](SimulatedVolume&) {}, [&](TFormVolumeWipe& window) {
        Press(window.ButtonStart);
        shooter.WaitForProgress(window);
        PumpUntil([] { return false; }, 600);
        Press(window.ButtonCancel);
        shooter.WaitFor(window, WipeWindowState::Finished);
        shooter.Shoot(window, shot(L"cancelled").c_str());
    }, 2, 1);
    run([drive](SimulatedVolume& volume) {
        if (drive) {
            volume.BadSector(20000, ERROR_CRC);
        } else {
            Extent first = volume.FreeRuns().front();
            volume.RefuseMoves(first.StartCluster, first.Clusters, ERROR_ACCESS_DENIED);
        }
    }, [&](TFormVolumeWipe& window) {
        Press(window.ButtonStart);
        shooter.WaitFor(window, WipeWindowState::Finished);
        shooter.Shoot(window, shot(L"errors").c_str());
    }, 2, 1);
    // The final state in German, whose captions are the longest.
    Language().SelectLanguage(0x0407);
    run([](SimulatedVolume&) {}, [&](TFormVolumeWipe& window) {
        Press(window.ButtonStart);
        shooter.WaitFor(window, WipeWindowState::Finished);
        shooter.Shoot(window, shot(L"completed-de").c_str());
    }, 2, 1);
    Language().SelectLanguage(0);
    Application::Instance().SetMessageDialogHook(nullptr);
}

}  // namespace

int ShootWipeWindows(const std::wstring& folder, const std::wstring& suffix, WipeShotCapture capture)
{
    LoadBrand();
    // The second question is answered, not shown: its dialog has a picture of its own.
    Application::Instance().SetMessageDialogHook([](const MessageDialogSetup&) { return mrYes; });
    InstallMessageDialogPresenter();
    InstallFileInfoDisplayLookup();
    Shooter shooter(folder, suffix, capture);
    TFormWipeList wipeList;
    Forms().WipeList = &wipeList;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring samples = std::wstring(temp) + L"Varnox shots";
    RemoveTree(samples);
    ShootFileWipe(shooter, wipeList, samples);
    ShootVolumeWindow(shooter, true);
    ShootVolumeWindow(shooter, false);
    Application::Instance().SetMessageDialogHook(nullptr);
    Forms() = ApplicationForms();
    wipeList.DestroyHandle();
    return shooter.failures;
}
