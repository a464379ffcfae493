#include "ui/StartCommands.h"

#include <windows.h>

#include <set>

#include "platform/ExecutablePath.h"
#include "settings/Unicodelanguage.h"
#include "ui/MainWindow.h"

namespace {

// An error box naming every path (or drive) that is not there.
void ReportMissing(TFormMain& main, const std::vector<std::wstring>& missing)
{
    std::wstring text;
    for (const std::wstring& path : missing)
        text += (text.empty() ? L"" : L"\n") + Language().GetText(L"CommandLine.NotFound", {{L"Path", path}});
    Language().MessageDialog(text, MessageDialogType::Error, DialogButton::OK, main.Color());
}

}  // namespace

void OpenStartRequest(TFormMain& main, const StartRequest& request)
{
    const WipeChoice choice{request.method, request.rounds};
    std::vector<std::wstring> missing;
    switch (request.mode) {
    case StartMode::FilesWindow: {
        std::vector<std::wstring> paths;
        std::set<std::wstring> named;
        for (const std::wstring& given : request.paths) {
            std::wstring path = FullPathOf(given);
            std::wstring key = path;
            CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
            // Explorer's starts of one selection may name an item twice.
            if (!named.insert(key).second)
                continue;
            (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES ? missing : paths).push_back(path);
        }
        if (!missing.empty())
            ReportMissing(main, missing);
        main.WipePaths(paths, choice);
        break;
    }
    case StartMode::FreeSpaceWindow:
    case StartMode::DriveWindow: {
        UINT type = GetDriveTypeW(request.root.c_str());
        if (type == DRIVE_NO_ROOT_DIR || type == DRIVE_UNKNOWN) {
            ReportMissing(main, {request.root});
            break;
        }
        if (main.WipeVolumeRoot(request.root, request.mode == StartMode::DriveWindow, choice))
            main.Close();
        break;
    }
    default:
        break;
    }
}

std::wstring UsageText(const UnicodeLanguage& language, const StartRequest& request)
{
    std::wstring usage = language.GetText(L"CommandLine.Usage", {{L"Program", ExecutableBaseName() + L".exe"}});
    if (request.mode != StartMode::BadUsage)
        return usage;
    return language.GetText(request.errorKey, request.errorVariables) + L"\n\n" + usage;
}

std::wstring ExplorerMeetingName() { return ExecutableBaseName() + L".ExplorerSelection"; }
