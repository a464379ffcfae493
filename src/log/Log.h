#pragma once
// The application log: records in memory, added from any thread, kept in a
// UTF-16LE text file (no byte-order mark, CR LF, one record per line):
//   <category> <OLE date, 8 decimals, locale separator> "<target, \ and " escaped>" <text>
// Records are appended to the file as they come; the file may be shared with
// other copies of the program, whose records it keeps.
#include <windows.h>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>
#include "platform/Mutex.h"
#include "platform/TextVariables.h"

class UnicodeLanguage;

enum class LogCategory : uint8_t { Debug = 0, Info = 1, Error = 2 };

struct LogEntry {
    LogCategory category = LogCategory::Info;
    double time = 0.0;  // days since 1899-12-30 00:00 local time
    std::wstring target;
    std::wstring text;  // translated when the record was added
};

class SharedLogFile;

class Logger {
public:
    // Texts come from the process-wide language manager.
    Logger();
    // Texts come from `language`, which must outlive the logger.
    explicit Logger(UnicodeLanguage& language);
    // What is not in the log file yet is written first.
    ~Logger();
    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

    // Any thread. The text of `key` is looked up before the lock is taken.
    // Line breaks in the target or the text become a pilcrow: a record is one
    // line of the file. While the log has a file (after Load or Save), the
    // record is appended to it soon after (kWriteDelayMs, batched), by a
    // thread of the logger's own: a crash, a second copy or the end of the
    // session loses no record that is older than that.
    // Returns the record as it was added (a job's report quotes it).
    LogEntry Add(LogCategory category, const std::wstring& target, const std::wstring& key,
                 const TextVariables& variables = {});

    // Replaces the records by those of the file; lines that do not follow the
    // format are skipped. From now on records go to this file. A missing file
    // gives an empty log and ERROR_SUCCESS; a file that exists but cannot be
    // read gives an empty log and its error (its records come ahead of ours at
    // the first save that can read them).
    DWORD Load(const std::wstring& path);
    // Makes `path` the log file and writes to it whatever of the log it lacks;
    // records are only ever added to a file, never taken out, so nothing that
    // another copy of the program (or another logger) wrote to it is lost.
    // - The log's file: the records not written yet are added.
    // - A file the log had before: the records added since are added.
    // - Another file: its records (if it cannot be read: nothing is written,
    //   its error is returned) come ahead of ours in memory, and ours follow
    //   them in the file.
    // After Clear the next save writes only what is in memory: to the log's
    // file, by rewriting it without the records the user cleared (those
    // written by others meanwhile stay); to another file, by replacing it.
    // Returns ERROR_SUCCESS or the Win32 error that stopped it; on an error
    // the records stay where they were and are written again later.
    [[nodiscard]] DWORD Save(const std::wstring& path);
    // Logging switched off: what is pending goes to the file, then records
    // stay in memory only, until the next Load or Save.
    void StopWriting();
    void Clear();

    // Oldest first. Read on the user-interface thread while no scan runs.
    size_t Count() const { return entries.size(); }
    const LogEntry& At(size_t index) const { return entries[index]; }

    // The longest a record waits to be written after it was added, unless
    // the file cannot be written then (it is tried again every second).
    static constexpr DWORD kWriteDelayMs = 250;

private:
    // A file the log wrote to before, and which of the records in memory it
    // holds: `heldCount` of them from `heldBegin` on.
    struct KnownFile {
        std::unique_ptr<SharedLogFile> file;
        size_t heldBegin = 0;
        size_t heldCount = 0;
    };

    static DWORD WINAPI WriterThread(void* logger);
    void StartWriter();
    void StopWriter();
    void SetFile(std::unique_ptr<SharedLogFile> newFile, size_t heldCount);
    DWORD WritePending();
    DWORD TakeEarlierRecords(SharedLogFile& from);
    void Prepend(std::deque<LogEntry>& records);
    std::wstring Lines(size_t begin, size_t end) const;
    size_t EntryCount() const;
    DWORD MoveTo(const std::wstring& path);

    UnicodeLanguage* language = nullptr;
    // Guards the entries against Add on other threads, and what the writer
    // thread is told.
    mutable Mutex lock;
    std::deque<LogEntry> entries;
    bool writing = false;      // under `lock`: records go to `file`
    bool wakePending = false;  // under `lock`: the writer was woken for records not written yet
    // Held by everything that touches the files or changes the entries
    // otherwise than by adding (Load, Save, Clear, the writer thread).
    Mutex fileLock;
    std::unique_ptr<SharedLogFile> file;  // where records go; null: nowhere
    size_t written = 0;                   // entries[0, written) are in `file`
    std::vector<KnownFile> knownFiles;
    bool cleared = false;
    HANDLE writer = nullptr;
    HANDLE wake = nullptr;
    HANDLE stop = nullptr;
};

// Reads the records of a log file, skipping lines that do not follow the
// format (a line holding a NUL among them). ERROR_SUCCESS, or the error that
// kept the file from being opened or read; `records` then holds what was read.
DWORD ReadLogFile(const std::wstring& path, std::deque<LogEntry>& records);

// The local time now as an OLE Automation date.
double CurrentLogTime();
// One record as a line of the log file (without CR LF), and back. Times are
// written with `decimalSeparator` (the user's locale's) and read with it, a
// point or a comma, so a change of the regional settings loses no time. A
// time no date can have (beyond the years 100 to 9999) is unreadable: it
// reads, and is written, as 0. A line break or NUL in the target or the text
// is written as a pilcrow or a replacement character, so a record never spans
// two lines; every reader of the format reads it back as it is.
std::wstring FormatLogLine(const LogEntry& entry, wchar_t decimalSeparator);
bool ParseLogLine(const std::wstring& line, wchar_t decimalSeparator, LogEntry& entry);

// The process-wide log, made on first use.
Logger& AppLog();
