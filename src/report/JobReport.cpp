#include "report/JobReport.h"

#include <memory>
#include <string_view>
#include <unordered_map>

namespace {

const wchar_t* const kProgramName = VARNOX_PROGRAM_NAME;
const wchar_t* const kProgramVersion = VARNOX_PROGRAM_VERSION;

std::vector<PassContent> PassesOf(int32_t method)
{
    std::vector<PassContent> passes;
    std::unique_ptr<Wiper> wiper(CreateWiper(method));
    for (int32_t pass = 0; wiper && pass < wiper->PassCount(); ++pass)
        passes.push_back(wiper->DescribePass(pass));
    return passes;
}

ReportRow RowOf(const FileInfo& target, const JobJournal& journal)
{
    ReportRow row;
    row.path = target.Path;
    row.isFile = target.IsFile != 0;
    row.size = target.Size;
    row.outcome = target.Outcome;
    // Destroyed means exactly what the done list shows: the Success flag.
    if (target.Success)
        row.outcome = OutcomeDestroyed;
    else if (row.outcome == OutcomeDestroyed)
        row.outcome = OutcomeFailed;
    // The target of a volume or free-space job is the volume: its size is
    // the capacity, or the free space the job set out to cover.
    const VolumeFacts& volume = journal.Volume();
    if (journal.TargetType() != TargetFiles) {
        row.isFile = false;
        row.sizeKnown = journal.HasVolume() && volume.spaceKnown;
        row.size = journal.TargetType() == TargetVolume ? volume.capacity : volume.freeAtStart;
    } else {
        row.sizeKnown = row.isFile;
    }
    return row;
}

void Count(ReportTotals& totals, uint8_t outcome)
{
    totals.targets += 1;
    switch (outcome) {
    case OutcomeDestroyed: totals.destroyed += 1; break;
    case OutcomeKept: totals.kept += 1; break;
    case OutcomeFailed: totals.failed += 1; break;
    default: totals.notStarted += 1; break;
    }
}

}  // namespace

JobReport MakeJobReport(const JobJournal& journal, const FileList& targets, ReportSystem& system)
{
    JobReport report;
    report.program = kProgramName;
    report.version = kProgramVersion;
    report.computer = system.ComputerName();
    report.windowsVersion = system.WindowsVersion();
    report.user = system.UserName();
    report.targetType = journal.TargetType();
    report.method = journal.Method();
    report.rounds = journal.Rounds();
    report.passes = PassesOf(journal.Method());
    report.start = journal.StartTime();
    report.end = journal.EndTime();
    report.hasVolume = journal.HasVolume();
    report.volume = journal.Volume();
    const WipeStateData& final = journal.Final();
    report.cancelled = final.State == StateCancelled;

    report.rows.reserve(static_cast<size_t>(targets.Count()));
    for (int32_t index = 0; index < targets.Count(); ++index) {
        report.rows.push_back(RowOf(*targets.At(index), journal));
        Count(report.totals, report.rows.back().outcome);
    }
    // Records go to the target they name; the rest are about the job. The
    // rows are complete: the keys point into their paths.
    std::unordered_map<std::wstring_view, size_t> byPath;
    byPath.reserve(report.rows.size());
    for (size_t index = 0; index < report.rows.size(); ++index)
        byPath.emplace(report.rows[index].path, index);
    int32_t errorRecords = 0;
    for (const JobRecord& record : journal.Records()) {
        if (record.category == LogCategory::Error)
            ++errorRecords;
        auto found = byPath.find(record.target);
        if (found != byPath.end())
            report.rows[found->second].reasons.push_back(record.text);
        else
            report.otherRecords.push_back(record.target.empty() ? record.text : record.target + L": " + record.text);
    }
    report.totals.unreadable = journal.Unreadable();
    report.totals.bytesWritten = final.TotalWrite.Current;
    report.totals.bytesVerified = final.TotalRead.Current;
    // As the windows judge it: what a cancel alone leaves unfinished is no error.
    report.withErrors = report.totals.failed > 0 || errorRecords > 0 || report.totals.unreadable > 0 ||
                        (!report.cancelled && (report.totals.kept > 0 || report.totals.notStarted > 0));
    report.steps = JobSteps(journal, report.rows);
    return report;
}
