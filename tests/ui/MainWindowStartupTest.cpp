// The main window's start-up and shutdown: a missing, broken or incomplete
// branding file ends the program (checked in child processes), the first
// run's layout, what closing and the end of the session write, and a window
// remembered off every screen.
#include <gtest/gtest.h>

#include "support/ChildProcess.h"
#include "ui/MainWindowHarness.h"
#include "ui/SessionState.h"
#include "ui/Utils.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/MessageDialog.h"
#include "ui/toolkit/TestDriver.h"

namespace {

const wchar_t* const ChildVariable = L"VARNOX_MAIN_CHILD_FOLDER";

class MainWindowStartup : public ::testing::Test {
protected:
    void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override { CoUninitialize(); }
};

// ---- Child processes: each builds a main window on a broken branding file
// in the folder its parent gave, and reports the message it showed there.

std::wstring childFolder;

void Report(const std::wstring& text)
{
    std::string narrow(text.begin(), text.end());
    HANDLE file = CreateFileW((childFolder + L"\\report.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                              nullptr);
    DWORD written = 0;
    WriteFile(file, narrow.data(), static_cast<DWORD>(narrow.size()), &written, nullptr);
    CloseHandle(file);
}

bool InChild()
{
    wchar_t folder[MAX_PATH];
    if (!GetEnvironmentVariableW(ChildVariable, folder, MAX_PATH))
        return false;
    childFolder = folder;
    tk::Application::Instance().SetMessageBoxHook([](const std::wstring& text, const std::wstring& caption, UINT) {
        Report(caption + L"|" + text);
        return IDOK;
    });
    // The lookup of a missing branding value shows a system message box.
    AnswerSystemMessageBoxes(Report);
    return true;
}

TEST_F(MainWindowStartup, ChildWithoutBrandingFile)
{
    if (!InChild())
        GTEST_SKIP() << "runs only as a child of MainWindowStartup.BrokenBrandingEndsTheProgram";
    MainWindowHarness harness({}, childFolder);
    DeleteFileW(harness.brandingPath.c_str());
    harness.Start();
    FAIL() << "the window was built";
}

TEST_F(MainWindowStartup, ChildWithCorruptedBrandingFile)
{
    if (!InChild())
        GTEST_SKIP() << "runs only as a child of MainWindowStartup.BrokenBrandingEndsTheProgram";
    MainWindowHarness harness({}, childFolder);
    HANDLE file = CreateFileW(harness.brandingPath.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, "\x34\x12\xCD\xAB\x00\x00\x01\x00\xFF", 9, &written, nullptr);
    CloseHandle(file);
    harness.Start();
    FAIL() << "the window was built";
}

TEST_F(MainWindowStartup, ChildWithoutSecondConfirmation)
{
    if (!InChild())
        GTEST_SKIP() << "runs only as a child of MainWindowStartup.BrokenBrandingEndsTheProgram";
    MainWindowHarness harness([](COEMConfig& brand) {
        brand.Clear();
        MakeTestBrand(brand, "Settings/SecondConfirmation");
    }, childFolder);
    // Logging on: the program must end before it reads or writes anything.
    harness.WriteInt(L"Config", L"Logging", 1);
    harness.WriteString(L"Config", L"LogFile", harness / L"run.log");
    harness.Start();
    FAIL() << "the window was built";
}

struct ChildOutcome {
    ChildResult result;
    std::string report;
};

ChildOutcome RunChild(const wchar_t* test, const std::wstring& folder)
{
    ChildOutcome outcome;
    outcome.result = RunChildTests(std::wstring(L"MainWindowStartup.") + test, ChildVariable, folder);
    ReadWholeFile(folder + L"\\report.txt", outcome.report);
    return outcome;
}

TEST_F(MainWindowStartup, BrokenBrandingEndsTheProgram)
{
    TempDir missing, corrupted, incomplete;
    ChildOutcome outcome = RunChild(L"ChildWithoutBrandingFile", missing.Path());
    ASSERT_TRUE(outcome.result.ended) << "the child hung";
    EXPECT_EQ(outcome.result.exitCode, 0u);
    EXPECT_EQ(outcome.report, "ui_tests|No OEM file");

    outcome = RunChild(L"ChildWithCorruptedBrandingFile", corrupted.Path());
    ASSERT_TRUE(outcome.result.ended) << "the child hung";
    EXPECT_EQ(outcome.result.exitCode, 0u);
    EXPECT_EQ(outcome.report, "ui_tests|Corrupted OEM file");

    // A value only the wipe confirmation asks for is checked at start-up too.
    outcome = RunChild(L"ChildWithoutSecondConfirmation", incomplete.Path());
    ASSERT_TRUE(outcome.result.ended) << "the child hung";
    EXPECT_EQ(outcome.result.exitCode, 1u);
    EXPECT_EQ(outcome.report, "OEM Error|Missing OEM value : //Settings/SecondConfirmation");
    EXPECT_FALSE(FileExists(incomplete / L"run.log"));
}

// ---- Layout, close and the end of the session.

TEST_F(MainWindowStartup, FirstRunIsCentredWithTheBrandingSizeAndCloseRemembersTheLayout)
{
    MainWindowHarness harness;
    TFormMain& window = harness.Start();
    RECT bounds = window.OuterBoundsPx();
    EXPECT_EQ(bounds.right - bounds.left, 700);
    EXPECT_EQ(bounds.bottom - bounds.top, 500);
    EXPECT_EQ(bounds.left, (GetSystemMetrics(SM_CXSCREEN) - 700) / 2);
    EXPECT_EQ(bounds.top, (GetSystemMetrics(SM_CYSCREEN) - 500) / 2);
    EXPECT_EQ(window.TV.DockedSizePx(), 200);
    EXPECT_EQ(window.LV.ColumnWidthPx(1), 100);
    EXPECT_EQ(window.LV.ColumnWidthPx(2), 80);
    EXPECT_EQ(window.LV.ColumnWidthPx(3), 60);
    RECT list;
    GetClientRect(window.LV.Handle(), &list);
    EXPECT_EQ(window.LV.ColumnWidthPx(0), list.right - 240 - 20);
    EXPECT_TRUE(window.StatusBar.PanelText(0).empty());
    EXPECT_FALSE(FileExists(harness.IniPath()));

    window.SetOuterBoundsPx(RECT{40, 30, 840, 630});
    window.TV.SetDockedSizePx(250);
    window.LV.SetColumnWidthPx(1, 111);
    window.LV.SetColumnWidthPx(2, 92);
    window.LV.SetColumnWidthPx(3, 73);
    window.Close();
    const std::pair<const wchar_t*, int> expected[] = {{L"Left", 40},   {L"Top", 30},     {L"Width", 800},
                                                       {L"Height", 600}, {L"SplitH", 250}, {L"Col1W", 111},
                                                       {L"Col2W", 92},  {L"Col3W", 73}};
    for (const auto& [key, value] : expected)
        EXPECT_EQ(harness.ReadInt(L"MainWindow", key, -1), value) << key;
    harness.Stop();

    // The next start comes back where the last one ended.
    TFormMain& again = harness.Start();
    EXPECT_EQ(again.OuterBoundsPx().left, 40);
    EXPECT_EQ(again.OuterBoundsPx().bottom, 630);
    EXPECT_EQ(again.TV.DockedSizePx(), 250);
    EXPECT_EQ(again.LV.ColumnWidthPx(2), 92);
}

TEST_F(MainWindowStartup, AWindowRememberedOffEveryScreenComesBackCentred)
{
    MainWindowHarness harness;
    harness.WriteInt(L"MainWindow", L"Left", -5000);
    harness.WriteInt(L"MainWindow", L"Top", 4000);
    harness.WriteInt(L"MainWindow", L"Width", 640);
    harness.WriteInt(L"MainWindow", L"Height", 5000);
    TFormMain& window = harness.Start();
    MONITORINFO primary{};
    primary.cbSize = sizeof(primary);
    GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &primary);
    const RECT& work = primary.rcWork;
    RECT bounds = window.OuterBoundsPx();
    EXPECT_EQ(bounds.right - bounds.left, 640);
    EXPECT_EQ(bounds.top, work.top);
    EXPECT_EQ(bounds.bottom, work.bottom);
    EXPECT_EQ(bounds.left, work.left + (work.right - work.left - 640) / 2);

    // Partly on screen is where the user left it.
    harness.Stop();
    harness.WriteInt(L"MainWindow", L"Left", -300);
    harness.WriteInt(L"MainWindow", L"Top", 10);
    harness.WriteInt(L"MainWindow", L"Height", 400);
    EXPECT_EQ(harness.Start().OuterBoundsPx().left, -300);
}

TEST_F(MainWindowStartup, LogIsReadAtStartAndWrittenAtCloseEvenWhenMinimized)
{
    MainWindowHarness harness;
    std::wstring logFile = harness / L"run.log";
    harness.WriteInt(L"Config", L"Logging", 1);
    harness.WriteString(L"Config", L"LogFile", logFile);
    TFormMain& window = harness.Start();
    ASSERT_EQ(harness.log.Count(), 1u);
    EXPECT_EQ(harness.log.At(0).text, L"Started.");
    window.Show();
    ShowWindow(window.Handle(), SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(window.Handle()));
    // Closed from the taskbar.
    PostMessageW(window.Handle(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(tk::PumpUntil([&] { return !IsWindowVisible(window.Handle()); }, 5000));
    EXPECT_TRUE(FileExists(logFile));
    EXPECT_EQ(harness.ReadInt(L"MainWindow", L"Left", -1), -1) << "a minimized window's place is not kept";
    harness.Stop();

    // The next start reads both runs' records.
    harness.Start();
    ASSERT_EQ(harness.log.Count(), 3u);
    EXPECT_EQ(harness.log.At(1).text, L"Closed.");
}

TEST_F(MainWindowStartup, WithLoggingOffNothingIsReadOrWritten)
{
    MainWindowHarness harness;
    harness.WriteString(L"Config", L"LogFile", harness / L"run.log");
    TFormMain& window = harness.Start();
    EXPECT_EQ(harness.log.Count(), 1u);
    window.Close();
    EXPECT_EQ(harness.log.Count(), 1u);
    EXPECT_FALSE(FileExists(harness / L"run.log"));
}

TEST_F(MainWindowStartup, WithoutAChosenLogFileTheLogLiesInDocuments)
{
    std::wstring standard = DefaultLogPath();
    std::string kept;
    bool existed = ReadWholeFile(standard, kept);
    MainWindowHarness harness;
    harness.WriteInt(L"Config", L"Logging", 1);
    harness.Start().Close();
    std::string written;
    EXPECT_TRUE(ReadWholeFile(standard, written));
    EXPECT_NE(written.find("C\0l\0o\0s\0e\0d\0.", 0, 14), std::string::npos);
    harness.Stop();
    if (existed) {
        HANDLE file = CreateFileW(standard.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD count = 0;
        WriteFile(file, kept.data(), static_cast<DWORD>(kept.size()), &count, nullptr);
        CloseHandle(file);
    } else {
        DeleteFileW(standard.c_str());
    }
}

TEST_F(MainWindowStartup, TheSessionsEndRunsTheCloseStepsOnceAndWaitsForARunningWipe)
{
    MainWindowHarness harness;
    std::wstring logFile = harness / L"run.log";
    harness.WriteInt(L"Config", L"Logging", 1);
    harness.WriteString(L"Config", L"LogFile", logFile);
    TFormMain& window = harness.Start();
    {
        RunningWipeJob job;
        EXPECT_EQ(SendMessageW(window.Handle(), WM_QUERYENDSESSION, 0, 0), FALSE);
        // A close request (taskkill) is refused too, and the user told why.
        std::vector<std::wstring> told;
        tk::Application::Instance().SetMessageDialogHook([&](const tk::MessageDialogSetup& dialog) {
            told.push_back(dialog.text);
            return tk::mrOK;
        });
        SendMessageW(window.Handle(), WM_CLOSE, 0, 0);
        tk::Application::Instance().SetMessageDialogHook(nullptr);
        EXPECT_EQ(told, std::vector<std::wstring>{L"Not while a wipe runs"});
        EXPECT_EQ(harness.log.Count(), 1u) << "no shutdown record";
        EXPECT_EQ(harness.ReadInt(L"MainWindow", L"Width", -1), -1) << "the close steps did not run";
    }
    EXPECT_EQ(SendMessageW(window.Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
    SendMessageW(window.Handle(), WM_ENDSESSION, TRUE, 0);
    EXPECT_TRUE(FileExists(logFile));
    EXPECT_EQ(harness.ReadInt(L"MainWindow", L"Width", -1), 700);
    EXPECT_EQ(harness.log.Count(), 2u);
    window.Close();
    EXPECT_EQ(harness.log.Count(), 2u) << "one shutdown record";
}

TEST_F(MainWindowStartup, TheSecondConfirmationChoiceIsTakenFromTheBranding)
{
    {
        MainWindowHarness asks;
        asks.Start();
        EXPECT_TRUE(SecondConfirmationWanted());
    }
    MainWindowHarness quiet([](COEMConfig& brand) {
        brand.FindValue("Settings/SecondConfirmation")->SetBool(false);
    });
    quiet.Start();
    EXPECT_FALSE(SecondConfirmationWanted());
}

}  // namespace
