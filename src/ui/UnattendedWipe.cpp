#include "ui/UnattendedWipe.h"

#include <algorithm>
#include <unordered_set>

#include "log/Log.h"
#include "platform/SystemError.h"
#include "report/ReportFiles.h"
#include "settings/Unicodelanguage.h"
#include "settings/Vxuserconfig.h"
#include "settings/WipeMethodCount.h"
#include "targets/Fileinfo.h"
#include "ui/Utils.h"
#include "ui/WipeWindow.h"
#include "ui/toolkit/Application.h"

namespace {

constexpr int32_t kDefaultMethod = 2;
constexpr int32_t kMinRounds = 1;
constexpr int32_t kMaxRounds = 10;

std::wstring NameKey(const std::wstring& path)
{
    std::wstring key = path;
    CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    return key;
}

std::atomic<UnattendedWipe*> interruptedWipe{nullptr};

// Set while no run is in progress.
HANDLE RunEnded()
{
    static HANDLE event = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    return event;
}

BOOL WINAPI ConsoleInterrupt(DWORD event)
{
    UnattendedWipe* wipe = interruptedWipe.load();
    if (wipe == nullptr)
        return FALSE;
    wipe->Cancel();
    // Closing the console, logging off and shutting down end the process as
    // soon as this returns: give the job a moment to stop and the log to be written.
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        WaitForSingleObject(RunEnded(), 4000);
    return TRUE;
}

}  // namespace

UnattendedWipe::UnattendedWipe(const StartRequest& request, const UnattendedSetup& setup)
    : request(request),
      output(*setup.output),
      config(setup.config != nullptr ? *setup.config : UserConfig()),
      language(setup.language != nullptr ? *setup.language : Language()),
      log(setup.log != nullptr ? *setup.log : AppLog()),
      io(setup.io != nullptr ? *setup.io : SystemWipeIo()),
      jobSystem(setup.jobSystem != nullptr ? *setup.jobSystem : SystemJobSystem()),
      scanFileSystem(setup.scanFileSystem),
      reportSystem(setup.reportSystem != nullptr ? *setup.reportSystem : SystemReportSystem()),
      useLogFile(setup.useLogFile),
      writeReport(setup.writeReport),
      wake(CreateEventW(nullptr, FALSE, FALSE, nullptr))
{
}

UnattendedWipe::~UnattendedWipe()
{
    // The job borrows the list and reports to this object.
    job.reset();
    CloseHandle(wake);
}

void UnattendedWipe::Cancel()
{
    cancelRequested.store(true);
    SetEvent(wake);
}

int UnattendedWipe::Run()
{
    StartLog();
    if (!request.reportPath.empty() && !writeReport) {
        Line(L"CommandLine.ReportUnavailable");
        outcome.exitCode = kExitUsageError;
        EndLog();
        return outcome.exitCode;
    }
    ChooseMethod();
    uint8_t targetType = TargetFiles;
    if (request.mode == StartMode::FreeSpaceUnattended) {
        targetType = TargetFreeSpace;
        volumeTargets = std::make_unique<FileList>();
        volumeTargets->AddCopy(FileInfo(request.root));
        targets = volumeTargets.get();
    } else if (!CollectFiles()) {
        targets = nullptr;
    }
    if (targets != nullptr && targets->Count() > 0 && !cancelRequested.load())
        RunJob(targetType);
    outcome.cancelled = cancelRequested.load() && (!job || last.State == StateCancelled);
    outcome.targets = (job || finished) ? targets : nullptr;
    outcome.final = last;
    Summarise();
    outcome.exitCode = ExitCode();
    if (outcome.targets != nullptr && journal.Ended()) {
        journal.SetUnreadable(outcome.scanFailures);
        report = std::make_unique<JobReport>(MakeJobReport(journal, *targets, reportSystem));
        outcome.report = report.get();
        WriteUsualReport();
    }
    WriteJobReport();
    const wchar_t* result = outcome.exitCode == kExitDestroyed  ? L"CommandLine.ResultDestroyed"
                            : outcome.exitCode == kExitCancelled ? L"CommandLine.ResultCancelled"
                                                                 : L"CommandLine.ResultNotAllDestroyed";
    Line(result, {{L"ExitCode", std::to_wstring(outcome.exitCode)}});
    EndLog();
    return outcome.exitCode;
}

void UnattendedWipe::ChooseMethod()
{
    int32_t method = request.method >= 0 ? request.method : config.ReadInt(L"Config", L"WipeMethod", kDefaultMethod);
    // Settings from an edited or older configuration may name no method.
    if (method < 0 || method >= kWipeMethodCount)
        method = kDefaultMethod;
    int32_t rounds = request.rounds > 0 ? request.rounds
                                        : config.ReadInt(L"Config", L"Method" + std::to_wstring(method) + L"Passes", 1);
    outcome.method = method;
    outcome.rounds = rounds < kMinRounds ? kMinRounds : rounds > kMaxRounds ? kMaxRounds : rounds;
}

bool UnattendedWipe::CollectFiles()
{
    std::vector<std::wstring> paths;
    std::unordered_set<std::wstring> named;
    for (const std::wstring& given : request.paths) {
        std::wstring path = FullPathOf(given);
        if (!named.insert(NameKey(path)).second)
            continue;
        if (io.Attributes(path) == INVALID_FILE_ATTRIBUTES) {
            outcome.missing.push_back(path);
            Line(L"CommandLine.NotFound", {{L"Path", path}});
            continue;
        }
        paths.push_back(path);
    }
    return !paths.empty() && Scan(paths);
}

bool UnattendedWipe::Scan(const std::vector<std::wstring>& paths)
{
    builder = std::make_unique<FileListBuilder>(&log, scanFileSystem);
    for (const std::wstring& path : paths)
        builder->AddPath(path);
    Wait([this] { return builder->IsComplete(); });
    outcome.scanFailures = builder->ScanFailureCount();
    if (cancelRequested.load())
        return false;
    targets = &builder->GetFileList();
    Line(L"CommandLine.Found", {{L"FileCount", std::to_wstring(targets->Files.size())},
                                {L"DirCount", std::to_wstring(targets->Directories.size())},
                                {L"FileSize", std::to_wstring(targets->TotalSize)},
                                {L"FileSizeK", FormatSizeKB(static_cast<int64_t>(targets->TotalSize))}});
    return true;
}

void UnattendedWipe::RunJob(uint8_t targetType)
{
    Line(L"CommandLine.Starting",
         {{L"WipeMethod", std::to_wstring(outcome.method)}, {L"RoundCount", std::to_wstring(outcome.rounds)}});
    DWORD error = ERROR_SUCCESS;
    journal.Begin(targetType, outcome.method, outcome.rounds);
    // As in the windows: while the application is unattended (tests), no
    // volume job runs on the system's I/O, so no test can reach a device.
    if (targetType != TargetFiles && &io == &SystemWipeIo() && tk::Application::Instance().Unattended()) {
        error = ERROR_ACCESS_DENIED;
    } else {
        // The volume as it is before the job touches it, for the report.
        if (targetType != TargetFiles)
            journal.SetVolume(ReadVolumeFacts(io, reportSystem, request.root));
        job = std::make_unique<WiperThread>(outcome.method, targetType, outcome.rounds, *targets,
                                            static_cast<WiperThreadEventHandler&>(*this), io, jobSystem);
        error = job->StartError();
        if (error != ERROR_SUCCESS)
            job.reset();  // delivers what a job without a worker still reports
    }
    if (error != ERROR_SUCCESS) {
        if (!finished) {
            TextVariables variables;
            AddSystemError(variables, error);
            for (int32_t index = 0; index < targets->Count(); ++index)
                targets->At(index)->Success = 0;
            OnLog(kLogCategoryError, targets->At(0)->Path, L"Log.JobStartError", variables);
            last.State = StateCompleted;
            last.TargetType = targetType;
            last.TargetCount = targets->Count();
            last.FailedCount = targets->Count();
            finished = true;
            for (int32_t index = 0; index < targets->Count(); ++index)
                targets->At(index)->Outcome = OutcomeFailed;
            journal.End(last);
        }
        outcome.errorRecords = std::max(outcome.errorRecords, 1);
        return;
    }
    Wait([this] { return finished; });
}

void UnattendedWipe::Wait(const std::function<bool()>& done)
{
    bool cancelPassedOn = false;
    while (!done()) {
        if (cancelRequested.load()) {
            if (!job)
                return;
            if (!cancelPassedOn)
                job->Cancel();
            cancelPassedOn = true;
        }
        MsgWaitForMultipleObjects(1, &wake, FALSE, 100, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

void UnattendedWipe::OnProgress(const WipeStateData& state)
{
    last = state;
    // Each destroyed item gets a line of its own when it is done (those
    // reports always arrive); a free-space job tells its rounds and passes.
    if (state.TargetType != TargetFiles) {
        int32_t pass = state.RoundIndex * 1000 + state.PassIndex;
        if (pass != shownPass && state.State == StateWiping) {
            shownPass = pass;
            TextVariables variables;
            AddStateVariables(variables, state);
            Line(L"CommandLine.PassProgress", variables);
        }
    }
    int percent = Percent(state.TotalWrite.Current + state.TotalRead.Current,
                          state.TotalWrite.Total + state.TotalRead.Total);
    // A line for every tenth of the job, the last one for the summary to say.
    if (percent / 10 > shownTenth && percent < 100 && state.State != StateCancelled) {
        shownTenth = percent / 10;
        if (shownTenth > 0) {
            TextVariables variables;
            AddStateVariables(variables, state);
            variables[L"Percent"] = std::to_wstring(shownTenth * 10);
            Line(L"CommandLine.Percent", variables);
        }
    }
}

void UnattendedWipe::OnFinished(const WipeStateData& state)
{
    last = state;
    finished = true;
    journal.End(state);
}

void UnattendedWipe::OnLog(uint8_t category, const std::wstring& path, const std::wstring& messageKey,
                           const TextVariables& variables)
{
    journal.Record(log, static_cast<LogCategory>(category), path, messageKey, variables);
    if (static_cast<LogCategory>(category) != LogCategory::Error)
        return;
    ++outcome.errorRecords;
    std::wstring message = language.GetText(messageKey, variables);
    if (path.empty())
        Line(L"CommandLine.Error", {{L"Message", message}});
    else
        Line(L"CommandLine.ErrorAbout", {{L"Target", path}, {L"Message", message}});
}

void UnattendedWipe::OnTargetDeleted(int32_t index)
{
    const FileInfo* target = targets != nullptr ? targets->At(index) : nullptr;
    // Never a record of a target the job does not count as destroyed.
    if (target == nullptr || !target->Success)
        return;
    const TextVariables wiped = {{L"WipeMethod", std::to_wstring(outcome.method)},
                                 {L"RoundCount", std::to_wstring(outcome.rounds)}};
    if (request.mode == StartMode::FreeSpaceUnattended) {
        journal.Record(log, LogCategory::Info, target->Path, L"Log.FreeSpaceWiped", wiped);
        return;
    }
    if (target->IsFile)
        journal.Record(log, LogCategory::Info, target->Path, L"Log.FileWiped", wiped);
    else
        journal.Record(log, LogCategory::Info, target->Path, L"Log.DirDeleted");
    Line(L"CommandLine.Destroyed", {{L"TargetName", target->Path}});
}

void UnattendedWipe::Summarise()
{
    const bool freeSpace = request.mode == StartMode::FreeSpaceUnattended;
    if (job || finished) {
        TextVariables variables;
        AddStateVariables(variables, last);
        variables[L"WipeMethod"] = std::to_wstring(outcome.method);
        variables[L"RootPath"] = request.root;
        variables[L"FileCount"] = std::to_wstring(targets->Files.size());
        variables[L"DirCount"] = std::to_wstring(targets->Directories.size());
        variables[L"FileSize"] = std::to_wstring(targets->TotalSize);
        variables[L"FileSizeK"] = FormatSizeKB(static_cast<int64_t>(targets->TotalSize));
        variables[L"ScanFailureCount"] = std::to_wstring(outcome.scanFailures);
        // What a cancel alone leaves unfinished is no error.
        bool errors = outcome.errorRecords > 0 || last.FailedCount > 0 || outcome.scanFailures > 0 ||
                      (!outcome.cancelled && (last.PartialCount > 0 || !AllDestroyed()));
        std::wstring word = outcome.cancelled ? L"Cancelled" : L"Completed";
        Line(std::wstring(freeSpace ? L"FreeSpaceWipeWindow" : L"FileWipeWindow") + L".Header" + word +
                 (errors ? L"WithErrors" : L""),
             variables);
    } else if (!outcome.cancelled) {
        Line(L"FileWipeWindow.HeaderCompletedNoTargets");
    }
}

int UnattendedWipe::ExitCode() const
{
    if (outcome.cancelled)
        return kExitCancelled;
    if (!job && !finished)
        return kExitNotAllDestroyed;  // nothing was there to destroy, or nothing could be read
    if (!outcome.missing.empty() || outcome.scanFailures > 0 || outcome.errorRecords > 0 || last.FailedCount > 0 ||
        last.PartialCount > 0)
        return kExitNotAllDestroyed;
    return AllDestroyed() ? kExitDestroyed : kExitNotAllDestroyed;
}

bool UnattendedWipe::AllDestroyed() const
{
    for (int32_t index = 0; targets != nullptr && index < targets->Count(); ++index)
        if (!targets->At(index)->Success)
            return false;
    return true;
}

void UnattendedWipe::WriteJobReport()
{
    if (request.reportPath.empty() || !writeReport)
        return;
    DWORD error = writeReport(outcome, FullPathOf(request.reportPath));
    if (error == ERROR_SUCCESS)
        return;
    TextVariables variables{{L"ReportFile", FullPathOf(request.reportPath)}};
    AddSystemError(variables, error);
    Line(L"CommandLine.ReportFailed", variables);
    // A script that asked for the report must not take its absence for success.
    if (outcome.exitCode == kExitDestroyed)
        outcome.exitCode = kExitNotAllDestroyed;
}

void UnattendedWipe::WriteUsualReport()
{
    ReportSettings settings = ReadReportSettings(config, reportSystem);
    if (!settings.enabled)
        return;
    std::wstring path;
    DWORD error = ::WriteJobReport(*report, language, settings.folder, path);
    if (error == ERROR_SUCCESS)
        return;
    TextVariables variables{{L"ReportFile", path}};
    AddSystemError(variables, error);
    // Not a record of the job: its result, and the exit code, stay.
    log.Add(LogCategory::Error, path, L"Log.ReportWriteError", variables);
    Line(L"CommandLine.ReportFailed", variables);
}

DWORD WriteReportOfRun(const UnattendedOutcome& outcome, const std::wstring& path)
{
    if (outcome.report == nullptr)
        return ERROR_SUCCESS;
    return WriteReportFile(path, ReportBytes(*outcome.report, Language(), FormatForPath(path, ReportFormat::Html)));
}

void UnattendedWipe::StartLog()
{
    // As at the program's start: the log file when logging is on, and the start record.
    if (useLogFile && config.ReadInt(L"Config", L"Logging", 0) != 0) {
        logFile = config.ReadString(L"Config", L"LogFile", DefaultLogPath());
        log.Load(logFile);
    }
    log.Add(LogCategory::Info, std::wstring(), L"Log.ApplicationStartup");
}

void UnattendedWipe::EndLog()
{
    if (logFile.empty())
        return;
    log.Add(LogCategory::Info, std::wstring(), L"Log.ApplicationShutdown");
    if (DWORD error = log.Save(logFile); error != ERROR_SUCCESS) {
        TextVariables variables{{L"LogFile", logFile}};
        AddSystemError(variables, error);
        Line(L"CommandLine.LogSaveFailed", variables);
    }
}

void UnattendedWipe::Line(const std::wstring& key, const TextVariables& variables)
{
    output.WriteLine(language.GetText(key, variables));
}

CancelOnConsoleInterrupt::CancelOnConsoleInterrupt(UnattendedWipe& wipe)
{
    ResetEvent(RunEnded());
    interruptedWipe.store(&wipe);
    SetConsoleCtrlHandler(ConsoleInterrupt, TRUE);
}

CancelOnConsoleInterrupt::~CancelOnConsoleInterrupt()
{
    interruptedWipe.store(nullptr);
    SetEvent(RunEnded());
    SetConsoleCtrlHandler(ConsoleInterrupt, FALSE);
}
