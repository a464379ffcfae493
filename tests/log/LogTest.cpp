#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <thread>
#include <vector>
#include "platform/LongPath.h"
#include "log/Log.h"
#include "settings/Unicodelanguage.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace {

std::string Utf16(const std::wstring& text)
{
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

wchar_t Separator()
{
    wchar_t separator[8] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
    return separator[0] ? separator[0] : L'.';
}

class LogFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::wstring base = L"\xFEFF[Log]\r\nFileWiped=Wiped with method $(WipeMethod), $(RoundCount) rounds\r\n"
                            L"ApplicationStartup=Started \"quoted\" \\ back\r\n";
        dir.WriteFile(L"LNG\\0000.LNG", Utf16(base));
        language.SelectLanguage(0x0409);
    }
    std::wstring Content(const std::wstring& path)
    {
        std::string bytes;
        ReadWholeFile(path, bytes);
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    }

    TempDir dir;
    UnicodeLanguage language{dir.Path(), L"Varnox"};
    Logger log{language};
};

TEST_F(LogFile, AddTranslatesTheKeyAndStampsTheLocalTime)
{
    double before = CurrentLogTime();
    log.Add(LogCategory::Info, L"C:\\a.txt", L"Log.FileWiped", {{L"WipeMethod", L"2"}, {L"RoundCount", L"3"}});
    log.Add(LogCategory::Error, L"", L"Log.NotInTheFile");
    ASSERT_EQ(log.Count(), 2u);
    EXPECT_EQ(log.At(0).category, LogCategory::Info);
    EXPECT_EQ(log.At(0).target, L"C:\\a.txt");
    EXPECT_EQ(log.At(0).text, L"Wiped with method 2, 3 rounds");
    EXPECT_EQ(log.At(1).text, L"Log.NotInTheFile");
    EXPECT_GE(log.At(0).time, before);
    EXPECT_LT(log.At(0).time - before, 1.0 / 24);
    // Sanity of the date itself: after 2020-01-01 (43831).
    EXPECT_GT(before, 43831.0);
}

TEST_F(LogFile, LineFormatIsExact)
{
    LogEntry entry{LogCategory::Info, 40885.604343171296, L"C:\\Temp\\a \"b\".txt", L"Wiped \"x\" \\y"};
    EXPECT_EQ(FormatLogLine(entry, L','), L"1 40885,60434317 \"C:\\\\Temp\\\\a \\\"b\\\".txt\" Wiped \"x\" \\y");
    entry.target.clear();
    EXPECT_EQ(FormatLogLine(entry, L'.'), L"1 40885.60434317 \"\" Wiped \"x\" \\y");

    std::wstring path = dir / L"Varnox.log";
    log.Add(LogCategory::Info, L"", L"Log.ApplicationStartup");
    ASSERT_EQ(log.Save(path), static_cast<DWORD>(ERROR_SUCCESS));
    std::wstring content = Content(path);
    ASSERT_GT(content.size(), 4u);
    EXPECT_EQ(content.substr(0, 2), L"1 ");  // no byte-order mark
    EXPECT_EQ(content.substr(content.size() - 2), L"\r\n");
    EXPECT_NE(content.find(Separator()), std::wstring::npos);
    EXPECT_NE(content.find(L" \"\" Started \"quoted\" \\ back\r\n"), std::wstring::npos);
}

TEST_F(LogFile, SaveAndLoadRoundTripAndSavingTwiceGivesTheSameFile)
{
    const std::wstring targets[] = {L"C:\\Temp\\a.txt", L"", L"\\\\server\\share\\\"odd\".txt\\", L"end\\"};
    for (const std::wstring& target : targets)
        log.Add(LogCategory::Error, target, L"Log.ApplicationStartup");
    std::wstring first = dir / L"first.log", second = dir / L"second.log";
    ASSERT_EQ(log.Save(first), 0u);
    ASSERT_EQ(log.Save(first), 0u);
    Logger loaded{language};
    loaded.Load(first);
    ASSERT_EQ(loaded.Count(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(loaded.At(i).target, targets[i]);
        EXPECT_EQ(loaded.At(i).text, L"Started \"quoted\" \\ back");
        EXPECT_EQ(loaded.At(i).category, LogCategory::Error);
        EXPECT_NEAR(loaded.At(i).time, log.At(i).time, 1e-8);
    }
    ASSERT_EQ(loaded.Save(second), 0u);
    EXPECT_EQ(Content(first), Content(second));
    EXPECT_EQ(log.Count(), 4u);  // saving leaves the records alone
    // No temporary file is left behind.
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((dir / L"*.tmp").c_str(), &found);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE);
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
}

TEST_F(LogFile, MalformedLinesAreSkippedAndTheRestLoads)
{
    wchar_t s = Separator();
    std::wstring t = std::wstring(L"40885") + s + L"5";
    std::wstring text = L"5 " + t + L" \"x\" category five\r\n"
                        L"-1 " + t + L" \"x\" category minus one\r\n"
                        L"x " + t + L" \"x\" no number\r\n"
                        L"nospaceatall\r\n"
                        L"1 " + t + L" target without quote\r\n"
                        L"1 " + t + L"\r\n"
                        L"\r\n"
                        L"2 soon \"C:\\\\bad time\" text\n"
                        L"0 " + t + L" \"C:\\\\open target \\\"x\rlone cr\r"
                        L"1 " + t + L" \"quote at end\"\r\n"
                        L"1 " + t + L" \"ends in backslash\\";
    std::wstring path = dir.WriteFile(L"mixed.log", Utf16(text));
    log.Load(path);
    ASSERT_EQ(log.Count(), 4u);
    EXPECT_EQ(log.At(0).category, LogCategory::Error);
    EXPECT_EQ(log.At(0).time, 0.0);
    EXPECT_EQ(log.At(0).target, L"C:\\bad time");
    EXPECT_EQ(log.At(0).text, L"text");
    EXPECT_EQ(log.At(1).category, LogCategory::Debug);
    EXPECT_NEAR(log.At(1).time, 40885.5, 1e-9);
    EXPECT_EQ(log.At(1).target, L"C:\\open target \"x");
    EXPECT_EQ(log.At(1).text, L"");
    // "lone cr" after a lone CR is a line of its own, without a category.
    EXPECT_EQ(log.At(2).target, L"quote at end");
    EXPECT_EQ(log.At(2).text, L"");
    EXPECT_EQ(log.At(3).target, L"ends in backslash");
}

TEST_F(LogFile, BadFilesNeverCrash)
{
    log.Add(LogCategory::Info, L"", L"Log.ApplicationStartup");
    log.Load(dir / L"missing.log");
    EXPECT_EQ(log.Count(), 0u);

    std::mt19937 random(11);
    std::string noise(256 * 1024 + 1, '\0');
    for (char& c : noise)
        c = static_cast<char>(random() % 7 == 0 ? ' ' : random());
    log.Load(dir.WriteFile(L"noise.log", noise));
    for (size_t i = 0; i < log.Count(); ++i)
        EXPECT_LE(static_cast<unsigned>(log.At(i).category), 2u);

    for (int i = 0; i < 3; ++i)
        log.Add(LogCategory::Info, L"C:\\x", L"Log.ApplicationStartup");
    std::wstring whole = dir / L"whole.log";
    ASSERT_EQ(log.Save(whole), 0u);
    std::string bytes;
    ReadWholeFile(whole, bytes);
    // Cut in the middle of the last record (and of a code unit).
    log.Load(dir.WriteFile(L"cut.log", bytes.substr(0, bytes.size() - 15)));
    EXPECT_GE(log.Count(), 3u);

}

TEST_F(LogFile, ALineBreakInATargetOrTextStaysInsideItsRecord)
{
    log.Add(LogCategory::Error, L"C:\\odd\r\nname", L"Log.FileWiped",
            {{L"WipeMethod", L"2\r\nthree\rfour\nfive"}, {L"RoundCount", L"1"}});
    log.Add(LogCategory::Info, L"C:\\next", L"Log.ApplicationStartup");
    const std::wstring text = L"Wiped with method 2\x00B6three\x00B6" L"four\x00B6" L"five, 1 rounds";
    EXPECT_EQ(log.At(0).text, text);  // what is shown is what is saved
    std::wstring path = dir / L"Varnox.log";
    ASSERT_EQ(log.Save(path), 0u);
    Logger loaded{language};
    ASSERT_EQ(loaded.Load(path), 0u);
    ASSERT_EQ(loaded.Count(), 2u);
    EXPECT_EQ(loaded.At(0).target, L"C:\\odd\x00B6name");
    EXPECT_EQ(loaded.At(0).text, text);
    EXPECT_EQ(loaded.At(1).target, L"C:\\next");

    // A record made some other way is still written as one line.
    EXPECT_EQ(FormatLogLine({LogCategory::Info, 1.0, L"a\nb", std::wstring(L"c\r\nd\0e", 6)}, L'.'),
              L"1 1.00000000 \"a\x00B6" L"b\" c\x00B6" L"d\xFFFD" L"e");
}

TEST_F(LogFile, OldFilesLoadUnchanged)
{
    // Whatever a file of the format holds inside a record is taken as it is.
    std::wstring text = L"2 1 \"C:\\\\dir\\\\\x00B6\" text with \\n, \\\\, \x00B6 and \"quotes\"\r\n";
    log.Load(dir.WriteFile(L"old.log", Utf16(text)));
    ASSERT_EQ(log.Count(), 1u);
    EXPECT_EQ(log.At(0).target, L"C:\\dir\\\x00B6");
    EXPECT_EQ(log.At(0).text, L"text with \\n, \\\\, \x00B6 and \"quotes\"");
}

TEST_F(LogFile, ALineHoldingANulIsSkippedAndTheRestLoads)
{
    std::wstring content = L"1 1 \"a\" one\r\n" + std::wstring(1, L'\0') + L"1 1 \"b\" two\r\n" +
                           L"1 1 \"c\" th" + std::wstring(3, L'\0') + L"ree\r\n" + L"1 1 \"d\" four\r\n" +
                           std::wstring(5000, L'\0') + L"\r\n1 1 \"e\" five";
    ASSERT_EQ(log.Load(dir.WriteFile(L"zero.log", Utf16(content))), 0u);
    ASSERT_EQ(log.Count(), 3u);
    EXPECT_EQ(log.At(0).text, L"one");
    EXPECT_EQ(log.At(1).text, L"four");
    EXPECT_EQ(log.At(2).text, L"five");
}

TEST_F(LogFile, ALogOfTwoGibibytesOrMoreLoadsWhole)
{
    // Records, then 2 GiB the file system fills with zeros, then a record.
    std::wstring path = dir.WriteFile(L"huge.log", Utf16(L"1 1 \"a\" first\r\n"));
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end;
    end.QuadPart = (1ll << 31) + 2;
    SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
    std::string tail = Utf16(L"\r\n1 1 \"b\" last\r\n");
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, tail.data(), DWORD(tail.size()), &written, nullptr));
    CloseHandle(file);

    ASSERT_EQ(log.Load(path), 0u);
    ASSERT_EQ(log.Count(), 2u);
    EXPECT_EQ(log.At(0).text, L"first");
    EXPECT_EQ(log.At(1).text, L"last");
    log.Add(LogCategory::Info, L"", L"Log.ApplicationStartup");
    ASSERT_EQ(log.Save(path), 0u);
    Logger reloaded{language};
    ASSERT_EQ(reloaded.Load(path), 0u);
    EXPECT_EQ(reloaded.Count(), 3u);
}

TEST_F(LogFile, AFailedSaveKeepsThePreviousFileAndReportsTheError)
{
    std::wstring path = dir / L"Varnox.log";
    log.Add(LogCategory::Info, L"first", L"Log.ApplicationStartup");
    ASSERT_EQ(log.Save(path), 0u);
    std::wstring before = Content(path);

    {
        // Another program holds the log open without sharing writing: it cannot be written.
        HANDLE holder = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        log.Add(LogCategory::Info, L"second", L"Log.ApplicationStartup");
        EXPECT_NE(log.Save(path), 0u);
        CloseHandle(holder);
    }
    EXPECT_EQ(Content(path), before);
    EXPECT_EQ(log.Save(dir / L"no such folder\\Varnox.log"), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((dir / L"*.tmp").c_str(), &found);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE);
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
    ASSERT_EQ(log.Save(path), 0u);
    EXPECT_NE(Content(path), before);
}

TEST_F(LogFile, LongPathsWork)
{
    std::wstring folder = dir.Path();
    while (folder.size() < MAX_PATH + 20) {
        folder += L"\\" + std::wstring(40, L'd');
        CreateDirectoryW(ExtendedPath(folder).c_str(), nullptr);
    }
    std::wstring path = folder + L"\\Varnox.log";
    log.Add(LogCategory::Info, path, L"Log.ApplicationStartup");
    ASSERT_EQ(log.Save(path), 0u);
    Logger loaded{language};
    loaded.Load(path);
    ASSERT_EQ(loaded.Count(), 1u);
    EXPECT_EQ(loaded.At(0).target, path);
    DeleteFileW(ExtendedPath(path).c_str());
    while (folder.size() > dir.Path().size()) {
        RemoveDirectoryW(ExtendedPath(folder).c_str());
        folder.resize(folder.rfind(L'\\'));
    }
}

TEST_F(LogFile, AddFromSeveralThreadsAtOnceLosesNothing)
{
    constexpr int kThreads = 8, kRecords = 2000;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this, t] {
            for (int i = 0; i < kRecords; ++i)
                log.Add(LogCategory::Info, std::to_wstring(t) + L":" + std::to_wstring(i), L"Log.FileWiped",
                        {{L"WipeMethod", std::to_wstring(t)}, {L"RoundCount", L"1"}});
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    ASSERT_EQ(log.Count(), static_cast<size_t>(kThreads * kRecords));
    std::vector<int> next(kThreads, 0);
    for (size_t i = 0; i < log.Count(); ++i) {
        const std::wstring& target = log.At(i).target;
        int t = std::stoi(target);
        EXPECT_EQ(target, std::to_wstring(t) + L":" + std::to_wstring(next[t]));  // each thread's order kept
        ++next[t];
    }
}

// Targets of the records of `log`, oldest first.
std::vector<std::wstring> TargetsOf(const Logger& log)
{
    std::vector<std::wstring> texts;
    for (size_t i = 0; i < log.Count(); ++i)
        texts.push_back(log.At(i).target);
    return texts;
}

using Targets = std::vector<std::wstring>;

TEST_F(LogFile, TheFirstSaveToAFileNotLoadedKeepsItsRecordsAheadOnce)
{
    // Logging switched on during the run: the file has a history, memory this run's records.
    std::wstring path = dir.WriteFile(L"Varnox.log", Utf16(L"1 1 \"old 1\" x\r\n1 1 \"old 2\" x\r\n"));
    log.Add(LogCategory::Info, L"new 1", L"Log.ApplicationStartup");
    ASSERT_EQ(log.Save(path), 0u);
    EXPECT_EQ(TargetsOf(log), (Targets{L"old 1", L"old 2", L"new 1"}));
    log.Add(LogCategory::Info, L"new 2", L"Log.ApplicationStartup");
    ASSERT_EQ(log.Save(dir.Path() + L"\\.\\Varnox.log"), 0u);  // the same file, spelt otherwise
    Logger loaded{language};
    ASSERT_EQ(loaded.Load(path), 0u);
    EXPECT_EQ(TargetsOf(loaded), (Targets{L"old 1", L"old 2", L"new 1", L"new 2"}));

    // Pointed at another existing log: its history comes first, ours follows.
    std::wstring other = dir.WriteFile(L"other.log", Utf16(L"1 1 \"other\" x\r\n"));
    ASSERT_EQ(loaded.Save(other), 0u);
    ASSERT_EQ(loaded.Save(other), 0u);
    Logger merged{language};
    ASSERT_EQ(merged.Load(other), 0u);
    EXPECT_EQ(TargetsOf(merged), (Targets{L"other", L"old 1", L"old 2", L"new 1", L"new 2"}));
    // Back to the first file: its records are in memory already; what it
    // lacks is added at its end.
    ASSERT_EQ(loaded.Save(path), 0u);
    ASSERT_EQ(merged.Load(path), 0u);
    EXPECT_EQ(TargetsOf(merged), (Targets{L"old 1", L"old 2", L"new 1", L"new 2", L"other"}));
}

TEST_F(LogFile, AFileThatExistsButCannotBeReadIsNeitherTakenAsEmptyNorOverwritten)
{
    std::wstring path = dir.WriteFile(L"Varnox.log", Utf16(L"1 1 \"history\" x\r\n"));
    std::string before;
    ReadWholeFile(path, before);
    HANDLE holder = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(log.Load(path), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(log.Count(), 0u);
    log.Add(LogCategory::Info, L"new", L"Log.ApplicationStartup");
    EXPECT_EQ(log.Save(path), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    CloseHandle(holder);
    std::string after;
    ReadWholeFile(path, after);
    EXPECT_EQ(after.substr(0, before.size()), before);
    EXPECT_EQ(TargetsOf(log), Targets{L"new"});
    // Once it can be read, its history is kept, a clear meanwhile or not.
    log.Clear();
    log.Add(LogCategory::Info, L"after clear", L"Log.ApplicationStartup");
    ASSERT_EQ(log.Save(path), 0u);
    EXPECT_EQ(TargetsOf(log), (Targets{L"history", L"after clear"}));
    Logger loaded{language};
    ASSERT_EQ(loaded.Load(path), 0u);
    EXPECT_EQ(TargetsOf(loaded), (Targets{L"history", L"after clear"}));
}

TEST_F(LogFile, AfterClearTheNextSaveWritesOnlyWhatIsInMemory)
{
    std::wstring path = dir.WriteFile(L"Varnox.log", Utf16(L"1 1 \"history\" x\r\n"));
    std::wstring other = dir.WriteFile(L"other.log", Utf16(L"1 1 \"other\" x\r\n"));
    for (const std::wstring& target : {path, other}) {
        Logger cleared{language};
        ASSERT_EQ(cleared.Load(path), 0u);
        cleared.Clear();
        cleared.Add(LogCategory::Info, L"after clear", L"Log.ApplicationStartup");
        ASSERT_EQ(cleared.Save(target), 0u);
        ASSERT_EQ(cleared.Save(target), 0u);
        Logger loaded{language};
        ASSERT_EQ(loaded.Load(target), 0u);
        EXPECT_EQ(TargetsOf(loaded), Targets{L"after clear"});
    }
}

TEST_F(LogFile, ClearEmptiesMemoryButNotTheFile)
{
    std::wstring path = dir / L"Varnox.log";
    log.Add(LogCategory::Info, L"", L"Log.ApplicationStartup");
    ASSERT_EQ(log.Save(path), 0u);
    log.Clear();
    EXPECT_EQ(log.Count(), 0u);
    Logger loaded{language};
    loaded.Load(path);
    EXPECT_EQ(loaded.Count(), 1u);
}

TEST_F(LogFile, TimesReadWithEitherSeparatorAndATimeNoDateHasIsUnreadable)
{
    struct Case {
        const wchar_t* field;
        wchar_t separator;  // the locale's when reading
        double time;
    };
    const Case cases[] = {{L"40885,5", L'.', 40885.5},  {L"40885.5", L',', 40885.5}, {L"40885.25", L'.', 40885.25},
                          {L"1e60", L'.', 0.0},         {L"-1e60", L',', 0.0},       {L"2958466", L'.', 0.0},
                          {L"-657435", L'.', 0.0},      {L"2958465,5", L'.', 2958465.5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.field);
        LogEntry entry;
        ASSERT_TRUE(ParseLogLine(L"1 " + std::wstring(c.field) + L" \"C:\\\\a\" text", c.separator, entry));
        EXPECT_EQ(entry.time, c.time);
        EXPECT_EQ(entry.target, L"C:\\a");
        EXPECT_EQ(entry.text, L"text");
    }
    // Such a time is written as it reads, never as whatever a buffer held.
    for (double time : {1e60, -1e60, std::nan(""), HUGE_VAL})
        EXPECT_EQ(FormatLogLine({LogCategory::Info, time, L"t", L"x"}, L','), L"1 0,00000000 \"t\" x");
}

std::vector<std::wstring> Sorted(std::vector<std::wstring> texts)
{
    std::sort(texts.begin(), texts.end());
    return texts;
}

TEST_F(LogFile, TwoLoggersOnOneFileKeepEachOthersRecordsWhoeverSavesOrClears)
{
    std::wstring path = dir.WriteFile(L"Varnox.log", Utf16(L"1 1 \"history\" x\r\n"));
    Logger first{language}, second{language};
    ASSERT_EQ(first.Load(path), 0u);
    ASSERT_EQ(second.Load(path), 0u);
    for (int i = 0; i < 3; ++i) {
        first.Add(LogCategory::Info, L"first " + std::to_wstring(i), L"Log.ApplicationStartup");
        second.Add(LogCategory::Info, L"second " + std::to_wstring(i), L"Log.ApplicationStartup");
    }
    ASSERT_EQ(first.Save(path), 0u);
    ASSERT_EQ(second.Save(path), 0u);
    Logger reader{language};
    ASSERT_EQ(reader.Load(path), 0u);
    EXPECT_EQ(Sorted(TargetsOf(reader)),
              (Targets{L"first 0", L"first 1", L"first 2", L"history", L"second 0", L"second 1", L"second 2"}));

    // The first clears its log: its save drops what it showed, not what the
    // second wrote; the second goes on adding to the file rewritten under it.
    first.Clear();
    first.Add(LogCategory::Info, L"first after clear", L"Log.ApplicationStartup");
    second.Add(LogCategory::Info, L"second 3", L"Log.ApplicationStartup");
    ASSERT_EQ(second.Save(path), 0u);
    ASSERT_EQ(first.Save(path), 0u);
    second.Add(LogCategory::Info, L"second 4", L"Log.ApplicationStartup");
    ASSERT_EQ(second.Save(path), 0u);
    ASSERT_EQ(reader.Load(path), 0u);
    EXPECT_EQ(Sorted(TargetsOf(reader)), (Targets{L"first after clear", L"second 0", L"second 1", L"second 2",
                                                  L"second 3", L"second 4"}));
}

TEST_F(LogFile, RecordsAddedAfterATornOrUnendedLastLineAreLinesOfTheirOwn)
{
    std::string unended = Utf16(L"1 1 \"old\" edited without a last line break");
    std::string torn = Utf16(L"1 1 \"old\" x\r\n1 1 \"cut\" in a code unit");
    for (const std::string& content : {unended, torn.substr(0, torn.size() - 1)}) {
        std::wstring path = dir.WriteFile(L"Varnox.log", content);
        Logger log{language};
        ASSERT_EQ(log.Load(path), 0u);
        log.Add(LogCategory::Info, L"new", L"Log.ApplicationStartup");
        ASSERT_EQ(log.Save(path), 0u);
        Logger loaded{language};
        ASSERT_EQ(loaded.Load(path), 0u);
        ASSERT_GE(loaded.Count(), 2u);
        EXPECT_EQ(loaded.At(0).target, L"old");
        EXPECT_EQ(loaded.At(loaded.Count() - 1).target, L"new");
    }
}

const wchar_t* const kChildLog = L"VARNOX_LOG_CHILD";
constexpr int kChildRecords = 400;

bool HasTarget(const std::wstring& path, const std::wstring& target)
{
    std::deque<LogEntry> records;
    ReadLogFile(path, records);
    return std::any_of(records.begin(), records.end(), [&](const LogEntry& entry) { return entry.target == target; });
}

void AddSlowly(Logger& log, const std::wstring& who)
{
    for (int i = 0; i < kChildRecords; ++i) {
        log.Add(LogCategory::Info, who + L" " + std::to_wstring(i), L"Log.ApplicationStartup");
        if (i % 10 == 0)
            Sleep(15);
    }
}

// Only as the child of the test below: adds its records while the parent
// adds its own, and ends as a crash would once they are in the file.
TEST(LogChild, AddsAndEndsWithoutASave)
{
    wchar_t path[1024];
    if (GetEnvironmentVariableW(kChildLog, path, 1024) == 0)
        GTEST_SKIP() << "run by the test of two processes";
    std::wstring folder(path, wcsrchr(path, L'\\'));
    UnicodeLanguage language{folder, L"Varnox"};
    Logger log{language};
    log.Load(path);
    AddSlowly(log, L"child");
    for (int wait = 0; wait < 300; ++wait, Sleep(100))
        if (HasTarget(path, L"child " + std::to_wstring(kChildRecords - 1)))
            TerminateProcess(GetCurrentProcess(), 3);
    TerminateProcess(GetCurrentProcess(), 4);
}

TEST_F(LogFile, TwoProcessesAddToOneFileAndOneEndedWithoutASaveLosesNothing)
{
    std::wstring path = dir.WriteFile(L"Varnox.log", Utf16(L"1 1 \"history\" x\r\n"));
    ChildResult child;
    std::thread run([&] { child = RunChildTests(L"LogChild.*", kChildLog, path); });
    ASSERT_EQ(log.Load(path), 0u);
    for (int wait = 0; wait < 300 && !HasTarget(path, L"child 0"); ++wait)
        Sleep(100);
    AddSlowly(log, L"parent");
    run.join();
    ASSERT_EQ(log.Save(path), 0u);
    EXPECT_EQ(child.exitCode, 3u) << "the child's records did not reach the file before it ended";

    // Every record once, each writer's in its order, and no line but records.
    std::deque<LogEntry> records;
    ASSERT_EQ(ReadLogFile(path, records), 0u);
    std::wstring content = Content(path);
    size_t lines = 0;
    for (size_t at = 0; (at = content.find(L"\r\n", at)) != std::wstring::npos; at += 2)
        ++lines;
    EXPECT_EQ(lines, records.size());
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.front().target, L"history");
    int next[2] = {0, 0};
    for (size_t i = 1; i < records.size(); ++i) {
        const std::wstring& target = records[i].target;
        int who = target.rfind(L"child ", 0) == 0 ? 1 : 0;
        EXPECT_EQ(target, (who ? L"child " : L"parent ") + std::to_wstring(next[who]++));
    }
    EXPECT_EQ(next[0], kChildRecords);
    EXPECT_EQ(next[1], kChildRecords);
}

}  // namespace
