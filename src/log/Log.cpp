#include "log/Log.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <vector>
#include "platform/HandleHolder.h"
#include "platform/LongPath.h"
#include "settings/Unicodelanguage.h"

namespace {

// What a line break or a NUL inside a record is written as.
constexpr wchar_t kLineBreakMark = 0x00B6;  // pilcrow
constexpr wchar_t kNulMark = 0xFFFD;        // replacement character
// A longer line is no record of ours; it is skipped without being held.
constexpr size_t kMaxLineLength = 1 << 20;
// The file is read in pieces of this many code units, whatever its size.
constexpr DWORD kReadChunkUnits = 1 << 21;

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

// `text` with every line break (CR LF, CR or LF) as one pilcrow and every NUL
// as a replacement character.
std::wstring OneLine(const std::wstring& text)
{
    static const wchar_t breaks[] = {L'\r', L'\n', L'\0'};
    if (std::find_first_of(text.begin(), text.end(), std::begin(breaks), std::end(breaks)) == text.end())
        return text;
    std::wstring line;
    line.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c == L'\r' || c == L'\n') {
            line += kLineBreakMark;
            if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')
                ++i;
        } else {
            line += c == L'\0' ? kNulMark : c;
        }
    }
    return line;
}

// Splits the code units of a log file, fed in pieces, into lines at CR LF,
// lone CR or lone LF, and keeps the records among them. A line that holds a
// NUL (a damaged file) is skipped; the lines after it still count.
class LogFileReader {
public:
    LogFileReader(wchar_t separator, std::deque<LogEntry>& records) : separator(separator), records(records) {}

    void Feed(const wchar_t* units, size_t count)
    {
        size_t i = 0;
        if (atStart && count > 0) {
            atStart = false;
            if (units[0] == 0xFEFF)  // a mark added by an editor
                i = 1;
        }
        if (afterCr && i < count && units[i] == L'\n')
            ++i;
        afterCr = false;
        while (i < count) {
            const wchar_t* begin = units + i;
            const wchar_t* end = std::find_if(begin, units + count, [](wchar_t c) { return c == L'\r' || c == L'\n'; });
            if (!bad) {
                bad = std::find(begin, end, L'\0') != end || line.size() + size_t(end - begin) > kMaxLineLength;
                if (bad)
                    line.clear();
                else
                    line.append(begin, end);
            }
            i = static_cast<size_t>(end - units);
            if (i == count)
                break;
            EndLine();
            if (units[i] == L'\r') {
                if (i + 1 == count)
                    afterCr = true;
                else if (units[i + 1] == L'\n')
                    ++i;
            }
            ++i;
        }
    }

    void Finish() { EndLine(); }

private:
    void EndLine()
    {
        LogEntry entry;
        if (!bad && ParseLogLine(line, separator, entry))
            records.push_back(std::move(entry));
        line.clear();
        bad = false;
    }

    wchar_t separator;
    std::deque<LogEntry>& records;
    std::wstring line;
    bool bad = false;
    bool afterCr = false;
    bool atStart = true;
};

void AppendLines(std::wstring& content, const std::deque<LogEntry>& records, wchar_t separator)
{
    for (const LogEntry& entry : records) {
        content += FormatLogLine(entry, separator);
        content += L"\r\n";
    }
}

bool IsMissing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// The volume and the file's number on it, which every spelling of its path shares.
bool FileIdentity(const std::wstring& path, DWORD& volume, uint64_t& id)
{
    HANDLE file = CreateFileW(ExtendedPath(path).c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    HandleHolder closeFile(file);
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file, &information))
        return false;
    volume = information.dwVolumeSerialNumber;
    id = (uint64_t(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
    return id != 0;
}

}  // namespace

DWORD ReadLogFile(const std::wstring& path, std::deque<LogEntry>& records)
{
    HANDLE file = CreateFileW(ExtendedPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    HandleHolder closeFile(file);
    LogFileReader reader(LocaleDecimalSeparator(), records);
    // Read straight into code units; an odd byte waits for its partner.
    std::vector<wchar_t> units(kReadChunkUnits + 1);
    auto* bytes = reinterpret_cast<char*>(units.data());
    DWORD pending = 0;
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, bytes + pending, kReadChunkUnits * sizeof(wchar_t), &read, nullptr))
            return GetLastError();
        if (read == 0)
            break;
        DWORD total = pending + read;
        reader.Feed(units.data(), total / sizeof(wchar_t));
        pending = total % sizeof(wchar_t);
        if (pending)
            bytes[0] = bytes[total - 1];
    }
    reader.Finish();
    return ERROR_SUCCESS;
}

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
    for (wchar_t c : OneLine(entry.target)) {
        if (c == L'\\' || c == L'"')
            line += L'\\';
        line += c;
    }
    line += L"\" ";
    line += OneLine(entry.text);
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
    LogEntry entry{category, CurrentLogTime(), OneLine(target),
                   OneLine((language ? *language : Language()).GetText(key, variables))};
    MutexHolder hold(lock);
    entries.push_back(std::move(entry));
}

void Logger::Clear()
{
    MutexHolder hold(lock);
    entries.clear();
    ownFiles.clear();
    cleared = true;
}

std::vector<Logger::KnownFile>::iterator Logger::Find(const std::wstring& path)
{
    KnownFile wanted{path};
    bool identified = FileIdentity(path, wanted.volume, wanted.id);
    return std::find_if(ownFiles.begin(), ownFiles.end(), [&](const KnownFile& file) {
        return CompareStringOrdinal(ExtendedPath(file.path).c_str(), -1, ExtendedPath(path).c_str(), -1, TRUE) ==
                   CSTR_EQUAL ||
               (identified && file.id == wanted.id && file.volume == wanted.volume);
    });
}

void Logger::Own(const std::wstring& path)
{
    KnownFile file{path};
    if (!FileIdentity(path, file.volume, file.id))
        file.id = 0;
    // A save makes the file anew: its identity is the new one.
    auto known = Find(path);
    if (known != ownFiles.end())
        *known = std::move(file);
    else
        ownFiles.push_back(std::move(file));
    cleared = false;
}

DWORD Logger::Load(const std::wstring& path)
{
    std::deque<LogEntry> loaded;
    DWORD error = ReadLogFile(path, loaded);
    if (error != ERROR_SUCCESS)
        loaded.clear();
    {
        MutexHolder hold(lock);
        entries.swap(loaded);
    }
    cleared = false;
    // Only records that were read are the file's; a file that could not be
    // read is read again before the first save to it, and never overwritten unread.
    ownFiles.clear();
    if (error == ERROR_SUCCESS)
        Own(path);
    return IsMissing(error) ? ERROR_SUCCESS : error;
}

DWORD Logger::Save(const std::wstring& path)
{
    // The history in a file the log was not read from is kept, ahead of ours.
    std::deque<LogEntry> earlier;
    if (!cleared && Find(path) == ownFiles.end()) {
        DWORD error = ReadLogFile(path, earlier);
        if (IsMissing(error))
            earlier.clear();
        else if (error != ERROR_SUCCESS)
            return error;
    }
    wchar_t separator = LocaleDecimalSeparator();
    std::wstring content;
    AppendLines(content, earlier, separator);
    {
        MutexHolder hold(lock);
        AppendLines(content, entries, separator);
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
    if (error != ERROR_SUCCESS) {
        DeleteFileW(temporary.c_str());
        return error;
    }
    {
        MutexHolder hold(lock);
        entries.insert(entries.begin(), std::make_move_iterator(earlier.begin()), std::make_move_iterator(earlier.end()));
    }
    Own(path);
    return ERROR_SUCCESS;
}

Logger& AppLog()
{
    static Logger log;
    return log;
}
