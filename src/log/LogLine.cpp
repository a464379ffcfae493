// One record as a line of the log file, and the reading of such files.
#include "log/Log.h"
#include "log/LogRead.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <vector>
#include "platform/HandleHolder.h"
#include "platform/LongPath.h"

namespace {

// What a line break or a NUL inside a record is written as.
constexpr wchar_t kLineBreakMark = 0x00B6;  // pilcrow
constexpr wchar_t kNulMark = 0xFFFD;        // replacement character
// A longer line is no record of ours; it is skipped without being held.
constexpr size_t kMaxLineLength = 1 << 20;
// The file is read in pieces of this many code units, whatever its size.
constexpr DWORD kReadChunkUnits = 1 << 21;
// The dates an OLE date can hold: 0100-01-01 to 9999-12-31 23:59:59.
constexpr double kEarliestTime = -657434.0;
constexpr double kEndOfTime = 2958466.0;

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

bool IsDate(double time) { return std::isfinite(time) && time >= kEarliestTime && time < kEndOfTime; }

// The time field with whichever decimal separator wrote it: the user may
// have switched between "," and "." since (or to another locale's mark).
bool ParseTime(const std::wstring& field, wchar_t separator, double& time)
{
    std::string narrow;
    narrow.reserve(field.size());
    for (wchar_t c : field) {
        if (c == separator || c == L'.' || c == L',')
            narrow += '.';
        else if ((c >= L'0' && c <= L'9') || c == L'-' || c == L'+' || c == L'e' || c == L'E')
            narrow += static_cast<char>(c);
        else
            return false;
    }
    double value = 0.0;
    auto [end, error] = std::from_chars(narrow.data(), narrow.data() + narrow.size(), value);
    if (error != std::errc() || end != narrow.data() + narrow.size() || !IsDate(value))
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
    LogFileReader(wchar_t separator, std::deque<LogEntry>& records, bool atStart)
        : separator(separator), records(records), atStart(atStart)
    {
    }

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
    bool atStart;
};

}  // namespace

wchar_t LocaleDecimalSeparator()
{
    wchar_t separator[8] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) > 1)
        return separator[0];
    return L'.';
}

DWORD ReadLogRecords(HANDLE file, uint64_t begin, uint64_t end, std::deque<LogEntry>& records, uint64_t& read)
{
    read = 0;
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(begin);
    if (!SetFilePointerEx(file, position, nullptr, FILE_BEGIN))
        return GetLastError();
    LogFileReader reader(LocaleDecimalSeparator(), records, begin == 0);
    // Read straight into code units; an odd byte waits for its partner.
    std::vector<wchar_t> units(kReadChunkUnits + 1);
    auto* bytes = reinterpret_cast<char*>(units.data());
    DWORD pending = 0;
    while (begin + read < end) {
        DWORD wanted = static_cast<DWORD>(std::min<uint64_t>(kReadChunkUnits * sizeof(wchar_t), end - begin - read));
        DWORD got = 0;
        if (!ReadFile(file, bytes + pending, wanted, &got, nullptr))
            return GetLastError();
        if (got == 0)
            break;
        read += got;
        DWORD total = pending + got;
        reader.Feed(units.data(), total / sizeof(wchar_t));
        pending = total % sizeof(wchar_t);
        if (pending)
            bytes[0] = bytes[total - 1];
    }
    reader.Finish();
    return ERROR_SUCCESS;
}

DWORD ReadLogFile(const std::wstring& path, std::deque<LogEntry>& records)
{
    HANDLE file = CreateFileW(ExtendedPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    HandleHolder closeFile(file);
    uint64_t read = 0;
    return ReadLogRecords(file, 0, UINT64_MAX, records, read);
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
    // A time no date can have is written as the unreadable time reads (0).
    char number[64];
    auto result = std::to_chars(number, number + sizeof(number), IsDate(entry.time) ? entry.time : 0.0,
                                std::chars_format::fixed, 8);
    if (result.ec != std::errc())
        result.ptr = std::copy_n("0.00000000", 10, number);
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

std::wstring OneLineText(const std::wstring& text) { return OneLine(text); }
