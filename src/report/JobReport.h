#pragma once
// The report of one wipe job: who ran it where, the job and its method pass
// by pass, the volume, every target with its result and the text of its log
// records, the totals, the steps beyond the passes, and a SHA-256 checksum of
// all of it. Made from the job's own journal, targets and final state; shown
// as a self-contained HTML page or as a CSV file (UTF-8 with a byte-order
// mark) with the same rows, every caption from the language files.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/Wiper.h"
#include "report/JobJournal.h"
#include "targets/Filelist.h"

class UnicodeLanguage;

// A step a job takes beyond the passes of its method (JobSteps.cpp): a
// caption, and a number or a text where the step has one.
struct ReportStep {
    std::wstring captionKey;
    int64_t count = -1;   // -1: none
    std::wstring detail;
};

struct ReportRow {
    std::wstring path;
    bool isFile = true;
    bool sizeKnown = true;
    uint64_t size = 0;
    uint8_t outcome = OutcomeNotStarted;  // TargetOutcome
    std::vector<std::wstring> reasons;    // the texts of the target's log records, in order
};

struct ReportTotals {
    int32_t targets = 0, destroyed = 0, kept = 0, failed = 0, notStarted = 0, unreadable = 0;
    int64_t bytesWritten = 0, bytesVerified = 0;
};

struct JobReport {
    std::wstring program, version, computer, windowsVersion, user;
    uint8_t targetType = TargetFiles;
    int32_t method = 0;
    int32_t rounds = 0;
    std::vector<PassContent> passes;
    bool cancelled = false;
    bool withErrors = false;
    FILETIME start{}, end{};  // UTC
    bool hasVolume = false;
    VolumeFacts volume;
    std::vector<ReportRow> rows;
    ReportTotals totals;
    std::vector<ReportStep> steps;
    std::vector<std::wstring> otherRecords;  // records about no target, "target: text"
};

// The report of the job `journal` tells of, over its `targets` (the list the
// job ran on, after it ended: their Success flags and outcomes are final).
JobReport MakeJobReport(const JobJournal& journal, const FileList& targets, ReportSystem& system);

// The report as a file's bytes, its checksum included. `language` gives every caption.
std::string ReportHtml(const JobReport& report, UnicodeLanguage& language);
std::string ReportCsv(const JobReport& report, UnicodeLanguage& language);

// The steps beyond the passes the job took, from its journal and its rows.
std::vector<ReportStep> JobSteps(const JobJournal& journal, const std::vector<ReportRow>& rows);
// Whether a record of `key` feeds a step (its variables are then kept).
bool StepUsesRecord(const std::wstring& key);
