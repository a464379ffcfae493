#include "platform/Shellfolder.h"

#include <shlwapi.h>

ShellFolder::ShellFolder(int csidl) : csidl(csidl)
{
    ComRef<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.Receive())))
        return;
    if (csidl != 0) {
        if (SUCCEEDED(SHGetFolderLocation(nullptr, csidl, nullptr, 0, &absoluteId)) &&
            SUCCEEDED(desktop->BindToObject(absoluteId, nullptr, IID_IShellFolder,
                                            reinterpret_cast<void**>(folder.Receive()))))
            SHBindToParent(absoluteId, IID_IShellFolder, reinterpret_cast<void**>(parentFolder.Receive()),
                           &relativeId);
    } else {
        // The desktop cannot be bound from itself; its interface is the folder.
        folder.Share(desktop.Get());
        if (SUCCEEDED(SHGetFolderLocation(nullptr, CSIDL_DESKTOP, nullptr, 0, &absoluteId)))
            SHBindToParent(absoluteId, IID_IShellFolder, reinterpret_cast<void**>(parentFolder.Receive()),
                           &relativeId);
    }
    ReadProperties();
}

ShellFolder::ShellFolder(const ShellFolder& parent, PITEMID_CHILD relative) : csidl(-1), ownsRelativeId(true)
{
    relativeId = relative;
    parentFolder.Share(parent.folder.Get());
    if (parent.absoluteId)
        absoluteId = ILCombine(parent.absoluteId, relative);
    if (parentFolder)
        parentFolder->BindToObject(relative, nullptr, IID_IShellFolder, reinterpret_cast<void**>(folder.Receive()));
    ReadProperties();
}

ShellFolder::~ShellFolder()
{
    enumerator.Reset();
    parentFolder.Reset();
    folder.Reset();
    if (ownsRelativeId)
        CoTaskMemFree(const_cast<ITEMID_CHILD*>(relativeId));
    CoTaskMemFree(absoluteId);
}

void ShellFolder::ReadProperties()
{
    attributes = 0;
    // A child that is not a folder (a file) still has names, a path and
    // attributes; only the parent side is needed to read them.
    if (!parentFolder || !relativeId || !absoluteId)
        return;
    const struct {
        SHGDNF flags;
        std::wstring* name;
    } names[] = {{SHGDN_INFOLDER, &displayName}, {SHGDN_FORADDRESSBAR, &addressName}, {SHGDN_FORPARSING, &parsingName}};
    for (const auto& entry : names) {
        STRRET text{};
        wchar_t buffer[MAX_PATH];
        if (SUCCEEDED(parentFolder->GetDisplayNameOf(relativeId, entry.flags, &text)) &&
            SUCCEEDED(StrRetToBufW(&text, relativeId, buffer, MAX_PATH)))
            *entry.name = buffer;
    }
    wchar_t path[MAX_PATH];
    if (SHGetPathFromIDListW(absoluteId, path))
        fileSystemPath = path;
    SFGAOF requested = 0xF0CFC17F;
    PCUITEMID_CHILD items[] = {relativeId};
    attributes = SUCCEEDED(parentFolder->GetAttributesOf(1, items, &requested)) ? requested : 0;
}

bool ShellFolder::StartEnumeration(SHCONTF flags)
{
    enumerator.Reset();
    if (!folder)
        return false;
    return folder->EnumObjects(nullptr, flags, enumerator.Receive()) == S_OK;
}

ShellFolder* ShellFolder::NextChild()
{
    if (!enumerator)
        return nullptr;
    PITEMID_CHILD child = nullptr;
    if (enumerator->Next(1, &child, nullptr) == S_OK && child)
        return new ShellFolder(*this, child);
    enumerator.Reset();
    return nullptr;
}
