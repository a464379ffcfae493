#include "ui/MainWindowHarness.h"

#include "platform/Shellfolder.h"
#include "settings/Oemutils.h"
#include "ui/toolkit/Application.h"

void MakeTestBrand(COEMConfig& brand, const std::string& leaveOut)
{
    auto add = [&](COEMConfigGroup& group, const std::string& name) {
        static COEMConfigValue* const none = nullptr;
        std::string path = (&group == &brand ? "" : group.GetName() + "/") + name;
        return path == leaveOut ? none : group.AddValue(name);
    };
    auto setInt = [](COEMConfigValue* value, int32_t number) {
        if (value != nullptr)
            value->SetInt(number);
    };
    auto setBool = [](COEMConfigValue* value, bool flag) {
        if (value != nullptr)
            value->SetBool(flag);
    };
    setBool(add(brand, "UpdateLanguageDef"), false);
    COEMConfigGroup& settings = *brand.AddGroup("Settings");
    setInt(add(settings, "ConfigStorageType"), StoreAppDataIni);
    setInt(add(settings, "DefaultWidth"), 700);
    setInt(add(settings, "DefaultHeight"), 500);
    setInt(add(settings, "ButtonWidth"), 70);
    setInt(add(settings, "ButtonHeight"), 56);
    setBool(add(settings, "FlatButtons"), true);
    setBool(add(settings, "ButtonHints"), true);
    setBool(add(settings, "SecondConfirmation"), true);
    const std::pair<const char*, int> slots[] = {
        {"ButtonWipe", 0},    {"ButtonDriveWipe", 1}, {"ButtonFreeSpaceWipe", 2}, {"ButtonRefresh", 3},
        {"ButtonLog", 4},     {"ButtonOptions", 5},   {"ButtonHelp", -3},         {"ButtonAbout", -2},
        {"ButtonExit", -1}};
    for (const auto& [button, slot] : slots)
        setInt(add(settings, std::string(button) + "Position"), slot);
}

void WriteLanguageFile(const std::wstring& path, const std::wstring& text)
{
    std::wstring crlf;
    for (wchar_t c : text) {
        if (c == L'\n')
            crlf += L'\r';
        crlf += c;
    }
    std::string bytes = "\xFF\xFE";
    bytes.append(reinterpret_cast<const char*>(crlf.data()), crlf.size() * sizeof(wchar_t));
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

void WriteTestLanguageFiles(const std::wstring& folder, bool german)
{
    CreateDirectoryW((folder + L"\\LNG").c_str(), nullptr);
    WriteLanguageFile(folder + L"\\LNG\\0000.LNG",
                      L"[MainWindow]\n"
                      L"Title=Varnox Test\n"
                      L"ButtonWipeCaption=Wipe\nButtonWipeHint=Wipe the selection\n"
                      L"ButtonDriveWipeCaption=Wipe Drive\nButtonDriveWipeHint=Wipe the drive\n"
                      L"ButtonFreeSpaceWipeCaption=Free Space\nButtonFreeSpaceWipeHint=Wipe the free space\n"
                      L"ButtonOptionsCaption=Options\nButtonOptionsHint=Settings\n"
                      L"ButtonRefreshCaption=Refresh\nButtonRefreshHint=Read again\n"
                      L"ButtonHelpCaption=Help\nButtonHelpHint=Help pages\n"
                      L"ButtonAboutCaption=About\nButtonAboutHint=About it\n"
                      L"ButtonExitCaption=Exit\nButtonExitHint=Close it\n"
                      L"ButtonLogCaption=Log\nButtonLogHint=The log\n"
                      L"ColumnName=Name\nColumnModified=Modified\nColumnType=Type\nColumnSize=Size\n"
                      L"NoFilesSelected=Nothing selected\n"
                      L"DirsSelected=Folders: $(DirCount)\n"
                      L"FilesSelected=Files: $(FileCount) ($(FileSize) bytes, $(FileSizeK))\n"
                      L"DirsAndFilesSelected=Folders: $(DirCount), files: $(FileCount) ($(FileSize) bytes, "
                      L"$(FileSizeK))\n"
                      L"ShutdownBlocked=A wipe is running\nCloseBlocked=Not while a wipe runs\n"
                      L"[Log]\nApplicationStartup=Started.\nApplicationShutdown=Closed.\n"
                      L"[Font]\nName=Tahoma\nSize=8\n");
    if (german)
        WriteLanguageFile(folder + L"\\LNG\\0007.LNG",
                          L"[MainWindow]\nTitle=Varnox Probe\nButtonWipeCaption=Löschen\n"
                          L"ButtonWipeHint=Auswahl löschen\nColumnName=Name\nColumnModified=Geändert\n"
                          L"ColumnType=Typ\nColumnSize=Größe\n[Font]\nName=Tahoma\nSize=10\n");
}

MainWindowHarness::MainWindowHarness(const std::function<void(COEMConfig&)>& adjust, const std::wstring& folder)
    : savedTitle(tk::Application::Instance().Title()),
      ownFolder(folder.empty() ? std::make_unique<TempDir>() : nullptr),
      folder(folder.empty() ? ownFolder->Path() : folder)
{
    COEMConfig brand;
    MakeTestBrand(brand);
    if (adjust)
        adjust(brand);
    brandingPath = *this / L"KESTO.OEM";
    SaveOEMFile(brandingPath, brand);
    WriteTestLanguageFiles(this->folder, true);
    language.SelectLanguage(0);
}

MainWindowHarness::~MainWindowHarness()
{
    Stop();
    tk::Application::Instance().SetTitle(savedTitle);
}

TFormMain& MainWindowHarness::Start()
{
    MainWindowSetup setup;
    setup.brandingPath = brandingPath;
    setup.branding = &branding;
    setup.config = &config;
    setup.language = &language;
    setup.log = &log;
    setup.elevation = elevation;
    window = std::make_unique<TFormMain>(setup);
    return *window;
}

void MainWindowHarness::Stop()
{
    if (window)
        window->DestroyHandle();
    window.reset();
}

int32_t MainWindowHarness::ReadInt(const std::wstring& section, const std::wstring& key, int32_t defaultValue)
{
    return config.ReadInt(section, key, defaultValue);
}

void MainWindowHarness::WriteInt(const std::wstring& section, const std::wstring& key, int32_t value)
{
    // The store is chosen from the branding at its first use: load it first.
    if (branding.Children().empty())
        LoadOEMFile(brandingPath, branding);
    config.WriteInt(section, key, value);
}

void MainWindowHarness::WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value)
{
    if (branding.Children().empty())
        LoadOEMFile(brandingPath, branding);
    config.WriteString(section, key, value);
}

namespace {

bool StartsWithFolder(const std::wstring& path, const std::wstring& folder)
{
    if (folder.empty() || path.size() <= folder.size() ||
        CompareStringOrdinal(path.c_str(), static_cast<int>(folder.size()), folder.c_str(),
                             static_cast<int>(folder.size()), TRUE) != CSTR_EQUAL)
        return false;
    return folder.back() == L'\\' || path[folder.size()] == L'\\';
}

bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// Down through the folders whose path holds the wanted one, and through
// virtual folders near the top (the computer folder) that lead to drives.
tk::TreeNode Search(tk::TreeView& tree, tk::TreeNode node, const std::wstring& path, int depth)
{
    tree.Expand(node);
    for (tk::TreeNode child = tree.FirstChild(node); child != nullptr; child = tree.NextSibling(child)) {
        ShellFolder* folder = tree.Data<ShellFolder>(child);
        if (folder != nullptr && SamePath(folder->fileSystemPath, path))
            return child;
    }
    for (tk::TreeNode child = tree.FirstChild(node); child != nullptr; child = tree.NextSibling(child)) {
        ShellFolder* folder = tree.Data<ShellFolder>(child);
        if (folder == nullptr)
            continue;
        bool virtualNearTop = folder->fileSystemPath.empty() && depth < 2 && folder->csidl == -1;
        if (StartsWithFolder(path, folder->fileSystemPath) || virtualNearTop) {
            if (tk::TreeNode found = Search(tree, child, path, depth + 1))
                return found;
        }
    }
    return nullptr;
}

}  // namespace

tk::TreeNode FindFolderNode(TFormMain& window, const std::wstring& path)
{
    return Search(window.TV, window.TV.FirstChild(nullptr), path, 0);
}
