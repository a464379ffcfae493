#include "report/ReportFiles.h"

#include <shlobj.h>
#include <cstdio>

#include "platform/HandleHolder.h"
#include "platform/LongPath.h"
#include "settings/Vxuserconfig.h"

namespace {

const wchar_t kSection[] = L"Config";
const wchar_t kEnabledKey[] = L"Report";
const wchar_t kFolderKey[] = L"ReportFolder";
// More reports than this within one second under one name are not made.
constexpr int kMaxNameTries = 1000;

std::wstring WithoutTrailingBackslash(std::wstring folder)
{
    // A drive root keeps its backslash: "C:" alone is the current folder there.
    while (folder.size() > 3 && folder.back() == L'\\')
        folder.pop_back();
    return folder;
}

std::wstring Join(const std::wstring& folder, const std::wstring& name)
{
    return folder.empty() || folder.back() == L'\\' ? folder + name : folder + L"\\" + name;
}

// Makes `folder` and whatever is missing above it.
DWORD MakeFolder(const std::wstring& folder)
{
    DWORD attributes = GetFileAttributesW(ExtendedPath(folder).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return attributes & FILE_ATTRIBUTE_DIRECTORY ? ERROR_SUCCESS : DWORD(ERROR_DIRECTORY);
    size_t split = folder.find_last_of(L'\\');
    if (split != std::wstring::npos && split > 2) {
        DWORD parent = MakeFolder(folder.substr(0, split));
        if (parent != ERROR_SUCCESS)
            return parent;
    }
    if (CreateDirectoryW(ExtendedPath(folder).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
        return ERROR_SUCCESS;
    return GetLastError();
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(ExtendedPath(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

std::wstring DefaultReportFolder(ReportSystem& system)
{
    std::wstring documents = system.DocumentsFolder();
    return documents.empty() ? std::wstring() : Join(documents, L"Varnox reports");
}

ReportSettings ReadReportSettings(VxUserConfig& config, ReportSystem& system)
{
    ReportSettings settings;
    settings.enabled = config.ReadInt(kSection, kEnabledKey, 1) != 0;
    settings.folder = config.ReadString(kSection, kFolderKey, std::wstring());
    // An empty value is no folder: the default serves.
    if (settings.folder.empty())
        settings.folder = DefaultReportFolder(system);
    return settings;
}

void WriteReportSettings(VxUserConfig& config, const ReportSettings& settings)
{
    config.WriteInt(kSection, kEnabledKey, settings.enabled ? 1 : 0);
    config.WriteString(kSection, kFolderKey, settings.folder);
}

std::wstring ReportBaseName(const JobReport& report)
{
    SYSTEMTIME universal{}, local{};
    FileTimeToSystemTime(&report.start, &universal);
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
        local = universal;
    wchar_t name[96];
    swprintf(name, 96, L"%ls report %04u-%02u-%02u %02u-%02u-%02u", report.program.c_str(), local.wYear,
             local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond);
    return name;
}

ReportFormat FormatForPath(const std::wstring& path, ReportFormat otherwise)
{
    size_t dot = path.find_last_of(L".\\/");
    if (dot == std::wstring::npos || path[dot] != L'.')
        return otherwise;
    auto is = [&](const wchar_t* extension) {
        return CompareStringOrdinal(path.c_str() + dot, -1, extension, -1, TRUE) == CSTR_EQUAL;
    };
    if (is(L".csv"))
        return ReportFormat::Csv;
    if (is(L".htm") || is(L".html"))
        return ReportFormat::Html;
    return otherwise;
}

std::string ReportBytes(const JobReport& report, UnicodeLanguage& language, ReportFormat format)
{
    return format == ReportFormat::Csv ? ReportCsv(report, language) : ReportHtml(report, language);
}

DWORD WriteReportFile(const std::wstring& path, const std::string& bytes)
{
    const std::wstring target = ExtendedPath(path);
    HANDLE file = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    DWORD error = ERROR_SUCCESS;
    {
        HandleHolder holder(file);
        const char* data = bytes.data();
        size_t left = bytes.size();
        while (left > 0 && error == ERROR_SUCCESS) {
            DWORD piece = static_cast<DWORD>(left < (1u << 24) ? left : (1u << 24));
            DWORD written = 0;
            if (!WriteFile(file, data, piece, &written, nullptr))
                error = GetLastError();
            else if (written == 0)
                error = ERROR_WRITE_FAULT;
            data += written;
            left -= written;
        }
        if (error == ERROR_SUCCESS && !FlushFileBuffers(file))
            error = GetLastError();
    }
    // Half a report would be read as a whole one.
    if (error != ERROR_SUCCESS)
        DeleteFileW(target.c_str());
    return error;
}

DWORD WriteJobReport(const JobReport& report, UnicodeLanguage& language, const std::wstring& folder,
                     std::wstring& path)
{
    const std::wstring place = WithoutTrailingBackslash(folder);
    path = place;
    if (place.empty())
        return ERROR_PATH_NOT_FOUND;
    DWORD error = MakeFolder(place);
    if (error != ERROR_SUCCESS)
        return error;
    const std::wstring base = Join(place, ReportBaseName(report));
    std::wstring html, csv;
    for (int attempt = 1; attempt <= kMaxNameTries; ++attempt) {
        std::wstring name = attempt == 1 ? base : base + L" (" + std::to_wstring(attempt) + L")";
        html = name + L".html";
        csv = name + L".csv";
        if (!Exists(html) && !Exists(csv))
            break;
        if (attempt == kMaxNameTries) {
            path = html;
            return ERROR_FILE_EXISTS;
        }
    }
    path = html;
    error = WriteReportFile(html, ReportHtml(report, language));
    if (error != ERROR_SUCCESS)
        return error;
    error = WriteReportFile(csv, ReportCsv(report, language));
    // The page stays: it is the whole report; the CSV file only repeats its rows.
    if (error != ERROR_SUCCESS)
        path = csv;
    return error;
}
