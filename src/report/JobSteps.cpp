// The steps a job takes beyond the passes of its method, each a line of the
// report made from the job's final state, its targets' outcomes or its
// records. A step the engine gains (names hidden, streams wiped, coverage,
// records reused) is one more entry: a counter of the state, or a record
// key in kRecordSteps.
#include <cwchar>

#include "report/JobReport.h"

namespace {

// Records that make a step line: the record's key, the line's caption, and
// the variable that gives its number (summed over the job's records) or its
// text (one line per record).
struct RecordStep {
    const wchar_t* recordKey;
    const wchar_t* captionKey;
    const wchar_t* countVariable;
    const wchar_t* detailVariable;
};

const RecordStep kRecordSteps[] = {
    {L"Log.FreeSpaceClustersSkipped", L"Report.StepClustersSkipped", L"ClusterCount", nullptr},
    {L"Log.TempFileDeleteError", L"Report.StepTempFileLeft", nullptr, L"FileName"},
};

bool Started(uint8_t outcome) { return outcome == OutcomeDestroyed || outcome == OutcomeKept; }

}  // namespace

bool StepUsesRecord(const std::wstring& key)
{
    for (const RecordStep& step : kRecordSteps)
        if (key == step.recordKey)
            return true;
    return false;
}

std::vector<ReportStep> JobSteps(const JobJournal& journal, const std::vector<ReportRow>& rows)
{
    std::vector<ReportStep> steps;
    const WipeStateData& final = journal.Final();
    bool files = false, folders = false, passesBegan = false;
    for (const ReportRow& row : rows) {
        (row.isFile ? files : folders) = true;
        passesBegan = passesBegan || Started(row.outcome);
    }
    switch (journal.TargetType()) {
    case TargetFiles:
        if (files)
            steps.push_back({L"Report.StepFilesDeleted", final.FileDeletions, {}});
        if (folders)
            steps.push_back({L"Report.StepFoldersRemoved", final.DirDeletions, {}});
        break;
    case TargetVolume:
        // The engine writes a volume only after the file system let go of it.
        if (passesBegan)
            steps.push_back({L"Report.StepDismounted", -1, {}});
        break;
    default:
        if (passesBegan)
            steps.push_back({L"Report.StepTempFilesPlaced", -1, {}});
        break;
    }
    for (const RecordStep& source : kRecordSteps) {
        ReportStep counted{source.captionKey, 0, {}};
        bool any = false;
        for (const JobRecord& record : journal.Records()) {
            if (record.key != source.recordKey)
                continue;
            any = true;
            if (source.detailVariable) {
                auto found = record.variables.find(source.detailVariable);
                steps.push_back({source.captionKey, -1, found != record.variables.end() ? found->second : record.text});
            } else if (auto found = record.variables.find(source.countVariable); found != record.variables.end()) {
                counted.count += std::wcstoll(found->second.c_str(), nullptr, 10);
            }
        }
        if (any && source.countVariable)
            steps.push_back(counted);
    }
    return steps;
}
