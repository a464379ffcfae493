#pragma once
// One image list of its own holding each distinct shell icon once, shared by
// the folder tree and the lists. Used from the user-interface thread and from
// the file list builder's thread.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <map>
#include <string>

#include "platform/Mutex.h"

struct SystemIconID {
    std::wstring location;  // icon file, or "\" for the system image list
    int index = -1;

    bool operator<(const SystemIconID& other) const
    {
        return location != other.location ? location < other.location : index < other.index;
    }
};

class SystemIconCache {
public:
    SystemIconCache();
    ~SystemIconCache();
    SystemIconCache(const SystemIconCache&) = delete;
    SystemIconCache& operator=(const SystemIconCache&) = delete;

    // Chooses the icon size; no effect once an icon has been added.
    void Initialise(bool large);
    // Image list index of the icon of an absolute item identifier, -1 when none.
    int IndexForItemId(PCIDLIST_ABSOLUTE id);
    // Image list index of the icon of a file-system path, -1 when none.
    int IndexForPath(const std::wstring& path);
    HIMAGELIST ImageList() const { return imageList; }

private:
    int IndexForSystemIcon(HIMAGELIST systemList, int systemIndex);
    int AddIcon(const SystemIconID& key, HICON icon);

    Mutex lock;
    UINT sizeFlag = SHGFI_SMALLICON;
    std::map<SystemIconID, int> indexById;
    HIMAGELIST imageList = nullptr;
};

// The display lookup of a wipe target: icon index and shell type name.
void LookUpFileInfoDisplay(const std::wstring& path, int32_t& iconIndex, std::wstring& typeName);
// The shell's type name of a path ("Text Document"), "" when it has none.
std::wstring ShellTypeName(const std::wstring& path);
