#include "ui/ExplorerMenu.h"

#include <shellapi.h>
#include <shlobj.h>

#include "settings/Unicodelanguage.h"
#include "ui/CommandLine.h"

namespace {

DWORD SetText(HKEY key, const wchar_t* name, const std::wstring& value)
{
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

struct Verb {
    const wchar_t* key;
    const std::wstring* text;
    std::wstring command;
    const wchar_t* selectionModel;  // how many selected items show the verb
    bool shield;                    // the job needs an elevated Varnox
};

DWORD WriteVerb(const Verb& verb, const std::wstring& icon)
{
    HKEY key = nullptr;
    DWORD error = RegCreateKeyExW(HKEY_CURRENT_USER, verb.key, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    if (error != ERROR_SUCCESS)
        return error;
    for (const auto& [name, value] : {std::pair<const wchar_t*, std::wstring>{nullptr, *verb.text},
                                      {L"Icon", icon},
                                      {L"MultiSelectModel", verb.selectionModel}})
        if (error == ERROR_SUCCESS)
            error = SetText(key, name, value);
    if (error == ERROR_SUCCESS && verb.shield)
        error = SetText(key, L"HasLUAShield", std::wstring());
    HKEY command = nullptr;
    if (error == ERROR_SUCCESS)
        error = RegCreateKeyExW(key, L"command", 0, nullptr, 0, KEY_WRITE, nullptr, &command, nullptr);
    if (error == ERROR_SUCCESS) {
        error = SetText(command, nullptr, verb.command);
        RegCloseKey(command);
    }
    RegCloseKey(key);
    return error;
}

std::wstring ReadDefault(const std::wstring& path)
{
    wchar_t value[2048] = {};
    DWORD size = sizeof(value) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return std::wstring();
    return value;
}

}  // namespace

ExplorerMenuTexts ExplorerMenuTextsOf(const UnicodeLanguage& language)
{
    return {language.GetText(L"ExplorerMenu.Wipe"), language.GetText(L"ExplorerMenu.WipeFreeSpace")};
}

ExplorerMenu::ExplorerMenu(std::wstring program) : program(std::move(program)) {}

std::wstring ExplorerMenu::FilesCommand() const
{
    // "%1" quoted: paths hold spaces. Explorer never hands a folder with a
    // closing backslash, which would escape the quote.
    return QuoteArgument(program) + L" /explorer \"%1\"";
}

std::wstring ExplorerMenu::DrivesCommand() const
{
    // A drive arrives as "C:\": quoted, its backslash would escape the quote.
    return QuoteArgument(program) + L" /freespace %1";
}

bool ExplorerMenu::Installed() const { return !ReadDefault(std::wstring(kFilesKey) + L"\\command").empty(); }

std::wstring ExplorerMenu::InstalledProgram() const
{
    std::wstring command = ReadDefault(std::wstring(kFilesKey) + L"\\command");
    if (command.empty())
        return std::wstring();
    int count = 0;
    wchar_t** split = CommandLineToArgvW(command.c_str(), &count);
    std::wstring installed = split != nullptr && count > 0 ? split[0] : L"";
    LocalFree(split);
    return installed;
}

DWORD ExplorerMenu::Install(const ExplorerMenuTexts& texts)
{
    const std::wstring icon = QuoteArgument(program) + L",0";
    const Verb verbs[] = {{kFilesKey, &texts.wipe, FilesCommand(), L"Player", false},
                          {kFoldersKey, &texts.wipe, FilesCommand(), L"Player", false},
                          {kDrivesKey, &texts.wipeFreeSpace, DrivesCommand(), L"Single", true}};
    for (const Verb& verb : verbs) {
        DWORD error = WriteVerb(verb, icon);
        if (error != ERROR_SUCCESS) {
            Remove();
            return error;
        }
    }
    // Open Explorer windows read the verbs anew.
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return ERROR_SUCCESS;
}

DWORD ExplorerMenu::Remove()
{
    DWORD result = ERROR_SUCCESS;
    for (const wchar_t* key : {kFilesKey, kFoldersKey, kDrivesKey}) {
        DWORD error = RegDeleteTreeW(HKEY_CURRENT_USER, key);
        if (error == ERROR_SUCCESS)
            error = RegDeleteKeyW(HKEY_CURRENT_USER, key);
        if (error != ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND && result == ERROR_SUCCESS)
            result = error;
    }
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return result;
}

bool ExplorerMenu::FollowMovedProgram(const ExplorerMenuTexts& texts)
{
    std::wstring installed = InstalledProgram();
    if (installed.empty() || CompareStringOrdinal(installed.c_str(), -1, program.c_str(), -1, TRUE) == CSTR_EQUAL)
        return false;
    if (GetFileAttributesW(installed.c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    return Install(texts) == ERROR_SUCCESS;
}

void ExplorerMenu::UpdateTexts(const ExplorerMenuTexts& texts)
{
    std::wstring installed = InstalledProgram();
    if (!installed.empty() && CompareStringOrdinal(installed.c_str(), -1, program.c_str(), -1, TRUE) == CSTR_EQUAL)
        Install(texts);
}
