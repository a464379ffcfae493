#include "ui/CommandLine.h"

#include <windows.h>
#include <shellapi.h>

#include <cwctype>

#include "settings/WipeMethodCount.h"

namespace {

constexpr int32_t kMinRounds = 1;
constexpr int32_t kMaxRounds = 10;

std::wstring Lower(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

// A whole decimal number of at most a few digits within [low, high].
bool ParseNumber(const std::wstring& text, int32_t low, int32_t high, int32_t& value)
{
    if (text.empty() || text.size() > 4)
        return false;
    int32_t number = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9')
            return false;
        number = number * 10 + (c - L'0');
    }
    if (number < low || number > high)
        return false;
    value = number;
    return true;
}

bool IsSwitch(const std::wstring& argument) { return !argument.empty() && argument[0] == L'/'; }

// Gathers the switches before deciding what they ask for, so that the order
// of the arguments does not matter.
class Parser {
public:
    explicit Parser(const std::vector<std::wstring>& arguments) : arguments(arguments) {}

    StartRequest Run()
    {
        for (index = 0; index < arguments.size() && request.errorKey.empty(); ++index) {
            const std::wstring& argument = arguments[index];
            // A lone slash too: as a path it would name the root of the current drive.
            if (IsSwitch(argument))
                Switch(argument);
            else if (argument.empty())
                Fail(L"CommandLine.EmptyPath");
            // "D:" names the current folder of drive D:, rarely what is meant
            // where everything named is destroyed.
            else if (argument.size() == 2 && !DriveRootOf(argument).empty())
                Fail(L"CommandLine.DriveAsPath", argument);
            else
                request.paths.push_back(argument);
        }
        if (helpAsked)
            return Mode(StartMode::Usage);
        if (!request.errorKey.empty())
            return Mode(StartMode::BadUsage);
        return Decide();
    }

private:
    void Switch(const std::wstring& argument)
    {
        const std::wstring name = Lower(argument.substr(1));
        if (name == L"?") {
            helpAsked = true;
        } else if (name == L"wipe" || name == L"explorer") {
            Job(argument);
            (name == L"wipe" ? wipe : request.fromExplorer) = true;
        } else if (name == L"freespace" || name == L"drive") {
            Job(argument);
            const std::wstring* value = Value(argument, L"CommandLine.MissingDrive");
            if (value == nullptr)
                return;
            request.root = DriveRootOf(*value);
            if (request.root.empty())
                Fail(L"CommandLine.BadDrive", *value);
            (name == L"drive" ? drive : freeSpace) = true;
        } else if (name == L"yes") {
            Once(argument, yes);
        } else if (name == L"method") {
            if (const std::wstring* value = Once(argument, methodGiven) ? Value(argument) : nullptr)
                if (!ParseNumber(*value, 0, kWipeMethodCount - 1, request.method))
                    Fail(L"CommandLine.BadMethod", *value);
        } else if (name == L"rounds") {
            if (const std::wstring* value = Once(argument, roundsGiven) ? Value(argument) : nullptr)
                if (!ParseNumber(*value, kMinRounds, kMaxRounds, request.rounds))
                    Fail(L"CommandLine.BadRounds", *value);
        } else if (name == L"report") {
            if (const std::wstring* value = Once(argument, reportGiven) ? Value(argument) : nullptr)
                request.reportPath = *value;
        } else {
            Fail(L"CommandLine.UnknownSwitch", argument);
        }
    }

    // A switch that names the job: only one of them.
    void Job(const std::wstring& argument)
    {
        if (!job.empty())
            Fail(L"CommandLine.OneJob", argument);
        job = argument;
    }

    // False (and the error) when the switch was given before.
    bool Once(const std::wstring& argument, bool& given)
    {
        if (given) {
            Fail(L"CommandLine.Repeated", argument);
            return false;
        }
        given = true;
        return true;
    }

    // The argument that follows a switch; null (and the error) when there is
    // none, or when what follows is another switch.
    const std::wstring* Value(const std::wstring& argument, const wchar_t* missingKey = L"CommandLine.MissingValue")
    {
        if (index + 1 >= arguments.size() || IsSwitch(arguments[index + 1]) || arguments[index + 1].empty()) {
            Fail(missingKey, argument);
            return nullptr;
        }
        return &arguments[++index];
    }

    void Fail(const wchar_t* key, const std::wstring& argument = std::wstring())
    {
        if (!request.errorKey.empty())
            return;
        request.errorKey = key;
        if (!argument.empty())
            request.errorVariables[L"Argument"] = argument;
    }

    StartRequest Mode(StartMode mode)
    {
        request.mode = mode;
        if (mode != StartMode::BadUsage) {
            request.errorKey.clear();
            request.errorVariables.clear();
        }
        return request;
    }

    StartRequest Decide()
    {
        const bool driveJob = drive || freeSpace;
        if (driveJob && !request.paths.empty()) {
            Fail(L"CommandLine.UnexpectedArgument", request.paths.front());
            return Mode(StartMode::BadUsage);
        }
        if (!driveJob && job.empty() && request.paths.empty()) {
            // Only options, or nothing at all.
            if (yes || methodGiven || roundsGiven || reportGiven)
                Fail(L"CommandLine.MissingPath");
            return Mode(request.errorKey.empty() ? StartMode::Browse : StartMode::BadUsage);
        }
        if (!driveJob && request.paths.empty()) {
            Fail(L"CommandLine.MissingPath");
            return Mode(StartMode::BadUsage);
        }
        if (wipe && !yes) {
            Fail(L"CommandLine.YesMissing");
            return Mode(StartMode::BadUsage);
        }
        // A drive job always opens its window and asks, /yes or not.
        const bool unattended = yes && (wipe || freeSpace);
        if ((yes && !unattended && !drive) || (reportGiven && !unattended)) {
            Fail(L"CommandLine.UnattendedOnly", yes && !drive && !unattended ? L"/yes" : L"/report");
            return Mode(StartMode::BadUsage);
        }
        if (drive)
            return Mode(StartMode::DriveWindow);
        if (freeSpace)
            return Mode(unattended ? StartMode::FreeSpaceUnattended : StartMode::FreeSpaceWindow);
        return Mode(unattended ? StartMode::FilesUnattended : StartMode::FilesWindow);
    }

    const std::vector<std::wstring>& arguments;
    size_t index = 0;
    StartRequest request;
    std::wstring job;  // the switch that named the job, as given
    bool helpAsked = false, wipe = false, drive = false, freeSpace = false, yes = false;
    bool methodGiven = false, roundsGiven = false, reportGiven = false;
};

}  // namespace

StartRequest ParseCommandLine(const std::vector<std::wstring>& arguments) { return Parser(arguments).Run(); }

std::vector<std::wstring> SplitCommandLine(const std::wstring& commandLine)
{
    std::vector<std::wstring> arguments;
    // An empty line would give the program's own path as the only argument.
    if (commandLine.find_first_not_of(L" \t") == std::wstring::npos)
        return arguments;
    int count = 0;
    wchar_t** split = CommandLineToArgvW(commandLine.c_str(), &count);
    if (split == nullptr)
        return arguments;
    for (int i = 1; i < count; ++i)
        arguments.emplace_back(split[i]);
    LocalFree(split);
    return arguments;
}

std::wstring QuoteArgument(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos)
        return argument;
    // Backslashes count only before a quote: there each is doubled, and a
    // quote of the argument is escaped by one more.
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

std::wstring DriveRootOf(const std::wstring& argument)
{
    std::wstring text = argument;
    if (!text.empty() && text.back() == L'"')
        text.pop_back();
    if (text.size() == 3 && text[2] == L'\\')
        text.pop_back();
    if (text.size() != 2 || text[1] != L':' || !std::iswalpha(text[0]) || text[0] > 0x7F)
        return std::wstring();
    return std::wstring(1, static_cast<wchar_t>(std::towupper(text[0]))) + L":\\";
}

std::wstring FullPathOf(const std::wstring& path)
{
    DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return path;
    std::wstring full(size, L'\0');
    DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    full.resize(length < size ? length : 0);
    while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/') && full[full.size() - 2] != L':')
        full.pop_back();
    return full.empty() ? path : full;
}
