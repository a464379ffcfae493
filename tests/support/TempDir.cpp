#include "support/TempDir.h"

#include <atomic>

namespace {
std::atomic<unsigned> counter{0};
}

TempDir::TempDir()
{
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    for (;;) {
        path = std::wstring(base) + L"vxtest-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(counter++);
        if (CreateDirectoryW(path.c_str(), nullptr))
            break;
    }
}

TempDir::~TempDir()
{
    RemoveTree(path);
}

std::wstring TempDir::MakeDir(const std::wstring& name) const
{
    std::wstring full = *this / name;
    for (size_t pos = path.size() + 1; pos <= full.size(); ++pos) {
        if (pos == full.size() || full[pos] == L'\\')
            CreateDirectoryW(full.substr(0, pos).c_str(), nullptr);
    }
    return full;
}

std::wstring TempDir::WriteFile(const std::wstring& name, const std::string& content) const
{
    size_t slash = name.rfind(L'\\');
    if (slash != std::wstring::npos)
        MakeDir(name.substr(0, slash));
    std::wstring full = *this / name;
    HANDLE file = CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        if (!content.empty())
            ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        CloseHandle(file);
    }
    return full;
}

bool ReadWholeFile(const std::wstring& path, std::string& content)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    content.assign(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    bool ok = content.empty() ||
              (ReadFile(file, content.data(), static_cast<DWORD>(content.size()), &read, nullptr) &&
               read == content.size());
    CloseHandle(file);
    return ok;
}

bool FileExists(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {
// A test's files may end in a dot or a space; only the extended form of a path reaches them.
std::wstring Literal(const std::wstring& path)
{
    return path.rfind(L"\\\\", 0) == 0 ? path : L"\\\\?\\" + path;
}
}  // namespace

bool RemoveTree(const std::wstring& given)
{
    const std::wstring path = Literal(given);
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring child = path + L"\\" + name;
            // Links are removed, never followed.
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                RemoveTree(child);
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (!DeleteFileW(child.c_str()))
                    RemoveDirectoryW(child.c_str());
            }
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return RemoveDirectoryW(path.c_str()) || GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}
