#pragma once
// The application log: records in memory, added from any thread, kept in a
// UTF-16LE text file (no byte-order mark, CR LF, one record per line):
//   <category> <OLE date, 8 decimals, locale separator> "<target, \ and " escaped>" <text>
#include <windows.h>
#include <cstdint>
#include <deque>
#include <string>
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
    void Add(LogCategory category, const std::wstring& target, const std::wstring& key,
             const TextVariables& variables = {});

    // Replaces the records by those of the file; a missing or unreadable file
    // gives an empty log, lines that do not follow the format are skipped.
    void Load(const std::wstring& path);
    // Writes every record to a temporary file beside `path` and then replaces
    // `path` with it, so a failed save leaves the previous file as it was.
    // Returns ERROR_SUCCESS or the Win32 error that stopped it.
    [[nodiscard]] DWORD Save(const std::wstring& path) const;
    void Clear();

    // Oldest first. Read on the user-interface thread while no scan runs.
    size_t Count() const { return entries.size(); }
    const LogEntry& At(size_t index) const { return entries[index]; }

private:
    UnicodeLanguage* language = nullptr;
    mutable Mutex lock;
    std::deque<LogEntry> entries;
};

// The local time now as an OLE Automation date.
double CurrentLogTime();
// One record as a line of the log file (without CR LF), and back. The decimal
// separator is the user's locale's.
std::wstring FormatLogLine(const LogEntry& entry, wchar_t decimalSeparator);
bool ParseLogLine(const std::wstring& line, wchar_t decimalSeparator, LogEntry& entry);

// The process-wide log, made on first use.
Logger& AppLog();
