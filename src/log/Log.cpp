#include "log/Log.h"

#include <algorithm>
#include <iterator>
#include "log/LogRead.h"
#include "log/SharedLogFile.h"
#include "settings/Unicodelanguage.h"

namespace {

// A file that cannot be written now is tried again this much later.
constexpr DWORD kRetryMs = 1000;

}  // namespace

Logger::Logger() = default;

Logger::Logger(UnicodeLanguage& language) : language(&language) {}

Logger::~Logger()
{
    StopWriter();
    MutexHolder files(fileLock);
    WritePending();
}

LogEntry Logger::Add(LogCategory category, const std::wstring& target, const std::wstring& key,
                     const TextVariables& variables)
{
    LogEntry entry{category, CurrentLogTime(), OneLineText(target),
                   OneLineText((language ? *language : Language()).GetText(key, variables))};
    MutexHolder hold(lock);
    entries.push_back(entry);
    // One wake-up for a burst: the writer takes all there is when it runs.
    if (writing && !wakePending) {
        wakePending = true;
        SetEvent(wake);
    }
    return entry;
}

void Logger::StartWriter()
{
    if (writer != nullptr)
        return;
    if (wake == nullptr)
        wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (stop == nullptr)
        stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // Without the thread, records reach the file at the next save.
    if (wake != nullptr && stop != nullptr)
        writer = CreateThread(nullptr, 0, WriterThread, this, 0, nullptr);
}

void Logger::StopWriter()
{
    if (writer != nullptr) {
        SetEvent(stop);
        WaitForSingleObject(writer, INFINITE);
        CloseHandle(writer);
        writer = nullptr;
    }
    for (HANDLE* event : {&wake, &stop}) {
        if (*event != nullptr)
            CloseHandle(*event);
        *event = nullptr;
    }
}

DWORD WINAPI Logger::WriterThread(void* parameter)
{
    Logger& log = *static_cast<Logger*>(parameter);
    HANDLE events[] = {log.stop, log.wake};
    while (WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        // What comes in a burst (a job deleting many files) goes in one write.
        if (WaitForSingleObject(log.stop, kWriteDelayMs) == WAIT_OBJECT_0)
            break;
        for (;;) {
            DWORD error;
            {
                MutexHolder files(log.fileLock);
                error = log.WritePending();
            }
            if (error == ERROR_SUCCESS || WaitForSingleObject(log.stop, kRetryMs) == WAIT_OBJECT_0)
                break;
        }
    }
    // The owner writes what is left once the thread has ended.
    return 0;
}

std::wstring Logger::Lines(size_t begin, size_t end) const
{
    // Adding moves no record that is there already, so they are formatted
    // outside the lock; only the lookups race with Add.
    std::vector<const LogEntry*> batch;
    {
        MutexHolder hold(lock);
        end = std::min(end, entries.size());
        for (size_t i = begin; i < end; ++i)
            batch.push_back(&entries[i]);
    }
    wchar_t separator = LocaleDecimalSeparator();
    std::wstring lines;
    for (const LogEntry* entry : batch) {
        lines += FormatLogLine(*entry, separator);
        lines += L"\r\n";
    }
    return lines;
}

size_t Logger::EntryCount() const
{
    MutexHolder hold(lock);
    return entries.size();
}

DWORD Logger::WritePending()
{
    size_t end = 0;
    {
        MutexHolder hold(lock);
        wakePending = false;
        end = entries.size();
    }
    if (!file || written >= end)
        return ERROR_SUCCESS;
    DWORD error = file->Append(Lines(written, end));
    if (error == ERROR_SUCCESS)
        written = end;
    return error;
}

void Logger::SetFile(std::unique_ptr<SharedLogFile> newFile, size_t heldCount)
{
    file = std::move(newFile);
    written = heldCount;
    if (file)
        StartWriter();
    MutexHolder hold(lock);
    writing = file != nullptr && writer != nullptr;
    wakePending = writing && written < entries.size();
    if (wakePending)
        SetEvent(wake);
}

// Records of a file that come ahead of those in memory.
void Logger::Prepend(std::deque<LogEntry>& records)
{
    size_t count = records.size();
    {
        MutexHolder hold(lock);
        entries.insert(entries.begin(), std::make_move_iterator(records.begin()), std::make_move_iterator(records.end()));
    }
    if (file)
        written += count;
    for (KnownFile& known : knownFiles)
        known.heldBegin += count;
}

DWORD Logger::TakeEarlierRecords(SharedLogFile& from)
{
    std::deque<LogEntry> earlier;
    DWORD error = from.ReadEarlier(earlier);
    if (error == ERROR_SUCCESS)
        Prepend(earlier);
    return error;
}

DWORD Logger::Load(const std::wstring& path)
{
    MutexHolder files(fileLock);
    // Records not in the file being left yet go there before memory is replaced.
    WritePending();
    auto loadedFrom = std::make_unique<SharedLogFile>(path);
    std::deque<LogEntry> loaded;
    DWORD error = loadedFrom->ReadAll(loaded);
    if (error != ERROR_SUCCESS)
        loaded.clear();
    {
        MutexHolder hold(lock);
        entries.swap(loaded);
    }
    knownFiles.clear();
    cleared = false;
    SetFile(std::move(loadedFrom), EntryCount());
    return error;
}

DWORD Logger::Save(const std::wstring& path)
{
    MutexHolder files(fileLock);
    if (!file || !file->IsNamedBy(path))
        return MoveTo(path);
    DWORD error = ERROR_SUCCESS;
    if (file->ClearPending()) {
        size_t end = EntryCount();
        error = file->DropCleared(Lines(written, end));
        if (error == ERROR_SUCCESS)
            written = end;
    } else {
        error = WritePending();
    }
    // Records the file held before the log could read it were not cleared:
    // they are taken after the rewrite, which keeps them.
    if (error == ERROR_SUCCESS && file->Unread())
        error = TakeEarlierRecords(*file);
    if (error == ERROR_SUCCESS)
        cleared = false;
    return error;
}

DWORD Logger::MoveTo(const std::wstring& path)
{
    // The file being left gets what it lacks first: it stays a whole record
    // of the time it was the log.
    WritePending();
    auto known = std::find_if(knownFiles.begin(), knownFiles.end(),
                              [&](const KnownFile& candidate) { return candidate.file->IsNamedBy(path); });
    KnownFile target;
    bool wasKnown = known != knownFiles.end();
    if (wasKnown) {
        target = std::move(*known);
        knownFiles.erase(known);
        // Deleted or replaced since: it holds nothing of ours any more.
        wasKnown = target.file->StillAsLeft();
    }
    if (!wasKnown)
        target = KnownFile{std::make_unique<SharedLogFile>(path)};
    std::deque<LogEntry> earlier;
    size_t end = EntryCount();
    DWORD error = ERROR_SUCCESS;
    if (cleared) {
        error = target.file->Replace(Lines(0, end));
    } else if (wasKnown) {
        error = target.file->Append(Lines(0, target.heldBegin) + Lines(target.heldBegin + target.heldCount, end));
    } else {
        error = target.file->ReadAll(earlier);
        if (error == ERROR_SUCCESS)
            error = target.file->Append(Lines(0, end));
    }
    if (error != ERROR_SUCCESS) {
        if (wasKnown)
            knownFiles.push_back(std::move(target));
        return error;
    }
    // A file whose records were never read is not kept: going back to it
    // reads them as another file's.
    if (file && !file->Unread())
        knownFiles.push_back({std::move(file), 0, written});
    file.reset();
    Prepend(earlier);
    SetFile(std::move(target.file), earlier.size() + end);
    cleared = false;
    return ERROR_SUCCESS;
}

void Logger::StopWriting()
{
    MutexHolder files(fileLock);
    if (!file)
        return;
    WritePending();
    if (!file->Unread())
        knownFiles.push_back({std::move(file), 0, written});
    SetFile(nullptr, 0);
}

void Logger::Clear()
{
    MutexHolder files(fileLock);
    // The file keeps what the log held until the next save, all of it.
    WritePending();
    {
        MutexHolder hold(lock);
        entries.clear();
    }
    written = 0;
    for (KnownFile& known : knownFiles)
        known.heldBegin = known.heldCount = 0;
    if (file)
        file->MarkCleared();
    cleared = true;
}

Logger& AppLog()
{
    static Logger log;
    return log;
}
