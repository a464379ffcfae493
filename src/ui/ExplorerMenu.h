#pragma once
// "Wipe with Varnox" in Explorer's menu: verbs of the current user under
// HKEY_CURRENT_USER\Software\Classes for files (*), folders (Directory) and
// drives (Drive), so no administrator rights are needed. Removing them
// removes exactly these keys.
#include <windows.h>
#include <string>

#include "platform/ExecutablePath.h"

class UnicodeLanguage;

// What the menu shows, in the language of the texts.
struct ExplorerMenuTexts {
    std::wstring wipe;           // files and folders
    std::wstring wipeFreeSpace;  // drives
};
ExplorerMenuTexts ExplorerMenuTextsOf(const UnicodeLanguage& language);

class ExplorerMenu {
public:
    // The verbs start `program`.
    explicit ExplorerMenu(std::wstring program = ExecutablePath());

    // The keys of the three verbs below HKEY_CURRENT_USER.
    static constexpr const wchar_t* kFilesKey = L"Software\\Classes\\*\\shell\\Varnox.Wipe";
    static constexpr const wchar_t* kFoldersKey = L"Software\\Classes\\Directory\\shell\\Varnox.Wipe";
    static constexpr const wchar_t* kDrivesKey = L"Software\\Classes\\Drive\\shell\\Varnox.WipeFreeSpace";

    // Whether the verbs are there (the verb for files decides).
    bool Installed() const;
    // The program the verb for files starts; empty when there is none.
    std::wstring InstalledProgram() const;
    // Writes the three verbs. On failure none is left: ERROR_SUCCESS or the error.
    DWORD Install(const ExplorerMenuTexts& texts);
    // Removes the three verbs; ERROR_SUCCESS also when they were not there.
    DWORD Remove();
    // At start-up: verbs that start a program which is not there any more
    // (this one has been moved) start this one again. Verbs of another copy
    // that still exists are left to it. True when they were written.
    bool FollowMovedProgram(const ExplorerMenuTexts& texts);
    // Verbs of this program take `texts` (the language has changed).
    void UpdateTexts(const ExplorerMenuTexts& texts);

    // What the verbs run. Explorer starts the one for files and folders once
    // per selected item; the starts of one selection are gathered into one.
    std::wstring FilesCommand() const;
    std::wstring DrivesCommand() const;

private:
    std::wstring program;
};
