#pragma once
// Where reports go and how they reach the disk: the two settings (on by
// default; the folder "Varnox reports" in the user's Documents unless the
// user chose another), the folder made when the first report needs it, and
// files that are either written whole or not left behind at all.
#include <windows.h>
#include <string>

#include "report/JobReport.h"

class VxUserConfig;

struct ReportSettings {
    bool enabled = true;
    std::wstring folder;
};

// "Config"/"Report" (default 1) and "Config"/"ReportFolder" (default DefaultReportFolder).
ReportSettings ReadReportSettings(VxUserConfig& config, ReportSystem& system);
void WriteReportSettings(VxUserConfig& config, const ReportSettings& settings);
// "Varnox reports" in the user's Documents folder.
std::wstring DefaultReportFolder(ReportSystem& system);

enum class ReportFormat { Html, Csv };

// The format a file name asks for: ".csv" a CSV file, ".htm" or ".html" a
// page (in any case of letters), anything else `otherwise`.
ReportFormat FormatForPath(const std::wstring& path, ReportFormat otherwise);
// The report as a file of `format`.
std::string ReportBytes(const JobReport& report, UnicodeLanguage& language, ReportFormat format);

// The report's file name without folder or extension, from when the job
// started: "Varnox report 2024-05-01 14-30-15" (local time).
std::wstring ReportBaseName(const JobReport& report);

// Writes `bytes` to `path`, replacing a file there. A file that cannot be
// written whole is removed again. ERROR_SUCCESS or the error that stopped it.
DWORD WriteReportFile(const std::wstring& path, const std::string& bytes);

// Writes the report into `folder` (made when missing) as an HTML page and a
// CSV file, under a name that neither file has there yet. `path` receives the
// page's path, or on failure the path that could not be written (the
// folder's when that could not be made). ERROR_SUCCESS or the error.
DWORD WriteJobReport(const JobReport& report, UnicodeLanguage& language, const std::wstring& folder,
                     std::wstring& path);
