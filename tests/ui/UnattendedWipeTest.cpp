// Wipes without windows. In this process through the seams: free space on
// the simulated volume (and refused on the system's I/O), a cancel as the
// Ctrl+C handler makes it, the report's one call point. The built Varnox.exe
// in child processes on files of the test prefix: what it destroys, prints,
// logs and exits with, and Ctrl+C typed in its console.
#include <algorithm>
#include <deque>
#include <thread>

#include "WipeTestSupport.h"
#include "engine/SimulatedVolume.h"
#include "platform/ExecutablePath.h"
#include "settings/Oemutils.h"
#include "settings/Unicodelanguage.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"
#include "ui/MainWindowHarness.h"
#include "ui/UnattendedWipe.h"
#include "ui/Utils.h"

namespace {

class Lines : public LineOutput {
public:
    void WriteLine(const std::wstring& line) override { lines.push_back(line); }
    std::vector<std::wstring> lines;
};

bool HasLine(const std::vector<std::wstring>& lines, const std::wstring& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::wstring Text(const std::wstring& key, const TextVariables& variables = {})
{
    return Language().GetText(key, variables);
}

int ErrorRecords(const Logger& log)
{
    int count = 0;
    for (size_t index = 0; index < log.Count(); ++index)
        count += log.At(index).category == LogCategory::Error ? 1 : 0;
    return count;
}

int Records(const Logger& log, const std::wstring& key, const TextVariables& variables = {})
{
    int count = 0;
    for (size_t index = 0; index < log.Count(); ++index)
        count += log.At(index).text == Text(key, variables) ? 1 : 0;
    return count;
}

// A run in this process with settings and a log of its own.
struct OwnRun {
    OwnRun()
    {
        brand.AddGroup("Settings")->AddValue("ConfigStorageType")->SetInt(StoreAppDataIni);
        reports.documents = folder.Path();
    }
    // The usual report's page, written to the run's Documents.
    std::string ReportPage()
    {
        WIN32_FIND_DATAW entry;
        HANDLE find = FindFirstFileW((folder / L"Varnox reports\\*.html").c_str(), &entry);
        std::string page;
        if (find != INVALID_HANDLE_VALUE && FindClose(find))
            ReadWholeFile(folder / (L"Varnox reports\\" + std::wstring(entry.cFileName)), page);
        return page;
    }
    int Wipe(const std::vector<std::wstring>& arguments, WipeIo& io,
             std::function<DWORD(const UnattendedOutcome&, const std::wstring&)> report = {},
             std::function<void(UnattendedWipe&)> meanwhile = {})
    {
        UnattendedSetup setup;
        setup.output = &output;
        setup.config = &config;
        setup.log = &log;
        setup.io = &io;
        setup.reportSystem = &reports;
        setup.writeReport = std::move(report);
        UnattendedWipe wipe(ParseCommandLine(arguments), setup);
        std::thread other(meanwhile ? [&] { meanwhile(wipe); } : std::function<void()>([] {}));
        int code = wipe.Run();
        other.join();
        return code;
    }
    TempDir folder;
    COEMConfig brand;
    VxUserConfig config{brand, folder.Path()};
    AnsweredReportSystem reports;
    Logger log{Language()};
    Lines output;
};

const TextVariables kZeros = {{L"WipeMethod", L"2"}, {L"RoundCount", L"1"}};

}  // namespace

TEST(UnattendedWipe, FreeSpaceIsWipedOnTheSimulatedVolumeAndNeverOnTheSystemsWhileUnattended)
{
    SimulatedVolume volume{L"V:\\", 512, 8, 2048};
    volume.Fragment(7, 8, 8);
    for (WipeIo* io : {static_cast<WipeIo*>(&volume), &SystemWipeIo()}) {
        const bool simulated = io == &volume;
        SCOPED_TRACE(simulated ? "simulated volume" : "system's I/O");
        OwnRun run;
        EXPECT_EQ(run.Wipe({L"/freespace", L"v:", L"/yes", L"/method", L"2"}, *io),
                  simulated ? kExitDestroyed : kExitNotAllDestroyed);
        EXPECT_EQ(Records(run.log, L"Log.FreeSpaceWiped", kZeros), simulated ? 1 : 0);
        // The refusal is the one error.
        EXPECT_EQ(ErrorRecords(run.log), simulated ? 0 : 1);
        EXPECT_EQ(HasLine(run.output.lines, Text(L"CommandLine.ResultDestroyed", {{L"ExitCode", L"0"}})), simulated);
        // Every job leaves its report, the one refused too; the simulated volume's device named.
        std::string page = run.ReportPage();
        EXPECT_NE(page.find(simulated ? "ACME Disk 2000" : "The wipe could not be started"), std::string::npos);
    }
    EXPECT_FALSE(volume.TempFileSizes().empty());
    EXPECT_EQ(volume.OpenHandles(), 0);
}

TEST(UnattendedWipe, CancelStopsTheJobAsTheCancelButtonDoesAndKeepsWhatIsUnfinished)
{
    TempDir data;
    std::wstring first = data.WriteFile(L"first.bin", std::string(256 * 1024, 'f'));
    std::wstring second = data.WriteFile(L"second.bin", std::string(4096, 's'));
    HeldIo io;
    io.held = true;
    OwnRun run;
    int code = run.Wipe({L"/wipe", first, second, L"/yes"}, io, {}, [&](UnattendedWipe& wipe) {
        while (io.writesStarted.load() == 0)
            Sleep(2);
        wipe.Cancel();  // what Ctrl+C and Ctrl+Break do
        io.held = false;
    });
    EXPECT_EQ(code, kExitCancelled);
    EXPECT_TRUE(FileExists(first));
    EXPECT_TRUE(FileExists(second));
    EXPECT_EQ(Records(run.log, L"Log.FileWiped", kZeros), 0);
    EXPECT_TRUE(HasLine(run.output.lines, Text(L"CommandLine.ResultCancelled", {{L"ExitCode", L"3"}})));
}

TEST(UnattendedWipe, TheReportIsWrittenAtItsOneCallPointOrTheRunRefusesBeforeTouchingAnything)
{
    struct Case {
        bool writer;
        DWORD writerResult;
        int exitCode;
        const wchar_t* line;
    };
    for (Case c : {Case{false, 0, kExitUsageError, L"CommandLine.ReportUnavailable"},
                   Case{true, ERROR_SUCCESS, kExitDestroyed, L"CommandLine.ResultDestroyed"},
                   Case{true, ERROR_ACCESS_DENIED, kExitNotAllDestroyed, L"CommandLine.ResultNotAllDestroyed"}}) {
        SCOPED_TRACE(c.line);
        TempDir data;
        std::wstring file = data.WriteFile(L"a.txt", "secret");
        OwnRun run;
        int calls = 0;
        auto writer = [&](const UnattendedOutcome& outcome, const std::wstring& path) {
            ++calls;
            EXPECT_EQ(path, data / L"report.txt");
            EXPECT_EQ(outcome.exitCode, kExitDestroyed);
            EXPECT_EQ(outcome.targets->Count(), 1);
            return c.writerResult;
        };
        EXPECT_EQ(run.Wipe({L"/wipe", file, L"/yes", L"/report", data / L"report.txt"}, SystemWipeIo(),
                           c.writer ? writer : std::function<DWORD(const UnattendedOutcome&, const std::wstring&)>()),
                  c.exitCode);
        EXPECT_EQ(calls, c.writer ? 1 : 0);
        EXPECT_EQ(FileExists(file), !c.writer);
        std::wstring last = run.output.lines.empty() ? L"" : run.output.lines.back();
        EXPECT_EQ(last, Text(c.line, {{L"ExitCode", std::to_wstring(c.exitCode)}}));
    }
}

namespace {

constexpr const wchar_t* kSettingsKey = L"Software\\VarnoxTest\\CommandLine";

// The built Varnox.exe in a folder of its own with the shipped language
// files, and a brand whose settings lie in a registry key of the test's:
// logging on, to a file in that folder.
class ProgramFolder {
public:
    ProgramFolder()
    {
        const std::wstring built = ExecutableFolder();
        CopyFileW((built + L"\\Varnox.exe").c_str(), (dir / L"Varnox.exe").c_str(), FALSE);
        CreateDirectoryW((dir / L"LNG").c_str(), nullptr);
        for (const wchar_t* file : {L"0000.LNG", L"0007.LNG"})
            CopyFileW((built + L"\\LNG\\" + file).c_str(), (dir / L"LNG\\" + file).c_str(), FALSE);
        MakeTestBrand(brand);
        brand.FindValue("Settings/ConfigStorageType")->SetInt(StoreRegistry);
        brand.Groups().at("Settings")->AddValue("ConfigRegistryKey")->SetString("Software\\VarnoxTest\\CommandLine");
        SaveOEMFile(dir / L"KESTO.OEM", brand);
        VxUserConfig config(brand);
        config.WriteInt(L"Config", L"Logging", 1);
        config.WriteString(L"Config", L"LogFile", LogFile());
        config.WriteString(L"Config", L"ReportFolder", dir / L"reports");
    }
    ~ProgramFolder() { RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey); }

    std::wstring LogFile() const { return dir / L"test.log"; }
    // Runs Varnox.exe with `arguments` in `folder`; its output lines in `lines`.
    ChildResult Run(const std::wstring& arguments, const std::wstring& folder, std::vector<std::wstring>& lines)
    {
        ChildResult result = ProgramRun(L"\"" + (dir / L"Varnox.exe") + L"\" " + arguments, folder, dir / L"out.txt")
                                 .Wait(120000);
        lines = OutputLines(dir / L"out.txt");
        return result;
    }
    static std::vector<std::wstring> OutputLines(const std::wstring& path)
    {
        std::string bytes;
        ReadWholeFile(path, bytes);
        std::wstring text(bytes.size(), L'\0');
        text.resize(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                                        static_cast<int>(text.size())));
        std::vector<std::wstring> lines;
        for (size_t start = 0, end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }

    TempDir dir;
    COEMConfig brand;
};

}  // namespace

TEST(UnattendedProgram, WipesWhatItIsToldPrintsItsWorkLogsItAndSaysWhatWentWrongInItsExitCode)
{
    ProgramFolder program;
    TempDir data;
    std::wstring spaced = data.WriteFile(L"with space\\a b.txt", std::string(5000, 'a'));
    std::wstring inner = data.WriteFile(L"with space\\sub\\c.txt", "c");
    std::wstring relative = data.WriteFile(L"rel.txt", "r");
    std::vector<std::wstring> lines;

    // Relative paths are taken from the current folder.
    ChildResult result = program.Run(
        L"/wipe \"" + (data / L"with space") + L"\" rel.txt /yes /method 3 /report copy.csv", data.Path(), lines);
    ASSERT_TRUE(result.ended);
    EXPECT_EQ(result.exitCode, 0u);
    for (const std::wstring& path : {spaced, inner, relative})
        EXPECT_FALSE(FileExists(path));
    EXPECT_FALSE(DirectoryExists(data / L"with space"));
    EXPECT_TRUE(HasLine(lines, Text(L"CommandLine.Found", {{L"FileCount", L"3"}, {L"DirCount", L"2"},
                                                           {L"FileSizeK", FormatSizeKB(5002)}})));
    for (const std::wstring& path : {spaced, inner, relative, data / L"with space\\sub", data / L"with space"})
        EXPECT_TRUE(HasLine(lines, Text(L"CommandLine.Destroyed", {{L"TargetName", path}})));
    EXPECT_EQ(lines.back(), Text(L"CommandLine.ResultDestroyed", {{L"ExitCode", L"0"}}));
    std::deque<LogEntry> records;
    ASSERT_EQ(ReadLogFile(program.LogFile(), records), static_cast<DWORD>(ERROR_SUCCESS));
    auto logged = [&](const std::wstring& key, const TextVariables& variables = {}) {
        return std::count_if(records.begin(), records.end(), [&](const LogEntry& e) { return e.text == Text(key, variables); });
    };
    const TextVariables random = {{L"WipeMethod", L"3"}, {L"RoundCount", L"1"}};
    EXPECT_EQ(logged(L"Log.FileWiped", random), 3);
    EXPECT_EQ(logged(L"Log.DirDeleted"), 2);
    EXPECT_EQ(logged(L"Log.ApplicationStartup") + logged(L"Log.ApplicationShutdown"), 2);
    // The report as asked (a CSV file by its name) and the usual one in the options' folder.
    std::string table;
    ASSERT_TRUE(ReadWholeFile(data / L"copy.csv", table));
    EXPECT_EQ(table.substr(0, 3), "\xEF\xBB\xBF");
    for (const std::wstring& path : {spaced, inner, relative})
        EXPECT_NE(table.find(std::string(path.begin(), path.end()) + ","), std::string::npos);
    WIN32_FIND_DATAW entry;
    HANDLE page = FindFirstFileW((program.dir / L"reports\\*.html").c_str(), &entry);
    EXPECT_NE(page, INVALID_HANDLE_VALUE);
    FindClose(page);

    // A file held open by another program is not destroyed: exit code 1, as
    // for a path that is not there.
    std::wstring held = data.WriteFile(L"held.txt", "held"), free = data.WriteFile(L"free.txt", "free");
    HANDLE open = CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    result = program.Run(L"/wipe held.txt free.txt gone.txt /yes", data.Path(), lines);
    CloseHandle(open);
    EXPECT_EQ(result.exitCode, 1u);
    std::string content;
    EXPECT_TRUE(ReadWholeFile(held, content) && content == "held");
    EXPECT_FALSE(FileExists(free));
    EXPECT_TRUE(HasLine(lines, Text(L"CommandLine.NotFound", {{L"Path", data / L"gone.txt"}})));
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::wstring& line) {
        return line.rfind(Text(L"CommandLine.ErrorAbout", {{L"Target", held}, {L"Message", L""}}), 0) == 0;
    }));

    // A command line that cannot be understood: exit code 2, the reason and the usage.
    result = program.Run(L"/wipe free.txt /yes /method 14", data.Path(), lines);
    EXPECT_EQ(result.exitCode, 2u);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), Text(L"CommandLine.BadMethod", {{L"Argument", L"14"}}));
}

// Ctrl+C reaches Varnox through the console it shares with the program that
// started it. The test executable has no console of its own under ctest, so a
// child of it makes one, starts Varnox there and types Ctrl+C once the wipe
// runs; it ends with Varnox's exit code.
TEST(UnattendedProgram, CtrlCInItsConsoleCancelsTheWipeAndKeepsTheUnfinishedFile)
{
    wchar_t folder[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"VARNOX_CTRLC_FOLDER", folder, MAX_PATH) > 0) {
        FreeConsole();
        AllocConsole();
        const std::wstring dir = folder;
        ProgramRun run(L"\"" + dir + L"\\Varnox.exe\" /wipe big.bin /yes /method 13 /rounds 10", dir, dir + L"\\out.txt");
        // Only now: a child inherits the choice to ignore Ctrl+C.
        SetConsoleCtrlHandler(nullptr, TRUE);
        for (int wait = 0; wait < 600 && ProgramFolder::OutputLines(dir + L"\\out.txt").size() < 3; ++wait)
            Sleep(100);
        GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
        ExitProcess(run.Wait(120000).exitCode);
    }
    ProgramFolder program;
    std::wstring big = program.dir.WriteFile(L"big.bin", std::string(16 << 20, 'b'));
    ChildResult child = RunChildTests(L"UnattendedProgram.CtrlC*", L"VARNOX_CTRLC_FOLDER", program.dir.Path(), 180000);
    EXPECT_EQ(child.exitCode, static_cast<DWORD>(kExitCancelled));
    EXPECT_TRUE(FileExists(big));
    std::vector<std::wstring> lines = ProgramFolder::OutputLines(program.dir / L"out.txt");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), Text(L"CommandLine.ResultCancelled", {{L"ExitCode", L"3"}}));
}
