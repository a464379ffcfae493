#pragma once
// The main window: the branded toolbar, the folder tree and the listing of
// the selected folder, the selection summary in the status bar. Building it
// brings up the application (branding, language, layout, log); closing it
// ends the run.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/FileTypeCache.h"
#include "ui/toolkit/Form.h"
#include "ui/toolkit/FrameControls.h"
#include "ui/toolkit/ListView.h"
#include "ui/toolkit/PictureButton.h"
#include "ui/toolkit/StdControls.h"
#include "ui/toolkit/TreeView.h"

class COEMConfig;
class Elevation;
class Logger;
class ShellFolder;
class UnicodeLanguage;
class VxUserConfig;

// What stands behind a row of the folder listing.
struct LVData {
    ShellFolder* folder = nullptr;  // the tree node's folder of a child folder the shell reported; not owned
    std::wstring path;              // full file-system path; empty for a folder without one
    int64_t size = 0;               // bytes; 0 for folders
    int iconIndex = -1;             // in the icon cache's image list
    uint64_t modified = 0;          // last write time (UTC file time), 0 when unknown
    std::wstring typeName;
};

// What the main window starts from. The program leaves everything empty: the
// branding file beside the executable and the application-wide instances.
// Tests and tools point the window at files and objects of their own.
struct MainWindowSetup {
    std::wstring brandingPath;            // empty: "KESTO.OEM" beside the executable
    COEMConfig* branding = nullptr;       // loaded from brandingPath; null: OEMConfig()
    VxUserConfig* config = nullptr;       // null: UserConfig()
    UnicodeLanguage* language = nullptr;  // null: Language()
    Logger* log = nullptr;                // null: AppLog()
    Elevation* elevation = nullptr;       // null: SystemElevation()
};

// A method and rounds named on the command line; -1 and 0 stand for the configured ones.
struct WipeChoice {
    int32_t method = -1;
    int32_t rounds = 0;
};

class TFormMain : public tk::Form {
public:
    explicit TFormMain(const MainWindowSetup& setup = {});
    ~TFormMain() override;

    tk::Panel PanelToolBar{this};
    tk::PictureButton ButtonWipe{&PanelToolBar};
    tk::PictureButton ButtonDriveWipe{&PanelToolBar};
    tk::PictureButton ButtonFreeSpaceWipe{&PanelToolBar};
    tk::PictureButton ButtonOptions{&PanelToolBar};
    tk::PictureButton ButtonRefresh{&PanelToolBar};
    tk::PictureButton ButtonLog{&PanelToolBar};
    tk::PictureButton ButtonHelp{&PanelToolBar};
    tk::PictureButton ButtonAbout{&PanelToolBar};
    tk::PictureButton ButtonExit{&PanelToolBar};
    tk::StatusBar StatusBar{this};
    tk::Panel PanelSelection{this};
    tk::TreeView TV{&PanelSelection};
    tk::Splitter SplitterHorizontal{&PanelSelection};
    tk::ListView LV{&PanelSelection};

    // Re-reads the language choice and translates the window again.
    void ApplyLanguage();
    // The wipe buttons follow what is selected in the listing.
    void UpdateToolbarButtons();
    // Status bar panel 1: what is selected, with the size of the files.
    void UpdateSelectionStatus();

    // Toolbar commands.
    void ButtonWipeClick();
    void ButtonDriveWipeClick();
    void ButtonFreeSpaceWipeClick();
    void ButtonOptionsClick();
    void ButtonRefreshClick();
    void ButtonLogClick();
    void ButtonHelpClick();
    void ButtonAboutClick();
    void ButtonExitClick();

    // The wipe commands for what the command line names. Paths go to the
    // file wipe window as the Wipe button hands on the selection. A drive
    // root goes to the drive (`wholeDrive`) or free-space window; when this
    // process is not elevated, a Varnox that is is started for it instead
    // (true once it runs).
    void WipePaths(std::vector<std::wstring> paths, const WipeChoice& choice = {});
    bool WipeVolumeRoot(const std::wstring& root, bool wholeDrive, const WipeChoice& choice = {});

    // What the wipe commands work on. Both are empty when no folder is
    // selected in the tree or nothing in the listing: a command then does
    // nothing.
    // The paths of the selected rows in list order, each once (compared
    // without regard to case), never an empty one.
    std::vector<std::wstring> SelectionToWipe() const;
    // The drive root ("C:\") when the first selected row is one, else empty.
    std::wstring SelectedDriveRoot() const;
    // The record behind a row, or null.
    LVData* RowData(int row) const { return LV.Data<LVData>(row); }
    // Empties the listing (what a wipe may destroy must not stay on show).
    void ClearList();
    // Removes every descendant of a tree node with its folder. The listing
    // is emptied first when it shows that node or one below it.
    void DeleteChildNodes(tk::TreeNode node);
    void SetBusyCursor(bool busy);
    // Whether rows of the listing still wait for an icon of their own
    // (programs, shortcuts...), which arrive a few at a time after the listing.
    bool OwnIconsPending() const { return nextOwnIcon_ < ownIcons_.size(); }

    // The tree filter: folders that lead to file-system storage, without
    // network and CD drives and without the network neighbourhood.
    bool IsBrowsable(const ShellFolder& folder) const;

private:
    // Start-up.
    void BuildControls();
    void LoadBranding(const std::wstring& path);
    void CheckRequiredBrandingValues();
    void LayOutButton(tk::PictureButton& button, const std::string& name);
    void StartSplash();
    void RestoreGeometry();
    void StartLog();
    void InitialiseTree();

    // Shutdown and the session's end.
    void TntFormShow();
    void TntFormCloseQuery(bool& canClose);
    void TntFormClose();
    void TntFormResize();
    void RunCloseSteps(bool reportFailure);
    void SaveLayout();
    bool MainWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool LoggingOn();

    // Tree and listing.
    void AddChildFolders(tk::TreeNode node);
    bool ChildrenRead(tk::TreeNode node) const;
    void ReadChildren(tk::TreeNode node);
    void TVExpanding(tk::TreeNode node, bool& allowExpansion);
    void TVChange(tk::TreeNode node);
    void ListFolder(tk::TreeNode node);
    std::unique_ptr<LVData> MakeFolderRow(ShellFolder& folder);
    std::unique_ptr<LVData> MakeFileRow(const ShellFolder& parent, const WIN32_FIND_DATAW& entry, bool& ownIcon);
    int AddRow(const std::wstring& caption, std::unique_ptr<LVData> row, bool withSize);
    void LoadOwnIcons();
    void LVDblClick();
    int FolderIcon(const ShellFolder& folder) const;

    // Selection summary.
    void LVSelectItem();

    // The drive and free-space jobs need an elevated process.
    void UpdateElevationShields();
    bool StartElevatedWipe(const std::wstring& root, bool wholeDrive, const WipeChoice& choice);

    struct Button {
        tk::PictureButton* control;
        const char* name;
    };
    // The buttons in the order they are laid out and translated.
    std::vector<Button> Buttons();

    COEMConfig& branding_;
    VxUserConfig& config_;
    UnicodeLanguage& language_;
    Logger& log_;
    Elevation& elevation_;
    bool selectionUpdatePending = false;
    std::unique_ptr<ShellFolder> networkFolder;
    bool buttonHints_ = true;
    bool splashShown_ = false;
    bool closeStepsDone_ = false;
    bool closeRefusalShown_ = false;  // one message for a burst of close requests
    FileTypeCache fileTypes_;
    // Rows (index and path) whose icon is looked up after the listing.
    std::vector<std::pair<int, std::wstring>> ownIcons_;
    size_t nextOwnIcon_ = 0;
};

// Posted by the main window to itself to refresh the selection summary once
// for a burst of selection changes.
constexpr UINT WM_SELECTION_CHANGED = WM_APP + 1;
// Posted to load the next few icons of rows that have icons of their own.
constexpr UINT WM_LOAD_OWN_ICONS = WM_APP + 2;
