#pragma once
// What the logger and its file share about the line format (not used outside the log).
#include <windows.h>
#include <cstdint>
#include <deque>
#include <string>
#include "log/Log.h"

// The user's locale's decimal separator, with which times are written.
wchar_t LocaleDecimalSeparator();

// Reads the records of bytes `begin` to `end` (or the end of the file) of an
// open log file; `read` tells how many bytes were read. A BOM is skipped only
// at the start of the file; a last line without a line break counts.
DWORD ReadLogRecords(HANDLE file, uint64_t begin, uint64_t end, std::deque<LogEntry>& records, uint64_t& read);

// `text` as one line: line breaks as a pilcrow, NULs as a replacement character.
std::wstring OneLineText(const std::wstring& text);
