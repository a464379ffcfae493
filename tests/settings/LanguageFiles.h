#pragma once
// Writes language files for tests: UTF-16LE with a byte-order mark, as the
// shipped files are.
#include <string>
#include "support/TempDir.h"

inline std::wstring WriteLanguageFile(const TempDir& dir, const std::wstring& name, const std::wstring& content)
{
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : content) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    return dir.WriteFile(name, bytes);
}
