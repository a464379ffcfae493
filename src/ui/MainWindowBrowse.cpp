// The main window's folder tree and the listing of the selected folder.
#include "ui/MainWindow.h"

#include "platform/LongPath.h"
#include "platform/Shellfolder.h"
#include "settings/Unicodelanguage.h"
#include "ui/Utils.h"
#include "ui/toolkit/Scopes.h"

#include <unordered_set>

namespace {

bool IsDriveRoot(const std::wstring& path) { return path.size() == 3 && path[1] == L':' && path[2] == L'\\'; }

// A folder with file-system storage. Some shell folders claim it but have no
// path: those are virtual, or their listing would be the current directory.
bool HasFileSystemPath(const ShellFolder& folder)
{
    return (folder.attributes & SFGAO_FILESYSTEM) != 0 && !folder.fileSystemPath.empty();
}

// File names compare without regard to case.
std::wstring NameKey(std::wstring name)
{
    CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
    return name;
}

// What the directory scan calls a child folder: its name on disk. The shell's
// display name may be a translation ("Documents" for "Dokumente").
std::wstring ScanName(const ShellFolder& folder)
{
    if (!HasFileSystemPath(folder))
        return folder.displayName;
    std::wstring path = folder.fileSystemPath;
    while (path.size() > 1 && path.back() == L'\\')
        path.pop_back();
    return path.substr(path.rfind(L'\\') + 1);
}

uint64_t FileTimeValue(const FILETIME& time)
{
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

void TFormMain::SetBusyCursor(bool busy) { SetBusy(busy); }

int TFormMain::FolderIcon(const ShellFolder& folder) const
{
    int index = IconCache().IndexForItemId(folder.absoluteId);
    return index != -1 ? index : IconCache().IndexForPath(folder.parsingName);
}

bool TFormMain::IsBrowsable(const ShellFolder& folder) const
{
    if (!(folder.attributes & SFGAO_FILESYSANCESTOR))
        return false;
    if (IsDriveRoot(folder.fileSystemPath)) {
        UINT type = GetDriveTypeW(folder.fileSystemPath.c_str());
        if (type == DRIVE_NO_ROOT_DIR || type == DRIVE_REMOTE || type == DRIVE_CDROM)
            return false;
    }
    return networkFolder == nullptr || folder.parsingName != networkFolder->parsingName;
}

void TFormMain::InitialiseTree()
{
    TV.SetImages(IconCache().ImageList());
    LV.SetSmallImages(IconCache().ImageList());
    networkFolder = std::make_unique<ShellFolder>(CSIDL_NETWORK);
    auto desktop = std::make_unique<ShellFolder>(CSIDL_DESKTOP);
    int image = FolderIcon(*desktop);
    std::wstring name = desktop->displayName;
    tk::TreeNode root = TV.AddChild(nullptr, name, std::move(desktop), image, image);
    AddChildFolders(root);
    TV.Expand(root);
    // Until something is listed the wipe buttons must not offer anything.
    UpdateToolbarButtons();
}

void TFormMain::AddChildFolders(tk::TreeNode node)
{
    ShellFolder* folder = TV.Data<ShellFolder>(node);
    if (folder == nullptr || !folder->folder)
        return;
    folder->StartEnumeration(SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN);
    while (ShellFolder* found = folder->NextChild()) {
        std::unique_ptr<ShellFolder> child(found);
        if (!IsBrowsable(*child))
            continue;
        int image = FolderIcon(*child);
        bool hasSubfolders = (child->attributes & SFGAO_HASSUBFOLDER) != 0;
        std::wstring name = child->displayName;
        tk::TreeNode added = TV.AddChild(node, name, std::move(child), image, image);
        if (added != nullptr && hasSubfolders)
            TV.AddPlaceholder(added);
    }
}

bool TFormMain::ChildrenRead(tk::TreeNode node) const
{
    tk::TreeNode first = TV.FirstChild(node);
    return first != nullptr && !TV.IsPlaceholder(first);
}

void TFormMain::ReadChildren(tk::TreeNode node)
{
    if (ChildrenRead(node))
        return;
    if (tk::TreeNode placeholder = TV.FirstChild(node))
        TV.DeleteNode(placeholder);
    AddChildFolders(node);
}

void TFormMain::TVExpanding(tk::TreeNode node, bool& allowExpansion)
{
    tk::BusyScope busy(*this);
    ReadChildren(node);
    allowExpansion = true;
}

void TFormMain::TVChange(tk::TreeNode node)
{
    if (node == nullptr)
        return;
    ShellFolder* folder = TV.Data<ShellFolder>(node);
    {
        tk::BusyScope busy(*this);
        ReadChildren(node);
        StatusBar.SetPanelText(0, L"Scanning " + TV.NodeText(node));
        ListFolder(node);
        if (folder != nullptr)
            StatusBar.SetPanelText(0, HasFileSystemPath(*folder) ? folder->fileSystemPath : folder->displayName);
    }
    UpdateToolbarButtons();
    UpdateSelectionStatus();
}

int TFormMain::AddRow(const std::wstring& caption, std::unique_ptr<LVData> row, bool withSize)
{
    std::wstring modified = row->modified != 0 ? FormatFileTime(row->modified) : std::wstring();
    std::wstring type = row->typeName;
    std::wstring size = withSize ? FormatSizeKB(row->size) : std::wstring();
    int image = row->iconIndex;
    int index = LV.AddItem(caption, std::move(row), image);
    if (index < 0)
        return index;
    if (!modified.empty())
        LV.SetSubItem(index, 1, modified);
    if (!type.empty())
        LV.SetSubItem(index, 2, type);
    if (!size.empty())
        LV.SetSubItem(index, 3, size);
    return index;
}

void TFormMain::ListFolder(tk::TreeNode node)
{
    ShellFolder* folder = TV.Data<ShellFolder>(node);
    tk::UpdateScope<tk::ListView> drawing(LV);
    ClearList();
    fileTypes_.Clear();
    // A sub-folder that both the shell and the directory scan report is listed once.
    std::unordered_set<std::wstring> listed;
    for (tk::TreeNode child = TV.FirstChild(node); child != nullptr; child = TV.NextSibling(child)) {
        ShellFolder* childFolder = TV.Data<ShellFolder>(child);
        if (childFolder == nullptr)
            continue;
        listed.insert(NameKey(ScanName(*childFolder)));
        AddRow(childFolder->displayName, MakeFolderRow(*childFolder), false);
    }
    if (folder == nullptr || !HasFileSystemPath(*folder))
        return;
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileExW(ExtendedPath(folder->fileSystemPath + L"\\*.*").c_str(), FindExInfoBasic, &entry,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        bool directory = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (directory && !listed.insert(NameKey(name)).second)
            continue;
        bool ownIcon = false;
        std::unique_ptr<LVData> row = MakeFileRow(*folder, entry, ownIcon);
        std::wstring path = ownIcon ? row->path : std::wstring();
        int index = AddRow(name, std::move(row), !directory);
        if (ownIcon && index >= 0)
            ownIcons_.emplace_back(index, std::move(path));
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    if (OwnIconsPending())
        PostMessageW(Handle(), WM_LOAD_OWN_ICONS, 0, 0);
}

// A few at a time, so the window answers the user meanwhile.
void TFormMain::LoadOwnIcons()
{
    DWORD start = GetTickCount();
    while (OwnIconsPending() && GetTickCount() - start < 30) {
        const auto& [index, path] = ownIcons_[nextOwnIcon_++];
        LVData* row = RowData(index);
        if (row == nullptr || row->path != path)
            continue;
        row->iconIndex = IconCache().IndexForPath(path);
        LVITEMW item{};
        item.mask = LVIF_IMAGE;
        item.iItem = index;
        item.iImage = row->iconIndex;
        SendMessageW(LV.Handle(), LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    if (OwnIconsPending())
        PostMessageW(Handle(), WM_LOAD_OWN_ICONS, 0, 0);
}

std::unique_ptr<LVData> TFormMain::MakeFolderRow(ShellFolder& folder)
{
    auto row = std::make_unique<LVData>();
    row->folder = &folder;
    row->iconIndex = FolderIcon(folder);
    if (HasFileSystemPath(folder)) {
        row->path = folder.fileSystemPath;
        row->typeName = ShellTypeName(row->path);
        // A folder is found by its own name, without a closing backslash.
        std::wstring self = row->path;
        while (self.size() > 3 && self.back() == L'\\')
            self.pop_back();
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW(ExtendedPath(self).c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            row->modified = FileTimeValue(found.ftLastWriteTime);
            FindClose(search);
        }
    }
    return row;
}

std::unique_ptr<LVData> TFormMain::MakeFileRow(const ShellFolder& parent, const WIN32_FIND_DATAW& entry,
                                               bool& ownIcon)
{
    auto row = std::make_unique<LVData>();
    row->path = parent.fileSystemPath;
    if (row->path.empty() || row->path.back() != L'\\')
        row->path += L'\\';
    row->path += entry.cFileName;
    row->size = static_cast<int64_t>((static_cast<uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow);
    row->modified = FileTimeValue(entry.ftLastWriteTime);
    int32_t icon = -1;
    ownIcon = fileTypes_.Lookup(row->path, entry.cFileName, (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                                icon, row->typeName);
    row->iconIndex = icon;
    return row;
}

void TFormMain::LVDblClick()
{
    std::vector<int> selected = LV.SelectedRows();
    if (selected.empty())
        return;
    LVData* row = RowData(selected.front());
    if (row == nullptr || row->folder == nullptr)
        return;
    // Selecting the node lists it anew, which releases this row.
    std::wstring wanted = row->folder->parsingName;
    tk::BusyScope busy(*this);
    tk::TreeNode parent = TV.Selected();
    if (parent == nullptr)
        return;
    ReadChildren(parent);
    for (tk::TreeNode child = TV.FirstChild(parent); child != nullptr; child = TV.NextSibling(child)) {
        ShellFolder* folder = TV.Data<ShellFolder>(child);
        if (folder != nullptr && folder->parsingName == wanted) {
            TV.Select(child);
            return;
        }
    }
}

void TFormMain::ClearList()
{
    tk::UpdateScope<tk::ListView> drawing(LV);
    LV.Clear();
    ownIcons_.clear();
    nextOwnIcon_ = 0;
}

void TFormMain::DeleteChildNodes(tk::TreeNode node)
{
    if (node == nullptr)
        return;
    // The rows of the listing point at the folders of the listed node's children.
    for (tk::TreeNode shown = TV.Selected(); shown != nullptr; shown = TV.ParentNode(shown)) {
        if (shown == node) {
            ClearList();
            break;
        }
    }
    TV.DeleteChildren(node);
}

void TFormMain::ButtonRefreshClick()
{
    tk::TreeNode node = TV.Selected();
    if (node == nullptr)
        return;
    tk::BusyScope busy(*this);
    // The rows go before the folders they point at.
    ClearList();
    tk::UpdateScope<tk::TreeView> drawing(TV);
    DeleteChildNodes(node);
    AddChildFolders(node);
    TV.Select(nullptr);
    TV.Select(node);
}

std::vector<std::wstring> TFormMain::SelectionToWipe() const
{
    std::vector<std::wstring> paths;
    if (TV.Selected() == nullptr)
        return paths;
    std::unordered_set<std::wstring> added;
    for (int row : LV.SelectedRows()) {
        const LVData* data = RowData(row);
        // A folder without a path is virtual: nothing of it can be wiped.
        if (data == nullptr || data->path.empty() || !added.insert(NameKey(data->path)).second)
            continue;
        paths.push_back(data->path);
    }
    return paths;
}

std::wstring TFormMain::SelectedDriveRoot() const
{
    if (TV.Selected() == nullptr)
        return std::wstring();
    std::vector<int> selected = LV.SelectedRows();
    if (selected.empty())
        return std::wstring();
    const LVData* data = RowData(selected.front());
    if (data == nullptr || data->size != 0 || !IsDriveRoot(data->path))
        return std::wstring();
    return data->path;
}

void TFormMain::LVSelectItem()
{
    // The list reports every row whose state changed; one refresh serves them all.
    if (selectionUpdatePending)
        return;
    selectionUpdatePending = true;
    PostMessageW(Handle(), WM_SELECTION_CHANGED, 0, 0);
}

void TFormMain::UpdateToolbarButtons()
{
    bool any = false;
    int roots = 0;
    for (int row : LV.SelectedRows()) {
        const LVData* data = RowData(row);
        if (data == nullptr)
            continue;
        if (data->folder == nullptr) {
            any = true;
            continue;
        }
        // A virtual folder spoils the whole selection.
        if (!HasFileSystemPath(*data->folder)) {
            any = false;
            roots = 0;
            break;
        }
        any = true;
        if (IsDriveRoot(data->folder->fileSystemPath))
            ++roots;
    }
    ButtonFreeSpaceWipe.SetEnabled(roots == 1);
    ButtonDriveWipe.SetEnabled(roots == 1);
    ButtonWipe.SetEnabled(any && roots == 0);
    ButtonRefresh.SetEnabled(TV.Selected() != nullptr);
}

void TFormMain::UpdateSelectionStatus()
{
    int64_t folders = 0, files = 0, total = 0;
    for (int row : LV.SelectedRows()) {
        const LVData* data = RowData(row);
        if (data != nullptr && data->folder != nullptr) {
            ++folders;
        } else {
            ++files;
            total += data != nullptr ? data->size : 0;
        }
    }
    TextVariables variables;
    std::wstring key;
    if (folders == 0 && files == 0) {
        key = L"MainWindow.NoFilesSelected";
    } else {
        if (folders > 0)
            variables[L"DirCount"] = std::to_wstring(folders);
        if (files > 0) {
            variables[L"FileCount"] = std::to_wstring(files);
            variables[L"FileSize"] = std::to_wstring(total);
            variables[L"FileSizeK"] = FormatSizeKB(total);
        }
        key = files == 0 ? L"MainWindow.DirsSelected"
              : folders == 0 ? L"MainWindow.FilesSelected"
                             : L"MainWindow.DirsAndFilesSelected";
    }
    StatusBar.SetPanelText(1, language_.GetText(key, variables));
}
