// The report of a job of 100,000 targets: made from its journal and
// targets, rendered as page and CSV file, checksummed and written, as at the
// end of such a job.
#include <string>

#include "Bench.h"
#include "report/ReportFiles.h"
#include "settings/Unicodelanguage.h"
#include "support/ReportAnswers.h"
#include "support/TempDir.h"

VARNOX_BENCHMARK(ReportOfManyTargets)
{
    constexpr int kTargets = 100000;
    TempDir dir;
    AnsweredReportSystem system;
    UnicodeLanguage language;
    language.SelectLanguage(0x0409);
    Logger log(language);
    FileList targets;
    JobJournal journal;
    journal.Begin(TargetFiles, 2, 1);
    for (int index = 0; index < kTargets; ++index) {
        WIN32_FIND_DATAW entry{};
        std::wstring name = L"report " + std::to_wstring(index) + L".docx";
        name.copy(entry.cFileName, MAX_PATH - 1);
        entry.nFileSizeLow = 4096 + static_cast<DWORD>(index);
        auto* target = new FileInfo(L"C:\\Users\\someone\\Documents\\Projects\\Quarterly figures", entry);
        target->Outcome = index % 100 == 0 ? OutcomeFailed : OutcomeDestroyed;
        target->Success = target->Outcome == OutcomeDestroyed;
        targets.Add(target);
        if (target->Success)
            journal.Record(log, LogCategory::Info, target->Path, L"Log.FileWiped",
                           {{L"WipeMethod", L"2"}, {L"RoundCount", L"1"}});
        else
            journal.Record(log, LogCategory::Error, target->Path, L"Log.FileOpenError",
                           {{L"SystemErrorCode", L"32"}, {L"SystemErrorMessage", L"The file is in use"}});
    }
    WipeStateData final;
    final.State = StateCompleted;
    final.TotalWrite.Current = int64_t(kTargets) * 8192;
    journal.End(final);

    double start = Seconds();
    JobReport report = MakeJobReport(journal, targets, system);
    std::wstring path;
    DWORD error = WriteJobReport(report, language, dir / L"reports", path);
    Report("report_100000_targets_ms", (Seconds() - start) * 1000.0);
    if (error != ERROR_SUCCESS || report.rows.size() != size_t(kTargets))
        Report("report_100000_targets_failed", 1);
}
