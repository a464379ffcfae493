// A required branding value that is missing ends the process: checked in a
// child process (this executable started again), whose message box a timer
// reads and closes so nothing waits for a user.
#include <gtest/gtest.h>

#include <sstream>

#include "settings/Oem.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace {

const wchar_t* const ChildVariable = L"VARNOX_OEM_CHILD_REPORT";
std::wstring reportPath;

// What the child saw of the message box, for the parent to read.
void WriteReport(const std::wstring& report)
{
    std::string narrow(report.begin(), report.end());
    HANDLE file = CreateFileW(reportPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, narrow.data(), static_cast<DWORD>(narrow.size()), &written, nullptr);
    CloseHandle(file);
}

TEST(OEMConfigChild, MissingValueEndsTheProcess)
{
    wchar_t path[MAX_PATH];
    if (!GetEnvironmentVariableW(ChildVariable, path, MAX_PATH))
        GTEST_SKIP() << "runs only as the child of OEMConfig.MissingRequiredValueEndsTheProcessWithCode1";
    reportPath = path;
    COEMConfig config;
    std::istringstream empty(std::string("\x34\x12\xCD\xAB\x00\x00\x01\x00\x00\x00\x34\x12\xCD\xAB", 14));
    ASSERT_TRUE(config.Load(empty));
    AnswerSystemMessageBoxes(WriteReport);
    config.GetValue("Settings/ButtonWidth");
    FAIL() << "GetValue returned";
}

TEST(OEMConfig, MissingRequiredValueEndsTheProcessWithCode1)
{
    TempDir dir;
    std::wstring report = dir / L"report.txt";
    ChildResult child = RunChildTests(L"OEMConfigChild.*", ChildVariable, report);
    ASSERT_TRUE(child.started);
    ASSERT_TRUE(child.ended) << "the child hung";
    EXPECT_EQ(child.exitCode, 1u);
    std::string text;
    ASSERT_TRUE(ReadWholeFile(report, text));
    EXPECT_EQ(text, "OEM Error|Missing OEM value : //Settings/ButtonWidth");
}

}  // namespace
