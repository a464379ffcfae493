// Every job leaves a report made from its own targets and records: a file job
// with a destroyed, a failed, an interrupted and two unreached items checked
// against the log record by record, the volume of a drive and a free-space
// job, a copy saved through the dialog, and a report that cannot be written.
#include "WipeTestSupport.h"
#include "engine/SimulatedVolume.h"
#include "platform/SystemError.h"
#include "report/ReportFiles.h"
#include "settings/Unicodelanguage.h"
#include "support/TempDir.h"
#include "ui/DriveWipeWindow.h"
#include "ui/FileWipeWindow.h"
#include "ui/Forms.h"
#include "ui/FreeSpaceWipeWindow.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/Components.h"
#include "ui/toolkit/TestDriver.h"

using tk::Application;

namespace {

constexpr DWORD kWait = 60000;

// The report files in the default report folder of `reports`, with `extension`.
std::vector<std::wstring> ReportFiles(const AnsweredReportSystem& reports, const wchar_t* extension)
{
    std::wstring folder = reports.documents + L"\\Varnox reports\\";
    std::vector<std::wstring> found;
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"*." + extension).c_str(), &entry);
    for (bool more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &entry))
        found.push_back(folder + entry.cFileName);
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
    return found;
}

// The texts of the log's records about `target`, in order.
std::vector<std::wstring> LogTexts(const std::wstring& target)
{
    std::vector<std::wstring> texts;
    for (size_t index = 0; index < AppLog().Count(); ++index)
        if (AppLog().At(index).target == target)
            texts.push_back(AppLog().At(index).text);
    return texts;
}

class JobReportTest : public WipeWindowTest {
protected:
    void SetUp() override
    {
        WipeWindowTest::SetUp();
        Forms().FileWipe = &files;
        AnswerReports(files);
    }
    // One showing of the file window over `selection`: Start confirmed, `inside` while the job runs or after it.
    void RunFiles(const std::vector<std::wstring>& selection, std::function<void()> inside)
    {
        files.Selection = selection;
        Application::Instance().QueueModalAction([&, inside](tk::Form&) {
            EXPECT_TRUE(tk::PumpUntil([&] { return files.State() == WipeWindowState::Ready; }, kWait));
            AnswerWipeList(true);
            AnswerWipeList(false);
            EXPECT_TRUE(tk::Press(files.ButtonStart));
            inside();
            EXPECT_TRUE(tk::PumpUntil([&] { return files.State() == WipeWindowState::Finished; }, kWait));
            CloseWipeWindow(files, &io);
        });
        files.Execute(2, 1);
    }

    TempDir dir;
    HeldIo io;
    TFormFileWipe files{io};
};

}  // namespace

TEST_F(JobReportTest, AFileJobsRowsAreItsTargetsWithTheResultsTheDoneListAndTheLogGiveThem)
{
    const std::wstring a = dir.WriteFile(L"a.txt", std::string(5000, 'a'));
    const std::wstring b = dir.WriteFile(L"b.txt", "held open elsewhere");
    const std::wstring c = dir.WriteFile(L"c.txt", std::string(5000, 'c'));
    const std::wstring d = dir.WriteFile(L"d.txt", "never reached");
    const std::wstring e = dir.MakeDir(L"empty");
    HANDLE other = CreateFileW(b.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    // After the first delete, the next write (c's) waits; the job is cancelled there.
    std::atomic<int> writesAtHold{0};
    io.beforeDelete = [&](const std::wstring&) {
        if (!io.held.exchange(true))
            writesAtHold = io.writesStarted.load();
    };
    std::wstring proposed;
    RunFiles({a, b, c, d, e}, [&] {
        ASSERT_TRUE(tk::PumpUntil([&] { return io.held && io.writesStarted > writesAtHold; }, kWait));
        EXPECT_FALSE(tk::Showing(files.ButtonSaveReport));
        EXPECT_TRUE(tk::Press(files.ButtonCancel));
        io.beforeDelete = nullptr;
        io.held = false;
        ASSERT_TRUE(tk::PumpUntil([&] { return files.State() == WipeWindowState::Finished; }, kWait));
        // A copy anywhere: a name without an extension takes the type chosen in the dialog.
        Application::Instance().SetSaveDialogHook([&](tk::SaveDialog& dialog) {
            proposed = dialog.FileName;
            dialog.FileName = dir / L"copy";
            dialog.FilterIndex = 2;
            return true;
        });
        EXPECT_TRUE(tk::Press(files.ButtonSaveReport));
        Application::Instance().SetSaveDialogHook(nullptr);
    });
    CloseHandle(other);

    const JobReport* report = files.Report();
    ASSERT_NE(report, nullptr);
    EXPECT_TRUE(report->cancelled);
    const std::vector<std::pair<std::wstring, uint8_t>> expected = {
        {a, OutcomeDestroyed}, {b, OutcomeFailed}, {c, OutcomeKept}, {d, OutcomeNotStarted}, {e, OutcomeNotStarted}};
    ASSERT_EQ(report->rows.size(), expected.size());
    for (size_t row = 0; row < expected.size(); ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(report->rows[row].path, expected[row].first);
        EXPECT_EQ(report->rows[row].outcome, expected[row].second);
        // The reason texts are the target's log records, one by one.
        EXPECT_EQ(report->rows[row].reasons, LogTexts(expected[row].first));
        EXPECT_EQ(FileExists(expected[row].first) || DirectoryExists(expected[row].first), row != 0);
    }
    EXPECT_EQ(LogTexts(a).size(), 1u);
    EXPECT_EQ(LogTexts(b).size(), 1u);
    // The done list showed exactly the destroyed row.
    ASSERT_EQ(listShowings.size(), 2u);
    EXPECT_EQ(listShowings[1].rows, std::vector<std::wstring>{a});
    EXPECT_EQ(report->totals.destroyed + report->totals.kept + report->totals.failed + report->totals.notStarted, 5);

    // Written on its own, as a page and a CSV file; the copy is the same CSV file.
    std::vector<std::wstring> pages = ReportFiles(reports, L"html"), tables = ReportFiles(reports, L"csv");
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(tables.size(), 1u);
    EXPECT_EQ(proposed, ReportBaseName(*report) + L".html");
    std::string page, table, copy;
    ASSERT_TRUE(ReadWholeFile(pages[0], page) && ReadWholeFile(tables[0], table) && ReadWholeFile(dir / L"copy", copy));
    EXPECT_EQ(copy, table);
    for (const auto& [path, outcome] : expected)
        EXPECT_NE(table.find("\r\n" + std::string(path.begin(), path.end()) + ","), std::string::npos);
    EXPECT_NE(page.find("<td class=\"kept\">"), std::string::npos);
}

TEST_F(JobReportTest, DriveAndFreeSpaceJobsReportTheirVolumeAndItsDevice)
{
    SimulatedVolume volume{L"V:\\", 512, 8, 2048};
    volume.SetInUse(0, 300);
    TFormFreeSpaceWipe freeSpace{volume};
    TFormDriveWipe drive{volume};
    AnswerDialogs(tk::mrYes);
    for (TFormVolumeWipe* window : std::initializer_list<TFormVolumeWipe*>{&freeSpace, &drive}) {
        const bool whole = window == &drive;
        SCOPED_TRACE(whole ? "drive" : "free space");
        AnswerReports(*window);
        const uint64_t freeBefore = static_cast<uint64_t>(volume.FreeClusters()) * 4096;
        Application::Instance().QueueModalAction([&](tk::Form&) {
            EXPECT_TRUE(tk::Press(window->ButtonStart));
            EXPECT_TRUE(tk::PumpUntil([&] { return window->State() == WipeWindowState::Finished; }, kWait));
            EXPECT_TRUE(tk::Showing(window->ButtonSaveReport));
            CloseWipeWindow(*window);
        });
        window->Execute(volume.Root(), 2, 1);
        const JobReport* report = window->Report();
        ASSERT_NE(report, nullptr);
        const VolumeFacts& facts = report->volume;
        EXPECT_TRUE(report->hasVolume);
        EXPECT_EQ(facts.root, L"V:\\");
        EXPECT_EQ(facts.label, reports.label);
        EXPECT_EQ(facts.fileSystem, L"NTFS");
        EXPECT_EQ(facts.serialNumber, 0x1234ABCDu);
        EXPECT_EQ(facts.deviceModel, L"ACME Disk 2000");
        EXPECT_EQ(facts.deviceSerial, L"SN-0042");
        EXPECT_EQ(facts.capacity, 2048u * 4096u);
        EXPECT_EQ(facts.freeAtStart, freeBefore);
        ASSERT_EQ(report->rows.size(), 1u);
        EXPECT_EQ(report->rows[0].outcome, OutcomeDestroyed);
        EXPECT_EQ(report->rows[0].size, whole ? facts.capacity : freeBefore);
        EXPECT_EQ(report->rows[0].reasons, LogTexts(L"V:\\"));
        ASSERT_FALSE(report->steps.empty());
        EXPECT_EQ(report->steps[0].captionKey, whole ? L"Report.StepDismounted" : L"Report.StepTempFilesPlaced");
        AppLog().Clear();
    }
    std::string page;
    ASSERT_EQ(ReportFiles(reports, L"html").size(), 2u);
    ASSERT_TRUE(ReadWholeFile(ReportFiles(reports, L"html")[0], page));
    for (const char* shown : {"1234-ABCD", "ACME Disk 2000", "SN-0042", "Backup &amp; &lt;Archive&gt;"})
        EXPECT_NE(page.find(shown), std::string::npos) << shown;
}

TEST_F(JobReportTest, AReportThatCannotBeWrittenShowsOneErrorAndLeavesTheJobAsItWas)
{
    // "Varnox reports" cannot be made inside a file.
    reports.documents = dir.WriteFile(L"not a folder", "x");
    const std::wstring a = dir.WriteFile(L"a.txt", std::string(700, 'a'));
    AnswerDialogs(tk::mrOK);
    std::wstring header;
    RunFiles({a}, [&] {
        ASSERT_TRUE(tk::PumpUntil([&] { return files.State() == WipeWindowState::Finished; }, kWait));
        header = files.LabelHeader.Caption();
        EXPECT_EQ(header, Language().GetText(L"FileWipeWindow.HeaderCompleted", files.MakeVariables()));
        // Saving a copy where no folder is fails the same way.
        Application::Instance().SetSaveDialogHook([&](tk::SaveDialog& dialog) {
            dialog.FileName = dir / L"missing\\copy.html";
            return true;
        });
        EXPECT_TRUE(tk::Press(files.ButtonSaveReport));
        Application::Instance().SetSaveDialogHook(nullptr);
        EXPECT_EQ(files.LabelHeader.Caption(), header);
    });
    const std::wstring folder = reports.documents + L"\\Varnox reports";
    TextVariables failure{{L"ReportFile", folder}}, copyFailure{{L"ReportFile", dir / L"missing\\copy.html"}};
    AddSystemError(failure, ERROR_DIRECTORY);
    AddSystemError(copyFailure, ERROR_PATH_NOT_FOUND);
    ASSERT_EQ(dialogTexts.size(), 2u);
    EXPECT_EQ(dialogTexts[0], Language().GetText(L"Report.WriteFailed", failure));
    EXPECT_EQ(dialogTexts[1], Language().GetText(L"Report.WriteFailed", copyFailure));
    EXPECT_EQ(CountLogRecords(L"Log.ReportWriteError", failure, folder), 1);
    EXPECT_EQ(CountLogRecords(L"Log.ReportWriteError", copyFailure), 1);
    EXPECT_EQ(CountLogRecords(LogCategory::Error), 2);
    EXPECT_FALSE(FileExists(a));
    ASSERT_NE(files.Report(), nullptr);
    EXPECT_FALSE(files.Report()->withErrors);
    EXPECT_EQ(files.StateData().FailedCount + files.StateData().PartialCount, 0);
}
