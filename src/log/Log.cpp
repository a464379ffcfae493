#include "log/Log.h"

#include <charconv>
#include <cmath>
#include <vector>
#include "platform/HandleHolder.h"
#include "platform/LongPath.h"
#include "settings/Unicodelanguage.h"

namespace {

wchar_t LocaleDecimalSeparator()
{
    wchar_t separator[8] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) > 1)
        return separator[0];
    return L'.';
}

// Days from 1899-12-30 to the given date of the proleptic Gregorian calendar.
int64_t DaysSinceOleEpoch(int year, int month, int day)
{
    // Days from civil (Howard Hinnant), relative to 1970-01-01, then shifted.
    year -= month <= 2;
    int64_t era = (year >= 0 ? year : year - 399) / 400;
    int64_t yearOfEra = year - era * 400;
    int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468 + 25569;
}

DWORD WriteAll(HANDLE file, const std::wstring& text)
{
    const char* data = reinterpret_cast<const char*>(text.data());
    size_t left = text.size() * sizeof(wchar_t);
    while (left > 0) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(left, 1 << 24));
        DWORD written = 0;
        if (!WriteFile(file, data, chunk, &written, nullptr))
            return GetLastError();
        if (written == 0)
            return ERROR_WRITE_FAULT;
        data += written;
        left -= written;
    }
    return ERROR_SUCCESS;
}

bool ParseTime(const std::wstring& field, wchar_t separator, double& time)
{
    std::string narrow;
    narrow.reserve(field.size());
    for (wchar_t c : field) {
        if (c == separator)
            narrow += '.';
        else if ((c >= L'0' && c <= L'9') || c == L'-' || c == L'+' || c == L'e' || c == L'E')
            narrow += static_cast<char>(c);
        else
            return false;
    }
    double value = 0.0;
    auto [end, error] = std::from_chars(narrow.data(), narrow.data() + narrow.size(), value);
    if (error != std::errc() || end != narrow.data() + narrow.size() || !std::isfinite(value))
        return false;
    time = value;
    return true;
}

}  // namespace

double CurrentLogTime()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    double seconds = now.wHour * 3600.0 + now.wMinute * 60.0 + now.wSecond + now.wMilliseconds / 1000.0;
    return static_cast<double>(DaysSinceOleEpoch(now.wYear, now.wMonth, now.wDay)) + seconds / 86400.0;
}

std::wstring FormatLogLine(const LogEntry& entry, wchar_t separator)
{
    std::wstring line = std::to_wstring(static_cast<unsigned>(entry.category));
    line += L' ';
    char number[64];
    auto result = std::to_chars(number, number + sizeof(number), entry.time, std::chars_format::fixed, 8);
    for (const char* c = number; c != result.ptr; ++c)
        line += *c == '.' ? separator : static_cast<wchar_t>(*c);
    line += L" \"";
    for (wchar_t c : entry.target) {
        if (c == L'\\' || c == L'"')
            line += L'\\';
        line += c;
    }
    line += L"\" ";
    line += entry.text;
    return line;
}

bool ParseLogLine(const std::wstring& line, wchar_t separator, LogEntry& entry)
{
    size_t space = line.find(L' ');
    if (space == std::wstring::npos || space == 0)
        return false;
    unsigned category = 0;
    for (size_t i = 0; i < space; ++i) {
        if (line[i] < L'0' || line[i] > L'9')
            return false;
        category = category * 10 + (line[i] - L'0');
        if (category > 2)
            return false;
    }
    size_t timeStart = space + 1;
    space = line.find(L' ', timeStart);
    if (space == std::wstring::npos)
        return false;
    double time = 0.0;
    if (!ParseTime(line.substr(timeStart, space - timeStart), separator, time))
        time = 0.0;
    size_t pos = space + 1;
    if (pos >= line.size() || line[pos] != L'"')
        return false;
    std::wstring target;
    bool closed = false;
    for (++pos; pos < line.size(); ++pos) {
        wchar_t c = line[pos];
        if (c == L'"') {
            closed = true;
            break;
        }
        if (c == L'\\') {
            if (++pos == line.size())
                break;
            c = line[pos];
        }
        target += c;
    }
    entry.category = static_cast<LogCategory>(category);
    entry.time = time;
    entry.target = std::move(target);
    entry.text = closed && pos + 2 <= line.size() ? line.substr(pos + 2) : std::wstring();
    return true;
}

void Logger::Add(LogCategory category, const std::wstring& target, const std::wstring& key,
                 const TextVariables& variables)
{
    LogEntry entry{category, CurrentLogTime(), target, (language ? *language : Language()).GetText(key, variables)};
    MutexHolder hold(lock);
    entries.push_back(std::move(entry));
}

void Logger::Clear()
{
    MutexHolder hold(lock);
    entries.clear();
}

void Logger::Load(const std::wstring& path)
{
    std::deque<LogEntry> loaded;
    std::wstring content;
    HANDLE file = CreateFileW(ExtendedPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    HandleHolder closeFile(file);
    LARGE_INTEGER size{};
    if (file != INVALID_HANDLE_VALUE && GetFileSizeEx(file, &size) && size.QuadPart < (1ll << 31)) {
        content.resize(static_cast<size_t>(size.QuadPart) / sizeof(wchar_t));
        DWORD read = 0;
        if (!content.empty() &&
            !ReadFile(file, content.data(), static_cast<DWORD>(content.size() * sizeof(wchar_t)), &read,
                      nullptr))
            read = 0;
        content.resize(read / sizeof(wchar_t));
    }
    content.resize(std::min(content.size(), content.find(L'\0')));
    wchar_t separator = LocaleDecimalSeparator();
    size_t pos = !content.empty() && content[0] == 0xFEFF ? 1 : 0;  // tolerate a mark added by an editor
    while (pos < content.size()) {
        size_t end = content.find_first_of(L"\r\n", pos);
        if (end == std::wstring::npos)
            end = content.size();
        LogEntry entry;
        if (ParseLogLine(content.substr(pos, end - pos), separator, entry))
            loaded.push_back(std::move(entry));
        pos = end + (end + 1 < content.size() && content[end] == L'\r' && content[end + 1] == L'\n' ? 2 : 1);
    }
    MutexHolder hold(lock);
    entries.swap(loaded);
}

DWORD Logger::Save(const std::wstring& path) const
{
    wchar_t separator = LocaleDecimalSeparator();
    std::wstring content;
    {
        MutexHolder hold(lock);
        for (const LogEntry& entry : entries) {
            content += FormatLogLine(entry, separator);
            content += L"\r\n";
        }
    }
    // Beside the log, so that replacing it is a rename within one volume.
    std::wstring temporary = ExtendedPath(path + L".saving-" + std::to_wstring(GetCurrentProcessId()) + L".tmp");
    DWORD error = ERROR_SUCCESS;
    {
        HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
        HandleHolder closeFile(file);
        if (file == INVALID_HANDLE_VALUE)
            error = GetLastError();
        if (error == ERROR_SUCCESS)
            error = WriteAll(file, content);
        if (error == ERROR_SUCCESS && !FlushFileBuffers(file))
            error = GetLastError();
    }
    if (error == ERROR_SUCCESS &&
        !MoveFileExW(temporary.c_str(), ExtendedPath(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = GetLastError();
    if (error != ERROR_SUCCESS)
        DeleteFileW(temporary.c_str());
    return error;
}

Logger& AppLog()
{
    static Logger log;
    return log;
}
