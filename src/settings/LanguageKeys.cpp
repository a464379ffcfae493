#include "settings/LanguageKeys.h"

#include "settings/WipeMethodCount.h"

namespace {

using Names = std::vector<std::wstring>;

const Names kNone;
const Names kSystemError = {L"SystemErrorCode", L"SystemErrorMessage"};
const Names kWipedWith = {L"WipeMethod", L"RoundCount"};
const Names kSelection = {L"WipeMethod", L"FileCount", L"DirCount", L"FileSize", L"FileSizeK"};

// What the wipe windows add from the state of a running or ended job.
Names StateVariables()
{
    Names names = {L"State",      L"TargetType", L"TargetIndex", L"TargetCount",   L"WipeMethod",   L"RoundIndex",
                   L"RoundCount", L"PassIndex",  L"PassCount",   L"FileDeletions", L"DirDeletions", L"PartialCount",
                   L"FailedCount"};
    for (const wchar_t* pair : {L"TargetWrite", L"TargetRead", L"TotalWrite", L"TotalRead"})
        for (const wchar_t* part : {L"Current", L"CurrentK", L"Total", L"TotalK"})
            names.push_back(std::wstring(pair) + part);
    return names;
}

Names Join(Names a, const Names& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

void AddAll(std::vector<LanguageKey>& keys, const std::wstring& prefix, std::initializer_list<const wchar_t*> items,
            const Names& variables = kNone)
{
    for (const wchar_t* item : items)
        keys.push_back({prefix + item, variables});
}

void AddMainWindow(std::vector<LanguageKey>& keys)
{
    for (const wchar_t* button : {L"ButtonWipe", L"ButtonDriveWipe", L"ButtonFreeSpaceWipe", L"ButtonOptions",
                                  L"ButtonRefresh", L"ButtonHelp", L"ButtonAbout", L"ButtonExit", L"ButtonLog"}) {
        keys.push_back({std::wstring(L"MainWindow.") + button + L"Caption", kNone});
        keys.push_back({std::wstring(L"MainWindow.") + button + L"Hint", kNone});
    }
    AddAll(keys, L"MainWindow.", {L"ColumnName", L"ColumnModified", L"ColumnType", L"ColumnSize", L"Title",
                                  L"NoFilesSelected", L"ShutdownBlocked", L"CloseBlocked"});
    keys.push_back({L"MainWindow.DirsSelected", {L"DirCount"}});
    keys.push_back({L"MainWindow.FilesSelected", {L"FileCount", L"FileSize", L"FileSizeK"}});
    keys.push_back({L"MainWindow.DirsAndFilesSelected", {L"FileSize", L"FileSizeK", L"FileCount", L"DirCount"}});
}

void AddWipeWindows(std::vector<LanguageKey>& keys)
{
    const Names state = StateVariables();
    for (const wchar_t* window : kWipeWindowNames) {
        std::wstring prefix = std::wstring(window) + L".";
        AddAll(keys, prefix, {L"Title", L"Start", L"Pause", L"Resume", L"Cancel", L"Close", L"ItemProgressPrefix",
                              L"WipeMethod", L"WipePasses", L"SaveReport"});
        for (const wchar_t* attribute : {L"Name", L"Size", L"Bold"})
            keys.push_back({std::wstring(window) + L"HeaderFont." + attribute, kNone});
    }
    // File wipe window: the scan's counts (and how many selected items it
    // could not read) always; the job's state once it runs. The ReadyWithErrors
    // and Cancelled texts fall back to Ready and Completed where a language
    // file lacks them.
    const Names building = Join(kSelection, {L"ScanFailureCount"});
    const Names running = Join(Join(building, state), {L"TargetName"});
    const Names ended = Join(building, state);
    keys.push_back({L"FileWipeWindow.OverallProgressPrefix", kNone});
    for (const wchar_t* part : {L"Header", L"Progress"}) {
        std::wstring prefix = std::wstring(L"FileWipeWindow.") + part;
        AddAll(keys, prefix, {L"Building", L"BuildingNoTargets", L"Ready", L"ReadyWithErrors", L"CompletedNoTargets"},
               building);
        AddAll(keys, prefix, {L"Deleting", L"Wiping", L"Suspended"}, running);
        AddAll(keys, prefix, {L"CompletedWithErrors", L"Completed", L"CancelledWithErrors", L"Cancelled"}, ended);
    }
    // Drive and free-space windows.
    const Names volume = {L"WipeMethod", L"RootPath"};
    for (const wchar_t* window : {L"DriveWipeWindow", L"FreeSpaceWipeWindow"}) {
        keys.push_back({std::wstring(window) + L".Confirmation", volume});
        for (const wchar_t* part : {L"Header", L"Progress"}) {
            std::wstring prefix = std::wstring(window) + L"." + part;
            AddAll(keys, prefix, {L"Ready"}, volume);
            AddAll(keys, prefix,
                   {L"Wiping", L"Suspended", L"CancelledWithErrors", L"Cancelled", L"CompletedWithErrors",
                    L"Completed"},
                   Join(volume, state));
        }
    }
    // Words for the job's State variable, for texts that show it as $[WipeState.$(State)].
    AddAll(keys, L"WipeState.", {L"Wiping", L"Deleting", L"Suspended", L"Completed", L"Cancelled"});
    for (int method = 0; method < kWipeMethodCount; ++method) {
        keys.push_back({WipeMethodNameKey(method), kNone});
        keys.push_back({WipeMethodDescriptionKey(method), kNone});
    }
}

void AddDialogs(std::vector<LanguageKey>& keys)
{
    AddAll(keys, L"WipeListWindow.", {L"ConfirmTitle", L"DoneTitle", L"ConfirmFooterPrefix", L"DoneFooterPrefix",
                                      L"ConfirmOK", L"ConfirmCancel", L"DoneOK", L"SecondConfirmation"});
    for (const wchar_t* word : {L"NoTargetsSelected", L"FilesSelected", L"DirsSelected", L"DirsAndFilesSelected"})
        for (const wchar_t* item : {L"ConfirmHeader", L"DoneHeader", L"ConfirmFooter", L"DoneFooter"})
            keys.push_back({std::wstring(L"WipeListWindow.") + item + word, kSelection});

    AddAll(keys, L"LogWindow.", {L"Title", L"OK", L"LogClear", L"ColumnCategory", L"ColumnTime", L"ColumnTarget",
                                 L"ColumnText", L"Debug", L"Info", L"Error"});
    keys.push_back({L"LogWindow.ClearConfirmation", {L"LogFile"}});

    AddAll(keys, L"OptionsWindow.", {L"Title", L"Language", L"WipeMethod", L"WipePasses", L"Logging",
                                     L"LoggingEnabled", L"LoggingDisabled", L"LogFile", L"LogFileBrowse", L"OK",
                                     L"Cancel", L"SaveDialogTitle", L"SaveDialogFilter"});
    AddAll(keys, L"OptionsWindow.", {L"LogSaveFailed", L"LogSaveFailedLoggingOff"}, Join(kSystemError, {L"LogFile"}));
    AddAll(keys, L"OptionsWindow.", {L"Explorer", L"ExplorerMenu"});
    keys.push_back({L"OptionsWindow.ExplorerMenuFailed", kSystemError});
    AddAll(keys, L"ExplorerMenu.", {L"Wipe", L"WipeFreeSpace"});
    AddAll(keys, L"OptionsWindow.",
           {L"Reports", L"ReportsEnabled", L"ReportFolder", L"ReportFolderBrowse", L"ReportFolderDialogTitle"});
    AddAll(keys, L"HelpWindow.", {L"Title", L"StartURL"});
    AddAll(keys, L"AboutWindow.", {L"Title", L"Close"});

    AddAll(keys, L"Dialog.", {L"Warning", L"Error", L"Information", L"Confirmation", L"Yes", L"No", L"OK", L"Cancel",
                              L"Abort", L"Retry", L"Ignore", L"All", L"NoToAll", L"YesToAll", L"Help"});
    AddAll(keys, L"Font.", {L"Name", L"Size"});
}

// What a run from the command line writes: the usage, what is wrong with a
// command line, and the lines of a wipe without windows (its summary is the
// header its window would show).
void AddCommandLine(std::vector<LanguageKey>& keys)
{
    keys.push_back({L"CommandLine.Usage", {L"Program"}});
    AddAll(keys, L"CommandLine.",
           {L"UnknownSwitch", L"MissingValue", L"MissingDrive", L"BadDrive", L"BadMethod", L"BadRounds", L"Repeated",
            L"OneJob", L"UnexpectedArgument", L"UnattendedOnly", L"DriveAsPath"},
           {L"Argument"});
    AddAll(keys, L"CommandLine.", {L"EmptyPath", L"MissingPath", L"YesMissing", L"ReportUnavailable"});
    keys.push_back({L"CommandLine.NotFound", {L"Path"}});
    keys.push_back({L"CommandLine.Found", {L"FileCount", L"DirCount", L"FileSize", L"FileSizeK"}});
    keys.push_back({L"CommandLine.Starting", kWipedWith});
    keys.push_back({L"CommandLine.Destroyed", {L"TargetName"}});
    keys.push_back({L"CommandLine.PassProgress", StateVariables()});
    keys.push_back({L"CommandLine.Percent", Join(StateVariables(), {L"Percent"})});
    keys.push_back({L"CommandLine.Error", {L"Message"}});
    keys.push_back({L"CommandLine.ErrorAbout", {L"Target", L"Message"}});
    AddAll(keys, L"CommandLine.", {L"ResultDestroyed", L"ResultNotAllDestroyed", L"ResultCancelled"}, {L"ExitCode"});
    keys.push_back({L"CommandLine.LogSaveFailed", Join(kSystemError, {L"LogFile"})});
    keys.push_back({L"CommandLine.ReportFailed", Join(kSystemError, {L"ReportFile"})});
}

void AddLog(std::vector<LanguageKey>& keys)
{
    AddAll(keys, L"Log.", {L"ApplicationStartup", L"ApplicationShutdown", L"DirDeleted"});
    AddAll(keys, L"Log.", {L"FileWiped", L"DriveWiped", L"FreeSpaceWiped"}, kWipedWith);
    AddAll(keys, L"Log.",
           {L"GetAttributesFailed", L"DirectoryScanFailed", L"FileOpenError", L"FileDeleteError", L"DirDeleteError",
            L"DriveOpenError", L"DriveUnmountError", L"DriveAnalyzeError", L"DriveGetSpaceError",
            L"GetTempFileLocationError", L"MoveTempFileError", L"MakeTempFileNameError", L"CreateTempFileError",
            L"DisableTempFileCompressionError", L"SetTempFileSizeError", L"TruncateTempFileError"},
           kSystemError);
    AddAll(keys, L"Log.", {L"FileSeekError", L"FileWriteError", L"FileReadError"},
           Join(kSystemError, {L"ErrorOffset"}));
    keys.push_back({L"Log.VerificationError", {L"WrittenDataHash", L"ReadDataHash"}});
    keys.push_back({L"Log.FreeSpaceClustersSkipped", {L"ClusterCount"}});
    keys.push_back({L"Log.JobStartError", kSystemError});
    keys.push_back({L"Log.ElevationDeclined", kNone});
    keys.push_back({L"Log.ElevationFailed", kSystemError});
    keys.push_back({L"Log.TempFileDeleteError", Join(kSystemError, {L"FileName"})});
    AddAll(keys, L"Log.", {L"RepeatedErrorsFolded", L"RecordsFolded"}, {L"RecordCount"});
    keys.push_back({L"Log.ReportWriteError", Join(kSystemError, {L"ReportFile"})});
}

// The report of a job (report/): its captions, and what the wipe windows show of it.
void AddReport(std::vector<LanguageKey>& keys)
{
    AddAll(keys, L"Report.",
           {L"Language", L"KindFiles", L"KindVolume", L"KindFreeSpace", L"Status", L"SectionComputer", L"SectionJob",
            L"SectionVolume", L"SectionItems", L"SectionTotals", L"SectionSteps", L"SectionRecords",
            L"SectionChecksum", L"Program", L"Version", L"Computer", L"WindowsVersion", L"User", L"JobKind", L"Method",
            L"PassRandom", L"PassRandomByte", L"PassVerify", L"Rounds", L"Verification", L"VerifiedNo", L"Start",
            L"End", L"Duration", L"DurationSeconds", L"Drive", L"VolumeLabel", L"FileSystem", L"Capacity",
            L"FreeAtStart", L"VolumeSerial", L"DeviceModel", L"DeviceSerial", L"NotGiven", L"NoLabel", L"ColumnItem",
            L"ColumnSize", L"ColumnResult", L"ColumnRecords", L"ResultDestroyed", L"ResultKept", L"ResultFailed",
            L"ResultNotStarted", L"ReasonNotStarted", L"ReasonCancelledDuring", L"TotalItems", L"TotalDestroyed",
            L"TotalKept", L"TotalFailed", L"TotalNotStarted", L"TotalUnreadable", L"TotalWritten", L"TotalVerified",
            L"StepFilesDeleted", L"StepFoldersRemoved", L"StepDismounted", L"StepTempFilesPlaced",
            L"StepClustersSkipped", L"StepTempFileLeft", L"Yes", L"NoSteps", L"Checksum", L"ChecksumNote",
            L"SaveDialogTitle", L"SaveDialogFilter"});
    keys.push_back({L"Report.Title", {L"JobKind"}});
    AddAll(keys, L"Report.",
           {L"StatusCompleted", L"StatusCompletedWithErrors", L"StatusCancelled", L"StatusCancelledWithErrors"},
           {L"KeptCount", L"NotStartedCount"});
    keys.push_back({L"Report.PassCaption", {L"PassNumber"}});
    AddAll(keys, L"Report.", {L"PassByte", L"PassPattern"}, {L"Pattern"});
    keys.push_back({L"Report.PassZeroEvery", {L"Step"}});
    keys.push_back({L"Report.VerifiedYes", {L"PassNumbers"}});
    keys.push_back({L"Report.DurationValue", {L"Hours", L"Minutes", L"Seconds"}});
    keys.push_back({L"Report.ByteCount", {L"Bytes", L"Size"}});
    keys.push_back({L"Report.ByteCountSmall", {L"Bytes"}});
    keys.push_back({L"Report.WriteFailed", Join(kSystemError, {L"ReportFile"})});
}

}  // namespace

std::wstring WipeMethodNameKey(int method)
{
    return L"WipeMethod.Method" + std::to_wstring(method) + L"Name";
}

std::wstring WipeMethodDescriptionKey(int method)
{
    return L"WipeMethod.Method" + std::to_wstring(method) + L"Description";
}

const std::vector<LanguageKey>& AllLanguageKeys()
{
    static const std::vector<LanguageKey> keys = [] {
        std::vector<LanguageKey> all;
        AddMainWindow(all);
        AddWipeWindows(all);
        AddDialogs(all);
        AddCommandLine(all);
        AddLog(all);
        AddReport(all);
        return all;
    }();
    return keys;
}
