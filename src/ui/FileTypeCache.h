#pragma once
// Icons and shell type names of the files of a folder listing, looked up once
// per extension: the shell's answer is the same for every file of a type.
// Types whose icon is the file's own (programs, icons, shortcuts, cursors,
// and any type whose icon comes from a handler or from the file itself) need
// a lookup per file, which reads the file and can take many milliseconds: the
// caller makes it later, row by row (IconCache().IndexForPath).
#include <cstdint>
#include <string>
#include <unordered_map>

class FileTypeCache {
public:
    // Forgets every type (a new listing sees changed file associations).
    void Clear() { byExtension_.clear(); }
    // Fills the type name and, unless the file has an icon of its own (the
    // result is then true and the icon -1), the icon.
    bool Lookup(const std::wstring& path, const std::wstring& name, bool directory, int32_t& iconIndex,
                std::wstring& typeName);

    // Whether files with this extension (".exe", lower case) each have an icon of their own.
    static bool IconPerFile(const std::wstring& extension);

private:
    struct Entry {
        bool perFile = false;
        bool known = false;
        int32_t iconIndex = -1;
        std::wstring typeName;
    };
    std::unordered_map<std::wstring, Entry> byExtension_;
};
