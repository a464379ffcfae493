// The main window's three wipe commands, and the same commands for what the
// command line names. Each starts from SelectionToWipe() or
// SelectedDriveRoot() and does nothing when that is empty (no folder
// selected in the tree, or nothing wipeable in the listing). Before the wipe
// window opens, the listing's rows and the selected node's children go: the
// wipe may delete what they stand for. Afterwards the folder is read anew.
// The drive and free-space jobs need an elevated process: one that is not
// starts an elevated Varnox for them.
#include "log/Log.h"
#include "platform/Elevation.h"
#include "platform/ExecutablePath.h"
#include "platform/SystemError.h"
#include "settings/Unicodelanguage.h"
#include "settings/Vxuserconfig.h"
#include "settings/WipeMethodCount.h"
#include "ui/CommandLine.h"
#include "ui/DriveWipeWindow.h"
#include "ui/FileWipeWindow.h"
#include "ui/Forms.h"
#include "ui/FreeSpaceWipeWindow.h"
#include "ui/MainWindow.h"
#include "ui/toolkit/Scopes.h"

namespace {

struct MethodAndRounds {
    int32_t method;
    int32_t rounds;
};

// The configured method (2 without a configuration, or when it names none)
// and that method's rounds (1), or what the command line chose. The wipe
// windows themselves take care of rounds an edited configuration may hold.
MethodAndRounds ChosenMethod(VxUserConfig& config, const WipeChoice& choice)
{
    int32_t method = choice.method >= 0 ? choice.method : config.ReadInt(L"Config", L"WipeMethod", 2);
    if (method < 0 || method >= kWipeMethodCount)
        method = 2;
    int32_t rounds = choice.rounds > 0
                         ? choice.rounds
                         : config.ReadInt(L"Config", L"Method" + std::to_wstring(method) + L"Passes", 1);
    return {method, rounds};
}

void ForgetListing(TFormMain& main)
{
    main.ClearList();
    tk::UpdateScope<tk::TreeView> drawing(main.TV);
    main.DeleteChildNodes(main.TV.Selected());
}

}  // namespace

// Opens the file wipe window for the selected files and folders.
void TFormMain::ButtonWipeClick() { WipePaths(SelectionToWipe()); }

// Opens the drive wipe window for the selected drive root.
void TFormMain::ButtonDriveWipeClick() { WipeVolumeRoot(SelectedDriveRoot(), true); }

// Opens the free-space wipe window for the selected drive root.
void TFormMain::ButtonFreeSpaceWipeClick() { WipeVolumeRoot(SelectedDriveRoot(), false); }

void TFormMain::WipePaths(std::vector<std::wstring> paths, const WipeChoice& choice)
{
    TFormFileWipe* window = Forms().FileWipe;
    if (paths.empty() || window == nullptr)
        return;
    window->Selection = std::move(paths);
    ForgetListing(*this);
    MethodAndRounds chosen = ChosenMethod(config_, choice);
    window->UseConfig(config_);
    window->Execute(chosen.method, chosen.rounds);
    ButtonRefreshClick();
}

bool TFormMain::WipeVolumeRoot(const std::wstring& root, bool wholeDrive, const WipeChoice& choice)
{
    TFormVolumeWipe* window = wholeDrive ? static_cast<TFormVolumeWipe*>(Forms().DriveWipe)
                                         : static_cast<TFormVolumeWipe*>(Forms().FreeSpaceWipe);
    if (root.empty() || window == nullptr)
        return false;
    if (!elevation_.IsElevated())
        return StartElevatedWipe(root, wholeDrive, choice);
    ForgetListing(*this);
    MethodAndRounds chosen = ChosenMethod(config_, choice);
    window->UseConfig(config_);
    window->Execute(root, chosen.method, chosen.rounds);
    ButtonRefreshClick();
    return false;
}

void TFormMain::UpdateElevationShields()
{
    bool elevated = elevation_.IsElevated();
    ButtonDriveWipe.SetShield(!elevated);
    ButtonFreeSpaceWipe.SetShield(!elevated);
}

// The elevated Varnox opens the window for the drive with the same method
// and rounds. Declining the system's prompt changes nothing but the log.
bool TFormMain::StartElevatedWipe(const std::wstring& root, bool wholeDrive, const WipeChoice& choice)
{
    std::wstring parameters = std::wstring(wholeDrive ? L"/drive " : L"/freespace ") + root.substr(0, 2);
    if (choice.method >= 0)
        parameters += L" /method " + std::to_wstring(choice.method);
    if (choice.rounds > 0)
        parameters += L" /rounds " + std::to_wstring(choice.rounds);
    DWORD error = elevation_.RunElevated(ExecutablePath(), parameters, Handle());
    if (error == ERROR_SUCCESS)
        return true;
    if (error == ERROR_CANCELLED) {
        log_.Add(LogCategory::Info, root, L"Log.ElevationDeclined");
        return false;
    }
    TextVariables variables;
    AddSystemError(variables, error);
    log_.Add(LogCategory::Error, root, L"Log.ElevationFailed", variables);
    language_.MessageDialog(language_.GetText(L"Log.ElevationFailed", variables), MessageDialogType::Error,
                            DialogButton::OK, Color());
    return false;
}
