#pragma once
// A fresh folder of the test's own under the user's temporary folder (drive C:
// of the Wine prefix), removed with everything in it when the object dies.
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::wstring& Path() const { return path; }
    // Full path of `name` inside the folder.
    std::wstring operator/(const std::wstring& name) const { return path + L"\\" + name; }

    // Creates a file with the given content (and any missing parent folders
    // below the temporary folder) and returns its full path.
    std::wstring WriteFile(const std::wstring& name, const std::string& content) const;
    std::wstring MakeDir(const std::wstring& name) const;

private:
    std::wstring path;
};

// Whole content of a file, or nothing when it cannot be read.
bool ReadWholeFile(const std::wstring& path, std::string& content);
bool FileExists(const std::wstring& path);
bool DirectoryExists(const std::wstring& path);
// Removes a folder and everything below it; true when it is gone.
bool RemoveTree(const std::wstring& path);
