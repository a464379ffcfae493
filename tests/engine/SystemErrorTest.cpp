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

TEST(LongPath, OnlyLongAbsolutePathsGetTheExtendedForm)
{
    EXPECT_EQ(ExtendedPath(L"C:\\short.txt"), L"C:\\short.txt");
    std::wstring longDrive = L"C:\\" + std::wstring(300, L'a');
    EXPECT_EQ(ExtendedPath(longDrive), L"\\\\?\\" + longDrive);
    std::wstring longUnc = L"\\\\server\\share\\" + std::wstring(300, L'b');
    EXPECT_EQ(ExtendedPath(longUnc), L"\\\\?\\UNC\\server\\share\\" + std::wstring(300, L'b'));
    std::wstring already = L"\\\\?\\" + longDrive;
    EXPECT_EQ(ExtendedPath(already), already);
    std::wstring relative(300, L'r');
    EXPECT_EQ(ExtendedPath(relative), relative);
}

}  // namespace
