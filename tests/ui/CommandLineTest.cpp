// The command line as a shell hands it over, through the system's splitting,
// to what Varnox is asked to do, and every way it can be wrong.
#include <gtest/gtest.h>

#include "ui/CommandLine.h"

namespace {

struct Case {
    const wchar_t* line;
    StartMode mode;
    std::vector<std::wstring> paths = {};
    const wchar_t* root = L"";
    int32_t method = -1;
    int32_t rounds = 0;
    const wchar_t* report = L"";
    const wchar_t* error = L"";     // BadUsage: the key
    const wchar_t* argument = L"";  // and the argument it names
    bool fromExplorer = false;
};

}  // namespace

TEST(CommandLine, EveryCommandLineMeansWhatItSaysOrSaysWhatIsWrong)
{
    using M = StartMode;
    const Case cases[] = {
        {L"", M::Browse},
        {L"  ", M::Browse},
        {L"/?", M::Usage},
        {L"/wipe /? /nonsense", M::Usage},
        {L"\"C:\\My Files\\a b.txt\" rel\\c.txt", M::FilesWindow, {L"C:\\My Files\\a b.txt", L"rel\\c.txt"}},
        {L"a.txt /METHOD 13 /Rounds 10", M::FilesWindow, {L"a.txt"}, L"", 13, 10},
        {L"/explorer \"C:\\x y\\z\"", M::FilesWindow, {L"C:\\x y\\z"}, L"", -1, 0, L"", L"", L"", true},
        {L"/wipe \"C:\\a b\" c /yes", M::FilesUnattended, {L"C:\\a b", L"c"}},
        {L"/yes /report \"C:\\r e.txt\" /wipe a /method 0 /rounds 1", M::FilesUnattended, {L"a"}, L"", 0, 1,
         L"C:\\r e.txt"},
        {L"/freespace c:", M::FreeSpaceWindow, {}, L"C:\\"},
        {L"/freespace D:\\ /yes /method 9", M::FreeSpaceUnattended, {}, L"D:\\", 9},
        // "D:\" quoted in a batch file: the backslash escapes the closing quote.
        {L"/yes /freespace \"D:\\\"", M::FreeSpaceUnattended, {}, L"D:\\"},
        {L"/drive e: /rounds 3", M::DriveWindow, {}, L"E:\\", -1, 3},
        // A drive job always opens its window and asks.
        {L"/drive E: /yes", M::DriveWindow, {}, L"E:\\"},
        {L"/bogus a", M::BadUsage, {}, L"", -1, 0, L"", L"CommandLine.UnknownSwitch", L"/bogus"},
        {L"/ a", M::BadUsage, {}, L"", -1, 0, L"", L"CommandLine.UnknownSwitch", L"/"},
        {L"/wipe /yes", M::BadUsage, {}, L"", -1, 0, L"", L"CommandLine.MissingPath"},
        {L"/yes", M::BadUsage, {}, L"", -1, 0, L"", L"CommandLine.MissingPath"},
        {L"/wipe a", M::BadUsage, {}, L"", -1, 0, L"", L"CommandLine.YesMissing"},
        {L"a /yes", M::BadUsage, {}, L"", -1, 0, L"", L"CommandLine.UnattendedOnly", L"/yes"},
        {L"/freespace C: /report r", M::BadUsage, {}, L"", -1, 0, L"", L"CommandLine.UnattendedOnly", L"/report"},
        {L"/drive C: /yes /report r", M::BadUsage, {}, L"", -1, 0, L"", L"CommandLine.UnattendedOnly", L"/report"},
        {L"/freespace", M::BadUsage, {}, L"", -1, 0, L"", L"CommandLine.MissingDrive", L"/freespace"},
        {L"/drive /yes", M::BadUsage, {}, L"", -1, 0, L"", L"CommandLine.MissingDrive", L"/drive"},
        {L"/freespace CC:", M::BadUsage, {}, L"", -1, 0, L"", L"CommandLine.BadDrive", L"CC:"},
        {L"/freespace C:\\Windows", M::BadUsage, {}, L"", -1, 0, L"", L"CommandLine.BadDrive", L"C:\\Windows"},
        {L"/freespace C: a.txt", M::BadUsage, {}, L"", -1, 0, L"", L"CommandLine.UnexpectedArgument", L"a.txt"},
        {L"/wipe a /freespace C: /yes", M::BadUsage, {}, L"", -1, 0, L"", L"CommandLine.OneJob", L"/freespace"},
        {L"/explorer a /wipe /yes", M::BadUsage, {}, L"", -1, 0, L"", L"CommandLine.OneJob", L"/wipe"},
        {L"a /method 14", M::BadUsage, {}, L"", -1, 0, L"", L"CommandLine.BadMethod", L"14"},
        {L"a /method -1", M::BadUsage, {}, L"", -1, 0, L"", L"CommandLine.BadMethod", L"-1"},
        {L"a /method 2x", M::BadUsage, {}, L"", -1, 0, L"", L"CommandLine.BadMethod", L"2x"},
        {L"a /rounds 0", M::BadUsage, {}, L"", -1, 0, L"", L"CommandLine.BadRounds", L"0"},
        {L"a /rounds 11", M::BadUsage, {}, L"", -1, 0, L"", L"CommandLine.BadRounds", L"11"},
        {L"a /method", M::BadUsage, {}, L"", -1, 0, L"", L"CommandLine.MissingValue", L"/method"},
        {L"/wipe a /yes /report /method 2", M::BadUsage, {}, L"", -1, 0, L"", L"CommandLine.MissingValue", L"/report"},
        {L"a /yes /yes /wipe", M::BadUsage, {}, L"", -1, 0, L"", L"CommandLine.Repeated", L"/yes"},
        {L"a /rounds 2 /rounds 2", M::BadUsage, {}, L"", -1, 0, L"", L"CommandLine.Repeated", L"/rounds"},
        {L"a \"\"", M::BadUsage, {}, L"", -1, 0, L"", L"CommandLine.EmptyPath"},
        {L"/wipe d: /yes", M::BadUsage, {}, L"", -1, 0, L"", L"CommandLine.DriveAsPath", L"d:"},
        {L"/wipe d:\\ D:rel /yes", M::FilesUnattended, {L"d:\\", L"D:rel"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "Varnox.exe " << std::string(c.line, c.line + wcslen(c.line)));
        StartRequest request = ParseCommandLine(SplitCommandLine(std::wstring(L"\"C:\\Pro gram\\Varnox.exe\" ") + c.line));
        EXPECT_EQ(request.mode, c.mode);
        EXPECT_EQ(request.errorKey, c.error);
        EXPECT_EQ(request.errorVariables.count(L"Argument") ? request.errorVariables[L"Argument"] : L"", c.argument);
        if (c.mode == M::BadUsage || c.mode == M::Usage)
            continue;
        EXPECT_EQ(request.paths, c.paths);
        EXPECT_EQ(request.root, c.root);
        EXPECT_EQ(request.method, c.method);
        EXPECT_EQ(request.rounds, c.rounds);
        EXPECT_EQ(request.reportPath, c.report);
        EXPECT_EQ(request.fromExplorer, c.fromExplorer);
    }
}

TEST(CommandLine, AQuotedArgumentComesBackAsItWas)
{
    for (const wchar_t* argument : {L"plain", L"C:\\with space\\", L"C:\\", L"say \"hi\"", L"ends\\\\", L"a\\\"b", L""}) {
        SCOPED_TRACE(testing::Message() << std::string(argument, argument + wcslen(argument)));
        EXPECT_EQ(SplitCommandLine(L"x.exe " + QuoteArgument(argument) + L" next"),
                  (std::vector<std::wstring>{argument, L"next"}));
    }
}
