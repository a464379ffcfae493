// The main window's three wipe commands. Each starts from SelectionToWipe()
// or SelectedDriveRoot() and does nothing when that is empty (no folder
// selected in the tree, or nothing wipeable in the listing). Before the wipe
// window opens, the listing's rows and the selected node's children go: the
// wipe may delete what they stand for. Afterwards the folder is read anew.
#include "settings/Vxuserconfig.h"
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

// The configured method (2 without a configuration) and its rounds (1). The
// wipe windows themselves take care of values an edited configuration may hold.
MethodAndRounds ConfiguredMethod(VxUserConfig& config)
{
    int32_t method = config.ReadInt(L"Config", L"WipeMethod", 2);
    int32_t rounds = config.ReadInt(L"Config", L"Method" + std::to_wstring(method) + L"Passes", 1);
    return {method, rounds};
}

void ForgetListing(TFormMain& main)
{
    main.ClearList();
    tk::UpdateScope<tk::TreeView> drawing(main.TV);
    main.DeleteChildNodes(main.TV.Selected());
}

void WipeVolume(TFormMain& main, TFormVolumeWipe* window, VxUserConfig& config)
{
    std::wstring root = main.SelectedDriveRoot();
    if (root.empty() || window == nullptr)
        return;
    ForgetListing(main);
    MethodAndRounds chosen = ConfiguredMethod(config);
    window->Execute(root, chosen.method, chosen.rounds);
    main.ButtonRefreshClick();
}

}  // namespace

// Opens the file wipe window for the selected files and folders.
void TFormMain::ButtonWipeClick()
{
    TFormFileWipe* window = Forms().FileWipe;
    std::vector<std::wstring> selection = SelectionToWipe();
    if (selection.empty() || window == nullptr)
        return;
    window->Selection = std::move(selection);
    ForgetListing(*this);
    MethodAndRounds chosen = ConfiguredMethod(config_);
    window->Execute(chosen.method, chosen.rounds);
    ButtonRefreshClick();
}

// Opens the drive wipe window for the selected drive root.
void TFormMain::ButtonDriveWipeClick() { WipeVolume(*this, Forms().DriveWipe, config_); }

// Opens the free-space wipe window for the selected drive root.
void TFormMain::ButtonFreeSpaceWipeClick() { WipeVolume(*this, Forms().FreeSpaceWipe, config_); }
