#pragma once
// One item of the shell namespace (a special folder or an enumerated child):
// its names, file-system path and attributes, read once, and its children.
#include <windows.h>
#include <shlobj.h>

#include <string>

// Counted reference to a COM interface.
template <class T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() { Reset(); }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    T* Get() const { return pointer; }
    T* operator->() const { return pointer; }
    explicit operator bool() const { return pointer != nullptr; }
    // Receives a new reference from an API call.
    T** Receive()
    {
        Reset();
        return &pointer;
    }
    // Shares an existing reference.
    void Share(T* other)
    {
        if (other)
            other->AddRef();
        Reset();
        pointer = other;
    }
    void Reset()
    {
        if (pointer)
            pointer->Release();
        pointer = nullptr;
    }

private:
    T* pointer = nullptr;
};

class ShellFolder {
public:
    // From a special-folder number (CSIDL; 0 is the desktop).
    explicit ShellFolder(int csidl);
    // As a child found by enumerating `parent`; takes ownership of `relative`.
    ShellFolder(const ShellFolder& parent, PITEMID_CHILD relative);
    ~ShellFolder();
    ShellFolder(const ShellFolder&) = delete;
    ShellFolder& operator=(const ShellFolder&) = delete;

    void ReadProperties();
    // Starts a new enumeration of the children (SHCONTF_... flags); true on S_OK.
    bool StartEnumeration(SHCONTF flags);
    // The next child, owned by the caller, or null at the end.
    ShellFolder* NextChild();

    ComRef<IShellFolder> parentFolder;
    ComRef<IShellFolder> folder;          // empty when the item is no folder
    ComRef<IEnumIDList> enumerator;       // the running enumeration, if any
    PIDLIST_ABSOLUTE absoluteId = nullptr;  // owned, freed through the shell allocator
    PCUITEMID_CHILD relativeId = nullptr;   // owned only by an enumerated child
    const int csidl;                      // -1 for an enumerated child
    ULONG attributes = 0;                 // SFGAO_... flags, 0 when unreadable
    std::wstring displayName;
    std::wstring addressName;
    std::wstring parsingName;             // the item's identity
    std::wstring fileSystemPath;          // empty when it has none

private:
    bool ownsRelativeId = false;
};
