#pragma once
// One log file as a logger shares it with every other writer of it: other
// copies of the program and other loggers in this one. Each access holds a
// named mutex made from the file's full path. Records are only ever appended
// (to the end, by a handle that can do nothing else), and what the file holds
// is tracked in byte ranges: what this logger showed (read from the file, or
// written by it) and what others wrote (foreign), so that dropping the cleared
// records rewrites the file without what the user saw, and without losing what
// anyone else wrote to it meanwhile.
#include <windows.h>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>
#include "log/Log.h"

class SharedLogFile {
public:
    explicit SharedLogFile(std::wstring path);
    ~SharedLogFile();
    SharedLogFile(const SharedLogFile&) = delete;
    SharedLogFile& operator=(const SharedLogFile&) = delete;

    const std::wstring& Path() const { return path; }
    // Whether `other` names this file: the same path however spelt, or the
    // same file on its volume.
    bool IsNamedBy(const std::wstring& other) const;
    // Whether the file is still the one last seen here, with all it held then
    // (not deleted, replaced or cut short since).
    bool StillAsLeft() const;

    // Reads every record; all the file holds counts as shown. A missing file
    // gives no records and ERROR_SUCCESS. On any other error the file counts
    // as unread: its records are read by ReadEarlier once it can be read.
    DWORD ReadAll(std::deque<LogEntry>& records);
    bool Unread() const { return unread; }
    // The records the file held before this logger first wrote to it; they
    // count as shown from now on.
    DWORD ReadEarlier(std::deque<LogEntry>& records);

    // Adds whole lines (each ended by CR LF) at the end, in one write.
    DWORD Append(const std::wstring& lines);
    // Makes `lines` the file's whole content.
    DWORD Replace(const std::wstring& lines);
    // What the file holds of what this logger showed goes at the next
    // DropCleared, which rewrites the file with the rest and `lines` after it.
    void MarkCleared() { clearedEnd = knownEnd; }
    bool ClearPending() const { return clearedEnd > 0; }
    DWORD DropCleared(const std::wstring& lines);

private:
    struct Facts {
        DWORD volume = 0;
        uint64_t id = 0;
        uint64_t size = 0;
    };
    struct Range {
        uint64_t begin;
        uint64_t end;
    };

    static bool FactsOf(HANDLE file, Facts& facts);
    void Reconcile(const Facts& facts);
    void AddForeign(uint64_t begin, uint64_t end);
    void Known(const Facts& facts, uint64_t end);
    DWORD AppendLocked(const std::wstring& lines);
    DWORD ReplaceLocked(const std::string& content, Facts& facts);

    std::wstring path;
    HANDLE mutex = nullptr;  // null when it could not be made: appends stay whole lines
    Facts known;             // identity of the file last seen; id 0 before
    uint64_t knownEnd = 0;   // bytes accounted for
    std::vector<Range> foreign;
    uint64_t clearedEnd = 0;
    bool unread = false;
};
