#include "settings/Vxuserconfig.h"

#include <shlobj.h>

#include <vector>

#include "settings/Oem.h"
#include "platform/Shellfolder.h"

namespace {

void ShowPlainMessage(const wchar_t* text)
{
    MessageBoxW(nullptr, text, L"", MB_OK);
}

std::wstring WidenAnsi(const std::string& text)
{
    int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(length, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

// Scoped registry key.
class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey()
    {
        if (key)
            RegCloseKey(key);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    HKEY key = nullptr;
};

// The INI file as UTF-16 with a byte-order mark; false when it cannot be made so.
bool MakeUnicodeIni(const std::wstring& file)
{
    std::string bytes;
    HANDLE existing = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (existing != INVALID_HANDLE_VALUE) {
        LARGE_INTEGER size{};
        DWORD read = 0;
        bool whole = GetFileSizeEx(existing, &size) && size.QuadPart < (1 << 24);
        bytes.resize(whole ? static_cast<size_t>(size.QuadPart) : 0);
        whole = whole && ReadFile(existing, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                read == bytes.size();
        CloseHandle(existing);
        // UTF-16 already; UTF-8 an editor made is left as it is.
        if (!whole || bytes.rfind("\xFF\xFE", 0) == 0 || bytes.rfind("\xEF\xBB\xBF", 0) == 0)
            return whole;
    } else if (GetLastError() != ERROR_FILE_NOT_FOUND) {
        return false;
    }
    std::wstring text = L"\xFEFF" + WidenAnsi(bytes);
    std::wstring temporary = file + L".new";
    HANDLE created = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                 nullptr);
    if (created == INVALID_HANDLE_VALUE)
        return false;
    DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t)), written = 0;
    bool done = WriteFile(created, text.data(), size, &written, nullptr) && written == size;
    CloseHandle(created);
    done = done && MoveFileExW(temporary.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!done)
        DeleteFileW(temporary.c_str());
    return done;
}

}  // namespace

VxUserConfig::VxUserConfig(COEMConfig& branding, std::wstring appDataFolder)
    : branding(branding), appDataFolder(std::move(appDataFolder)), showMessage(ShowPlainMessage)
{
}

VxUserConfig::~VxUserConfig()
{
    if (registryKey)
        RegCloseKey(registryKey);
}

void VxUserConfig::Initialise()
{
    initialised = true;
    storageType = branding.GetValue("Settings/ConfigStorageType").GetInt();
    switch (storageType) {
    case StoreRegistry: {
        std::wstring name = WidenAnsi(branding.GetValue("Settings/ConfigRegistryKey").GetString());
        // Reading and writing values is all the store does. A key the user may
        // only read (set by an administrator) still serves reads; writes to it
        // fail and are dropped like any failed write.
        if (RegCreateKeyExW(HKEY_CURRENT_USER, name.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                            &registryKey, nullptr) != ERROR_SUCCESS &&
            RegOpenKeyExW(HKEY_CURRENT_USER, name.c_str(), 0, KEY_READ, &registryKey) != ERROR_SUCCESS) {
            registryKey = nullptr;
            storageType = StoreNothing;
            showMessage(L"No access to registry - configuration will not be stored");
        }
        break;
    }
    case StoreAppDataIni: {
        std::wstring folder = appDataFolder.empty() ? ShellFolder(CSIDL_APPDATA).fileSystemPath : appDataFolder;
        folder += L"\\Varnox";
        SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
        iniPath = folder + L"\\Varnox.ini";
        break;
    }
    case StoreBareIni:
        iniPath = L"Varnox.ini";
        break;
    default:
        break;
    }
}

bool VxUserConfig::ReadRegistryValue(const std::wstring& section, const std::wstring& key, DWORD& type,
                                     std::string& bytes)
{
    RegistryKey subkey;
    if (RegOpenKeyExW(registryKey, section.c_str(), 0, KEY_READ, &subkey.key) != ERROR_SUCCESS) {
        subkey.key = nullptr;
        return false;
    }
    DWORD size = 0;
    if (RegQueryValueExW(subkey.key, key.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS || size == 0)
        return false;
    bytes.assign(size, '\0');
    if (RegQueryValueExW(subkey.key, key.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size) !=
        ERROR_SUCCESS)
        return false;
    bytes.resize(size);
    return true;
}

void VxUserConfig::WriteRegistryValue(const std::wstring& section, const std::wstring& key, DWORD type,
                                      const void* bytes, DWORD size)
{
    RegistryKey subkey;
    if (RegCreateKeyExW(registryKey, section.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &subkey.key, nullptr) !=
        ERROR_SUCCESS) {
        subkey.key = nullptr;
        return;
    }
    RegSetValueExW(subkey.key, key.c_str(), 0, type, static_cast<const BYTE*>(bytes), size);
}

int32_t VxUserConfig::ReadInt(const std::wstring& section, const std::wstring& key, int32_t defaultValue)
{
    if (!initialised)
        Initialise();
    if (storageType == StoreRegistry) {
        DWORD type = 0;
        std::string bytes;
        if (!ReadRegistryValue(section, key, type, bytes) || type != REG_DWORD || bytes.size() < 4)
            return defaultValue;
        int32_t value = 0;
        memcpy(&value, bytes.data(), 4);
        return value;
    }
    if (UsesIni())
        return static_cast<int32_t>(GetPrivateProfileIntW(section.c_str(), key.c_str(), defaultValue, iniPath.c_str()));
    return defaultValue;
}

void VxUserConfig::WriteInt(const std::wstring& section, const std::wstring& key, int32_t value)
{
    if (!initialised)
        Initialise();
    if (storageType == StoreRegistry)
        WriteRegistryValue(section, key, REG_DWORD, &value, sizeof(value));
    else if (UsesIni())
        WriteIniValue(section, key, std::to_wstring(value));
}

// Windows writes an INI file in the ANSI code page unless the file starts
// with a Unicode byte-order mark: every character outside that code page (a
// log path under "Łukasz") would come back as "?". So before the first write
// a missing file is made UTF-16, and one written before in the ANSI code page
// becomes UTF-16 with all it holds. A failed write (the Windows folder, where
// a bare name lies, is not the user's to write) is told once, as a registry
// that cannot be opened is.
void VxUserConfig::WriteIniValue(const std::wstring& section, const std::wstring& key, const std::wstring& value)
{
    std::wstring file = iniPath;
    if (file.find(L'\\') == std::wstring::npos) {
        wchar_t windows[MAX_PATH] = {};
        GetWindowsDirectoryW(windows, MAX_PATH);
        file = std::wstring(windows) + L"\\" + iniPath;
    }
    if (!iniUnicode)
        iniUnicode = MakeUnicodeIni(file);
    if (!WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), iniPath.c_str()) &&
        !writeFailureShown) {
        writeFailureShown = true;
        showMessage((L"No access to " + file + L" - configuration will not be stored").c_str());
    }
}

std::wstring VxUserConfig::ReadString(const std::wstring& section, const std::wstring& key,
                                      const std::wstring& defaultValue)
{
    if (!initialised)
        Initialise();
    if (storageType == StoreRegistry) {
        DWORD type = 0;
        std::string bytes;
        if (!ReadRegistryValue(section, key, type, bytes) || type != REG_SZ)
            return defaultValue;
        // Stored with or without a terminating NUL: the text ends at the
        // first NUL or at the end of the data.
        std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
        memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
        return text.substr(0, text.find(L'\0'));
    }
    if (UsesIni()) {
        std::vector<wchar_t> buffer(4096);
        GetPrivateProfileStringW(section.c_str(), key.c_str(), defaultValue.c_str(), buffer.data(),
                                 static_cast<DWORD>(buffer.size()), iniPath.c_str());
        return buffer.data();
    }
    return defaultValue;
}

void VxUserConfig::WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value)
{
    if (!initialised)
        Initialise();
    if (storageType == StoreRegistry)
        WriteRegistryValue(section, key, REG_SZ, value.data(), static_cast<DWORD>(value.size() * sizeof(wchar_t)));
    else if (UsesIni())
        WriteIniValue(section, key, value);
}

VxUserConfig& UserConfig()
{
    static VxUserConfig config(OEMConfig());
    return config;
}
