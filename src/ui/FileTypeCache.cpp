#include "ui/FileTypeCache.h"

#include <windows.h>
#include <shellapi.h>

#include "ui/Systemiconcache.h"

namespace {

std::wstring LowerExtension(const std::wstring& name)
{
    size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos)
        return std::wstring();
    std::wstring extension = name.substr(dot);
    CharLowerBuffW(extension.data(), static_cast<DWORD>(extension.size()));
    return extension;
}

bool RegistryText(const std::wstring& key, std::wstring& text)
{
    wchar_t buffer[MAX_PATH];
    DWORD size = sizeof(buffer);
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                     nullptr, buffer, &size) != ERROR_SUCCESS)
        return false;
    text = buffer;
    return true;
}

bool KeyExists(const std::wstring& key)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

// An icon handler, or a default icon that is the file itself ("%1").
bool ClassHasOwnIcons(const std::wstring& classKey)
{
    std::wstring icon;
    if (RegistryText(classKey + L"\\DefaultIcon", icon) && icon.find(L"%1") != std::wstring::npos)
        return true;
    return KeyExists(classKey + L"\\shellex\\IconHandler");
}

}  // namespace

bool FileTypeCache::IconPerFile(const std::wstring& extension)
{
    for (const wchar_t* own : {L".exe", L".ico", L".lnk", L".url", L".cur", L".ani"})
        if (extension == own)
            return true;
    if (extension.empty())
        return false;
    if (ClassHasOwnIcons(extension) || KeyExists(L"SystemFileAssociations\\" + extension + L"\\shellex\\IconHandler"))
        return true;
    std::wstring programId;
    return RegistryText(extension, programId) && !programId.empty() && ClassHasOwnIcons(programId);
}

bool FileTypeCache::Lookup(const std::wstring& path, const std::wstring& name, bool directory, int32_t& iconIndex,
                           std::wstring& typeName)
{
    // A folder may have an icon of its own (desktop.ini); the scan reports few of them.
    if (directory) {
        LookUpFileInfoDisplay(path, iconIndex, typeName);
        return false;
    }
    std::wstring extension = LowerExtension(name);
    auto [found, added] = byExtension_.try_emplace(extension);
    Entry& entry = found->second;
    if (added) {
        entry.perFile = IconPerFile(extension);
        // The type name is the extension's, whatever the icon; the first file
        // of a type answers for all of them.
        if (entry.perFile) {
            entry.typeName = ShellTypeName(path);
        } else {
            LookUpFileInfoDisplay(path, entry.iconIndex, entry.typeName);
        }
    }
    typeName = entry.typeName;
    iconIndex = entry.perFile ? -1 : entry.iconIndex;
    return entry.perFile;
}
