#pragma once
// The application log: records in memory, added from any thread, kept in a
// UTF-16LE text file (no byte-order mark, CR LF, one record per line):
//   <category> <OLE date, 8 decimals, locale separator> "<target, \ and " escaped>" <text>
#include <windows.h>
#include <cstdint>
#include <deque>
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

class Logger {
public:
    // Texts come from the process-wide language manager.
    Logger() = default;
    // Texts come from `language`, which must outlive the logger.
    explicit Logger(UnicodeLanguage& language) : language(&language) {}
    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

    // Any thread. The text of `key` is looked up before the lock is taken.
    // Line breaks in the target or the text become a pilcrow: a record is one line of the file.
    void Add(LogCategory category, const std::wstring& target, const std::wstring& key,
             const TextVariables& variables = {});

    // Replaces the records by those of the file; lines that do not follow the
    // format are skipped. A missing file gives an empty log and ERROR_SUCCESS;
    // a file that exists but cannot be read gives an empty log and its error.
    DWORD Load(const std::wstring& path);
    // Writes every record to a temporary file beside `path` and then replaces
    // `path` with it, so a failed save leaves the previous file as it was.
    // Before the first save to a file whose records are not in memory (the
    // log was not loaded from it), that file is read as Load reads it and its
    // records are kept ahead of those in memory, once. If it exists but cannot
    // be read, nothing is written and its error is returned. After Clear the
    // next save writes only what is in memory: the user emptied the log.
    // Returns ERROR_SUCCESS or the Win32 error that stopped it.
    [[nodiscard]] DWORD Save(const std::wstring& path);
    void Clear();

    // Oldest first. Read on the user-interface thread while no scan runs.
    size_t Count() const { return entries.size(); }
    const LogEntry& At(size_t index) const { return entries[index]; }

private:
    // A file whose records are in memory: read from it, or kept from it when
    // saving. Its identity on its volume recognises another spelling of its path.
    struct KnownFile {
        std::wstring path;
        DWORD volume = 0;
        uint64_t id = 0;  // 0: unknown
    };
    std::vector<KnownFile>::iterator Find(const std::wstring& path);
    void Own(const std::wstring& path);

    UnicodeLanguage* language = nullptr;
    mutable Mutex lock;
    std::deque<LogEntry> entries;
    std::vector<KnownFile> ownFiles;
    bool cleared = false;
};

// Reads the records of a log file, skipping lines that do not follow the
// format (a line holding a NUL among them). ERROR_SUCCESS, or the error that
// kept the file from being opened or read; `records` then holds what was read.
DWORD ReadLogFile(const std::wstring& path, std::deque<LogEntry>& records);

// The local time now as an OLE Automation date.
double CurrentLogTime();
// One record as a line of the log file (without CR LF), and back. The decimal
// separator is the user's locale's. A line break or NUL in the target or the
// text is written as a pilcrow or a replacement character, so a record never
// spans two lines; every reader of the format reads it back as it is.
std::wstring FormatLogLine(const LogEntry& entry, wchar_t decimalSeparator);
bool ParseLogLine(const std::wstring& line, wchar_t decimalSeparator, LogEntry& entry);

// The process-wide log, made on first use.
Logger& AppLog();
