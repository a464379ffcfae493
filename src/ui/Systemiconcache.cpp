#include "ui/Systemiconcache.h"

#include <shellapi.h>

#include "ui/Utils.h"

SystemIconCache::SystemIconCache()
{
    Initialise(false);
}

SystemIconCache::~SystemIconCache()
{
    if (imageList)
        ImageList_Destroy(imageList);
}

void SystemIconCache::Initialise(bool large)
{
    MutexHolder holder(lock);
    if (imageList && ImageList_GetImageCount(imageList) > 0)
        return;
    sizeFlag = large ? 0 : SHGFI_SMALLICON;
    SHFILEINFOW info{};
    auto systemList = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"C:\\", 0, &info, sizeof(info), sizeFlag | SHGFI_SYSICONINDEX));
    // Without a system list the icons keep the system metrics' size.
    int width = GetSystemMetrics(large ? SM_CXICON : SM_CXSMICON);
    int height = GetSystemMetrics(large ? SM_CYICON : SM_CYSMICON);
    COLORREF background = CLR_NONE;
    if (systemList) {
        ImageList_GetIconSize(systemList, &width, &height);
        background = ImageList_GetBkColor(systemList);
    }
    if (imageList)
        ImageList_Destroy(imageList);
    imageList = ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK, 16, 16);
    ImageList_SetBkColor(imageList, background);
}

int SystemIconCache::AddIcon(const SystemIconID& key, HICON icon)
{
    int index;
    {
        MutexHolder holder(lock);
        index = ImageList_AddIcon(imageList, icon);
        if (index >= 0)
            indexById[key] = index;
    }
    DestroyIcon(icon);
    return index;
}

int SystemIconCache::IndexForSystemIcon(HIMAGELIST systemList, int systemIndex)
{
    SystemIconID key{L"\\", systemIndex};
    {
        MutexHolder holder(lock);
        auto found = indexById.find(key);
        if (found != indexById.end())
            return found->second;
    }
    HICON icon = ImageList_GetIcon(systemList, systemIndex, ILD_TRANSPARENT);
    return icon ? AddIcon(key, icon) : -1;
}

int SystemIconCache::IndexForItemId(PCIDLIST_ABSOLUTE id)
{
    SHFILEINFOW info{};
    auto systemList = reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(reinterpret_cast<LPCWSTR>(id), 0, &info, sizeof(info),
                                                                  sizeFlag | SHGFI_SYSICONINDEX | SHGFI_PIDL));
    if (!systemList || info.iIcon == -1)
        return -1;
    return IndexForSystemIcon(systemList, info.iIcon);
}

int SystemIconCache::IndexForPath(const std::wstring& path)
{
    SHFILEINFOW info{};
    if (SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info), sizeFlag | SHGFI_ICONLOCATION) && info.szDisplayName[0] &&
        info.iIcon >= 0) {
        SystemIconID key{info.szDisplayName, info.iIcon};
        {
            MutexHolder holder(lock);
            auto found = indexById.find(key);
            if (found != indexById.end())
                return found->second;
        }
        HICON icon = ExtractIconW(GetModuleHandleW(nullptr), key.location.c_str(), static_cast<UINT>(key.index));
        // ExtractIcon answers 1 when the file holds no icons.
        if (!icon || icon == reinterpret_cast<HICON>(1))
            return -1;
        return AddIcon(key, icon);
    }
    info = SHFILEINFOW{};
    auto systemList = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info), sizeFlag | SHGFI_SYSICONINDEX));
    if (!systemList || info.iIcon == -1)
        return -1;
    return IndexForSystemIcon(systemList, info.iIcon);
}

void LookUpFileInfoDisplay(const std::wstring& path, int32_t& iconIndex, std::wstring& typeName)
{
    iconIndex = IconCache().IndexForPath(path);
    typeName = ShellTypeName(path);
}

std::wstring ShellTypeName(const std::wstring& path)
{
    SHFILEINFOW info{};
    return SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info), SHGFI_TYPENAME) ? info.szTypeName : L"";
}
