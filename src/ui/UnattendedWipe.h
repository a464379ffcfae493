#pragma once
// A wipe from the command line without any window (/wipe PATH... /yes,
// /freespace X: /yes): the job runs as in its window, its progress, errors
// and result are written as lines, the log gets the records it gets from a
// window, and the exit code tells a script what happened. Ctrl+C and
// Ctrl+Break cancel the job as the Cancel button does.
#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/WipeIo.h"
#include "engine/Wiperthread.h"
#include "platform/ConsoleOutput.h"
#include "report/JobReport.h"
#include "targets/Filelistbuilder.h"
#include "ui/CommandLine.h"

class Logger;
class UnicodeLanguage;
class VxUserConfig;

// What a finished run knows, for the job's report.
struct UnattendedOutcome {
    int exitCode = kExitDestroyed;
    int32_t method = 0;
    int32_t rounds = 0;
    const FileList* targets = nullptr;  // null when no job started
    WipeStateData final;
    std::vector<std::wstring> missing;  // named, but not there
    int32_t scanFailures = 0;
    int32_t errorRecords = 0;
    bool cancelled = false;
    const JobReport* report = nullptr;  // the job's report; null when no job ran
};

// What an unattended run works with. The program leaves everything but the
// output empty: the application's configuration, language and log, the
// system's I/O. Tests bring a simulated volume and a log of their own.
struct UnattendedSetup {
    LineOutput* output = nullptr;  // required
    VxUserConfig* config = nullptr;
    UnicodeLanguage* language = nullptr;
    Logger* log = nullptr;
    WipeIo* io = nullptr;
    JobSystem* jobSystem = nullptr;
    ScanFileSystem* scanFileSystem = nullptr;
    ReportSystem* reportSystem = nullptr;
    // Whether the log is read from and written to the configured log file,
    // as at the start and end of the program.
    bool useLogFile = true;
    // Writes the job's report to `path`: ERROR_SUCCESS or the error. Without
    // one, a run asked for a report refuses before it touches anything.
    std::function<DWORD(const UnattendedOutcome& outcome, const std::wstring& path)> writeReport;
};

class UnattendedWipe final : private WiperThreadEventHandler {
public:
    // `request` is FilesUnattended or FreeSpaceUnattended.
    UnattendedWipe(const StartRequest& request, const UnattendedSetup& setup);
    ~UnattendedWipe();
    UnattendedWipe(const UnattendedWipe&) = delete;
    UnattendedWipe& operator=(const UnattendedWipe&) = delete;

    // Runs the whole job on the calling thread (which must not have a
    // message loop of its own) and returns the exit code.
    int Run();
    // Any thread, any time (the console's Ctrl+C handler): cancels the job as
    // the Cancel button does, or the search for its files before it starts.
    void Cancel();

    const UnattendedOutcome& Outcome() const { return outcome; }

private:
    void OnProgress(const WipeStateData& state) override;
    void OnFinished(const WipeStateData& state) override;
    void OnLog(uint8_t category, const std::wstring& path, const std::wstring& messageKey,
               const TextVariables& variables) override;
    void OnTargetDeleted(int32_t index) override;

    void Line(const std::wstring& key, const TextVariables& variables = {});
    void ChooseMethod();
    bool CollectFiles();
    bool Scan(const std::vector<std::wstring>& paths);
    void RunJob(uint8_t targetType);
    // Lets the calling thread's messages (the job's reports) through until
    // `done` or a cancel request; the request reaches the job from here.
    void Wait(const std::function<bool()>& done);
    void Summarise();
    int ExitCode() const;
    bool AllDestroyed() const;
    // The one place where the job's report is written (/report FILE).
    void WriteJobReport();
    // The report every job leaves where the options say; a failure is told
    // and logged but changes no exit code.
    void WriteUsualReport();
    void StartLog();
    void EndLog();

    StartRequest request;
    LineOutput& output;
    VxUserConfig& config;
    UnicodeLanguage& language;
    Logger& log;
    WipeIo& io;
    JobSystem& jobSystem;
    ScanFileSystem* scanFileSystem;
    ReportSystem& reportSystem;
    bool useLogFile;
    std::function<DWORD(const UnattendedOutcome&, const std::wstring&)> writeReport;
    std::wstring logFile;

    std::unique_ptr<FileListBuilder> builder;
    std::unique_ptr<FileList> volumeTargets;
    FileList* targets = nullptr;
    std::unique_ptr<WiperThread> job;
    bool finished = false;
    WipeStateData last;
    int shownTenth = -1;
    int32_t shownPass = -1;
    UnattendedOutcome outcome;
    JobJournal journal;
    std::unique_ptr<JobReport> report;
    std::atomic<bool> cancelRequested{false};
    HANDLE wake = nullptr;  // set by Cancel
};

// The program's writer of /report FILE: the job's report, a page or, for a
// name ending in ".csv", a CSV file, in the application's language. A run in
// which no job started has no report, and nothing is written.
DWORD WriteReportOfRun(const UnattendedOutcome& outcome, const std::wstring& path);

// The Ctrl+C and Ctrl+Break (and console close) handler for as long as it
// lives: it calls Cancel of `wipe`.
class CancelOnConsoleInterrupt {
public:
    explicit CancelOnConsoleInterrupt(UnattendedWipe& wipe);
    ~CancelOnConsoleInterrupt();
    CancelOnConsoleInterrupt(const CancelOnConsoleInterrupt&) = delete;
    CancelOnConsoleInterrupt& operator=(const CancelOnConsoleInterrupt&) = delete;
};
