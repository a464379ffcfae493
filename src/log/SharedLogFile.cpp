#include "log/SharedLogFile.h"

#include <algorithm>
#include "log/LogRead.h"
#include "platform/HandleHolder.h"
#include "platform/LongPath.h"

namespace {

// Long enough for another copy to read a large log; a copy that hangs
// with the lock does not hang this one: the access fails and is tried again.
constexpr DWORD kLockWaitMs = 20000;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr size_t kWriteChunk = 1 << 24;

std::wstring FullPath(const std::wstring& path)
{
    DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    size = size ? GetFullPathNameW(path.c_str(), size, full.data(), nullptr) : 0;
    full.resize(size);
    return ExtendedPath(size ? full : path);
}

// Every copy of the program names the lock of a file alike: from its full
// path, case folded (a name cannot hold the path itself).
HANDLE OpenFileLock(const std::wstring& path)
{
    std::wstring full = FullPath(path);
    CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
    uint64_t hash = 14695981039346656037ull;
    for (wchar_t c : full) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    std::wstring name = L"Local\\Varnox.LogFile.";
    for (int shift = 60; shift >= 0; shift -= 4)
        name += L"0123456789ABCDEF"[(hash >> shift) & 0xF];
    return CreateMutexW(nullptr, FALSE, name.c_str());
}

class LockScope {
public:
    explicit LockScope(HANDLE mutex) : mutex(mutex)
    {
        if (mutex == nullptr)
            return;
        DWORD wait = WaitForSingleObject(mutex, kLockWaitMs);
        // Abandoned: its owner ended mid-access; a torn last line is mended
        // by the line break the next append starts with.
        held = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
        if (!held)
            error = wait == WAIT_TIMEOUT ? ERROR_TIMEOUT : GetLastError();
    }
    ~LockScope()
    {
        if (held)
            ReleaseMutex(mutex);
    }
    LockScope(const LockScope&) = delete;
    LockScope& operator=(const LockScope&) = delete;

    DWORD error = ERROR_SUCCESS;

private:
    HANDLE mutex;
    bool held = false;
};

HANDLE OpenShared(const std::wstring& path, DWORD access, DWORD disposition)
{
    return CreateFileW(ExtendedPath(path).c_str(), access, kShareAll, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

bool ReadAt(HANDLE file, uint64_t begin, uint64_t end, std::string& out)
{
    while (begin < end) {
        DWORD wanted = static_cast<DWORD>(std::min<uint64_t>(end - begin, kWriteChunk));
        size_t at = out.size();
        out.resize(at + wanted);
        OVERLAPPED where{};
        where.Offset = static_cast<DWORD>(begin);
        where.OffsetHigh = static_cast<DWORD>(begin >> 32);
        DWORD got = 0;
        if (!ReadFile(file, out.data() + at, wanted, &got, &where) || got != wanted)
            return false;
        begin += got;
    }
    return true;
}

DWORD WriteAll(HANDLE file, const std::string& bytes, DWORD& written)
{
    written = 0;
    while (written < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min(bytes.size() - written, kWriteChunk));
        DWORD done = 0;
        if (!WriteFile(file, bytes.data() + written, chunk, &done, nullptr))
            return GetLastError();
        if (done == 0)
            return ERROR_WRITE_FAULT;
        written += done;
    }
    return ERROR_SUCCESS;
}

std::string Bytes(const std::wstring& text)
{
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

// What goes before the first new line so that it starts a line of its own
// on a code-unit boundary: a byte completing a torn code unit, and a line
// break after a last line that has none (a write cut short, an edited file).
std::string LineStart(uint64_t size, wchar_t lastUnit)
{
    if (size == 0)
        return {};
    if (size % 2)
        return std::string("\0\r\0\n\0", 5);
    if (lastUnit == L'\r' || lastUnit == L'\n')
        return {};
    return std::string("\r\0\n\0", 4);
}

wchar_t LastUnit(HANDLE file, uint64_t size)
{
    std::string unit;
    if (size < 2 || size % 2 || !ReadAt(file, size - 2, size, unit))
        return 0;
    return static_cast<wchar_t>(static_cast<unsigned char>(unit[0]) | static_cast<unsigned char>(unit[1]) << 8);
}

}  // namespace

SharedLogFile::SharedLogFile(std::wstring path) : path(std::move(path)), mutex(OpenFileLock(this->path)) {}

SharedLogFile::~SharedLogFile()
{
    if (mutex != nullptr)
        CloseHandle(mutex);
}

bool SharedLogFile::FactsOf(HANDLE file, Facts& facts)
{
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file, &information))
        return false;
    facts.volume = information.dwVolumeSerialNumber;
    facts.id = (uint64_t(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
    facts.size = (uint64_t(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
    return true;
}

bool SharedLogFile::IsNamedBy(const std::wstring& other) const
{
    if (CompareStringOrdinal(FullPath(path).c_str(), -1, FullPath(other).c_str(), -1, TRUE) == CSTR_EQUAL)
        return true;
    Facts mine, theirs;
    auto identify = [](const std::wstring& name, Facts& facts) {
        HANDLE file = OpenShared(name, FILE_READ_ATTRIBUTES, OPEN_EXISTING);
        HandleHolder closeFile(file);
        return file != INVALID_HANDLE_VALUE && FactsOf(file, facts) && facts.id != 0;
    };
    return identify(path, mine) && identify(other, theirs) && mine.id == theirs.id && mine.volume == theirs.volume;
}

bool SharedLogFile::StillAsLeft() const
{
    HANDLE file = OpenShared(path, FILE_READ_ATTRIBUTES, OPEN_EXISTING);
    HandleHolder closeFile(file);
    Facts facts;
    return file != INVALID_HANDLE_VALUE && FactsOf(file, facts) && facts.id == known.id &&
           facts.volume == known.volume && facts.size >= knownEnd;
}

void SharedLogFile::AddForeign(uint64_t begin, uint64_t end)
{
    if (begin >= end)
        return;
    if (!foreign.empty() && foreign.back().end == begin)
        foreign.back().end = end;
    else
        foreign.push_back({begin, end});
}

// A file that is no longer the one last seen (replaced, or cut short) is all
// foreign: nothing of it is known to have been shown. Bytes beyond the known
// end were written by others since.
void SharedLogFile::Reconcile(const Facts& facts)
{
    if ((known.id != 0 && (facts.id != known.id || facts.volume != known.volume)) || facts.size < knownEnd) {
        foreign.clear();
        knownEnd = 0;
        clearedEnd = 0;
    }
    AddForeign(knownEnd, facts.size);
    Known(facts, facts.size);
}

void SharedLogFile::Known(const Facts& facts, uint64_t end)
{
    known = facts;
    knownEnd = end;
}

DWORD SharedLogFile::ReadAll(std::deque<LogEntry>& records)
{
    unread = true;
    LockScope lock(mutex);
    if (lock.error != ERROR_SUCCESS)
        return lock.error;
    foreign.clear();
    clearedEnd = 0;
    Known(Facts{}, 0);
    HANDLE file = OpenShared(path, GENERIC_READ, OPEN_EXISTING);
    HandleHolder closeFile(file);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        unread = !IsMissing(error);
        return unread ? error : ERROR_SUCCESS;
    }
    Facts facts;
    uint64_t read = 0;
    DWORD error = FactsOf(file, facts) ? ReadLogRecords(file, 0, UINT64_MAX, records, read) : GetLastError();
    if (error != ERROR_SUCCESS)
        return error;
    unread = false;
    Known(facts, read);
    return ERROR_SUCCESS;
}

DWORD SharedLogFile::ReadEarlier(std::deque<LogEntry>& records)
{
    LockScope lock(mutex);
    if (lock.error != ERROR_SUCCESS)
        return lock.error;
    HANDLE file = OpenShared(path, GENERIC_READ, OPEN_EXISTING);
    HandleHolder closeFile(file);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        unread = !IsMissing(error);
        return unread ? error : ERROR_SUCCESS;
    }
    Facts facts;
    if (!FactsOf(file, facts))
        return GetLastError();
    Reconcile(facts);
    // The earlier records are the foreign bytes ahead of anything written here.
    if (foreign.empty() || foreign.front().begin != 0) {
        unread = false;
        return ERROR_SUCCESS;
    }
    uint64_t read = 0;
    DWORD error = ReadLogRecords(file, 0, foreign.front().end, records, read);
    if (error != ERROR_SUCCESS)
        return error;
    foreign.erase(foreign.begin());
    unread = false;
    return ERROR_SUCCESS;
}

DWORD SharedLogFile::Append(const std::wstring& lines)
{
    LockScope lock(mutex);
    if (lock.error != ERROR_SUCCESS)
        return lock.error;
    return AppendLocked(lines);
}

DWORD SharedLogFile::AppendLocked(const std::wstring& lines)
{
    // Data can only be added at the end through this handle, whatever else
    // writes the file.
    HANDLE file = OpenShared(path, FILE_APPEND_DATA | FILE_READ_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE, OPEN_ALWAYS);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    HandleHolder closeFile(file);
    Facts facts;
    if (!FactsOf(file, facts))
        return GetLastError();
    Reconcile(facts);
    if (lines.empty())
        return ERROR_SUCCESS;
    std::string bytes = LineStart(facts.size, LastUnit(file, facts.size));
    size_t start = bytes.size();
    bytes += Bytes(lines);
    DWORD written = 0;
    DWORD error = WriteAll(file, bytes, written);
    // A write cut short leaves a part nobody can vouch for: it is kept.
    AddForeign(knownEnd, knownEnd + (error == ERROR_SUCCESS ? start : written));
    knownEnd += written;
    return error;
}

DWORD SharedLogFile::Replace(const std::wstring& lines)
{
    LockScope lock(mutex);
    if (lock.error != ERROR_SUCCESS)
        return lock.error;
    std::string content = Bytes(lines);
    Facts facts;
    DWORD error = ReplaceLocked(content, facts);
    if (error != ERROR_SUCCESS)
        return error;
    foreign.clear();
    clearedEnd = 0;
    unread = false;
    Known(facts, content.size());
    return ERROR_SUCCESS;
}

// Written beside the file and renamed over it, so that a failed write leaves
// the file as it was.
DWORD SharedLogFile::ReplaceLocked(const std::string& content, Facts& facts)
{
    std::wstring temporary = ExtendedPath(path + L".saving-" + std::to_wstring(GetCurrentProcessId()) + L".tmp");
    DWORD error = ERROR_SUCCESS;
    {
        HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        HandleHolder closeFile(file);
        DWORD written = 0;
        if (file == INVALID_HANDLE_VALUE)
            error = GetLastError();
        if (error == ERROR_SUCCESS)
            error = WriteAll(file, content, written);
        if (error == ERROR_SUCCESS && !FlushFileBuffers(file))
            error = GetLastError();
        // The identity goes with the file when it is renamed.
        if (error == ERROR_SUCCESS && !FactsOf(file, facts))
            error = GetLastError();
    }
    if (error == ERROR_SUCCESS &&
        !MoveFileExW(temporary.c_str(), ExtendedPath(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = GetLastError();
    if (error != ERROR_SUCCESS)
        DeleteFileW(temporary.c_str());
    return error;
}

DWORD SharedLogFile::DropCleared(const std::wstring& lines)
{
    LockScope lock(mutex);
    if (lock.error != ERROR_SUCCESS)
        return lock.error;
    std::string content;
    std::vector<Range> moved;
    {
        HANDLE file = OpenShared(path, GENERIC_READ, OPEN_EXISTING);
        HandleHolder closeFile(file);
        if (file == INVALID_HANDLE_VALUE) {
            DWORD error = GetLastError();
            if (!IsMissing(error))
                return error;
            foreign.clear();
            Known(Facts{}, 0);
            clearedEnd = 0;
            return AppendLocked(lines);
        }
        Facts facts;
        if (!FactsOf(file, facts))
            return GetLastError();
        Reconcile(facts);
        if (clearedEnd == 0)  // not the file that was cleared any more
            return AppendLocked(lines);
        // Kept: what others wrote before the clear, then everything after it.
        std::vector<Range> later;
        for (const Range& range : foreign) {
            if (range.begin < clearedEnd) {
                uint64_t end = std::min(range.end, clearedEnd);
                moved.push_back({content.size(), content.size() + (end - range.begin)});
                if (!ReadAt(file, range.begin, end, content))
                    return GetLastError();
            }
            if (range.end > clearedEnd)
                later.push_back({std::max(range.begin, clearedEnd), range.end});
        }
        uint64_t shift = clearedEnd - content.size();
        for (const Range& range : later)
            moved.push_back({range.begin - shift, range.end - shift});
        if (!ReadAt(file, clearedEnd, knownEnd, content))
            return GetLastError();
    }
    wchar_t last = content.size() >= 2 ? static_cast<wchar_t>(static_cast<unsigned char>(content[content.size() - 2]) |
                                                              static_cast<unsigned char>(content.back()) << 8)
                                       : 0;
    std::string start = lines.empty() ? std::string() : LineStart(content.size(), last);
    if (!start.empty())
        moved.push_back({content.size(), content.size() + start.size()});
    content += start;
    content += Bytes(lines);
    Facts facts;
    DWORD error = ReplaceLocked(content, facts);
    if (error != ERROR_SUCCESS)
        return error;
    foreign.clear();
    for (const Range& range : moved)
        AddForeign(range.begin, range.end);
    clearedEnd = 0;
    Known(facts, content.size());
    return ERROR_SUCCESS;
}
