#pragma once
// A real main window on a branding file, a configuration, language files and
// a log of its own, all in a temporary folder, so nothing of the user's
// settings is read or written. Shared by the tests, the benchmark and the
// screenshots.
#include <functional>
#include <memory>
#include <string>

#include "log/Log.h"
#include "settings/Oem.h"
#include "settings/Unicodelanguage.h"
#include "settings/Vxuserconfig.h"
#include "support/TempDir.h"
#include "ui/MainWindow.h"

// A complete brand without pictures: settings in an INI file, a 700 x 500
// window, 70 x 56 buttons, Wipe at slot 0 ... Options at 5, Help, About and
// Exit at -3, -2, -1. `leaveOut` names a value to leave out ("Settings/ButtonWidth").
void MakeTestBrand(COEMConfig& brand, const std::string& leaveOut = std::string());

// The base language file (English texts of the main window) and, with
// `german`, 0007.LNG with German captions, in `folder`\LNG.
void WriteTestLanguageFiles(const std::wstring& folder, bool german);

// A UTF-16LE language file with a byte-order mark, from lines of text.
void WriteLanguageFile(const std::wstring& path, const std::wstring& text);

// The tree node of a file-system folder, reached from the desktop as a user
// would, expanding one level at a time; null when not found.
tk::TreeNode FindFolderNode(TFormMain& window, const std::wstring& path);

class MainWindowHarness {
public:
    // `adjust` changes the brand before it is written to the branding file.
    // Everything lies in `folder`, or in a temporary folder of the harness's
    // own (removed with it) when that is empty.
    explicit MainWindowHarness(const std::function<void(COEMConfig&)>& adjust = {},
                               const std::wstring& folder = std::wstring());
    ~MainWindowHarness();

    // Builds the window (what the program does at start-up).
    TFormMain& Start();
    TFormMain& Window() { return *window; }
    // Destroys the window as the application does after its run.
    void Stop();

    // The configuration as the next start would read it.
    int32_t ReadInt(const std::wstring& section, const std::wstring& key, int32_t defaultValue);
    void WriteInt(const std::wstring& section, const std::wstring& key, int32_t value);
    void WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value);

    tk::TreeNode NodeForPath(const std::wstring& path) { return FindFolderNode(*window, path); }

    // Full path of `name` in the harness's folder.
    std::wstring operator/(const std::wstring& name) const { return folder + L"\\" + name; }
    // Where the configuration is kept.
    std::wstring IniPath() const { return folder + L"\\Varnox\\Varnox.ini"; }

    // The application's title, which the window sets, is given back at the end.
    std::wstring savedTitle;
    std::unique_ptr<TempDir> ownFolder;
    std::wstring folder;
    std::wstring brandingPath;
    COEMConfig branding;
    VxUserConfig config{branding, folder};
    UnicodeLanguage language{folder, L"Varnox"};
    Logger log{language};
    Elevation* elevation = nullptr;  // null: the system's

private:
    std::unique_ptr<TFormMain> window;
};
