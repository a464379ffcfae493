#include <gtest/gtest.h>

#include "platform/LongPath.h"
#include "platform/SystemError.h"

namespace {

TEST(SystemError, MessageHasNoTrailingFullStopSpaceOrLineBreak)
{
    std::wstring message = SystemErrorMessage(ERROR_ACCESS_DENIED);
    ASSERT_FALSE(message.empty());
    wchar_t last = message.back();
    EXPECT_NE(last, L'.');
    EXPECT_NE(last, L' ');
    EXPECT_GE(last, 0x20);
}

TEST(SystemError, VariablesCarryCodeInDecimalAndMessage)
{
    TextVariables variables;
    AddSystemError(variables, ERROR_SHARING_VIOLATION);
    EXPECT_EQ(variables[L"SystemErrorCode"], L"32");
    EXPECT_EQ(variables[L"SystemErrorMessage"], SystemErrorMessage(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(variables.size(), 2u);
}

TEST(LongPath, EveryAbsolutePathGetsTheExtendedForm)
{
    // Short paths too: the system would strip the dot and open "a.txt" instead.
    EXPECT_EQ(ExtendedPath(L"C:\\a.txt."), L"\\\\?\\C:\\a.txt.");
    EXPECT_EQ(ExtendedPath(L"C:\\dir\\name "), L"\\\\?\\C:\\dir\\name ");
    EXPECT_EQ(ExtendedPath(L"C:\\"), L"\\\\?\\C:\\");
    EXPECT_EQ(ExtendedPath(L"C:\\dir\\*.*"), L"\\\\?\\C:\\dir\\*.*");
    std::wstring longDrive = L"C:\\" + std::wstring(300, L'a');
    EXPECT_EQ(ExtendedPath(longDrive), L"\\\\?\\" + longDrive);
    std::wstring longUnc = L"\\\\server\\share\\" + std::wstring(300, L'b');
    EXPECT_EQ(ExtendedPath(longUnc), L"\\\\?\\UNC\\server\\share\\" + std::wstring(300, L'b'));
    EXPECT_EQ(ExtendedPath(L"\\\\server\\share"), L"\\\\?\\UNC\\server\\share");
}

TEST(LongPath, NamesTheSystemWouldResolveAreResolvedTheSameWay)
{
    EXPECT_EQ(ExtendedPath(L"C:/dir//sub/./file"), L"\\\\?\\C:\\dir\\sub\\file");
    EXPECT_EQ(ExtendedPath(L"C:\\dir\\sub\\..\\file."), L"\\\\?\\C:\\dir\\file.");
    EXPECT_EQ(ExtendedPath(L"C:\\..\\..\\file"), L"\\\\?\\C:\\file");
    EXPECT_EQ(ExtendedPath(L"C:\\dir\\"), L"\\\\?\\C:\\dir\\");
    // Never above the share.
    EXPECT_EQ(ExtendedPath(L"\\\\server\\share\\..\\..\\x"), L"\\\\?\\UNC\\server\\share\\x");
}

TEST(LongPath, OtherPathsAreLeftToTheSystem)
{
    std::wstring already = L"\\\\?\\C:\\x.";
    EXPECT_EQ(ExtendedPath(already), already);
    EXPECT_EQ(ExtendedPath(L"\\\\.\\C:"), L"\\\\.\\C:");
    EXPECT_EQ(ExtendedPath(L"relative\\file."), L"relative\\file.");
    EXPECT_EQ(ExtendedPath(L"C:relative"), L"C:relative");
    EXPECT_EQ(ExtendedPath(L"\\rooted"), L"\\rooted");
    EXPECT_EQ(ExtendedPath(L"\\\\server"), L"\\\\server");
    EXPECT_EQ(ExtendedPath(L""), L"");
}

}  // namespace
