#pragma once
// The user's settings, by section and key, in the store the branding chooses:
// nowhere, the registry below HKEY_CURRENT_USER, or an INI file (UTF-16).
// Reads that cannot be satisfied give the caller's default; failed writes are
// dropped, and an INI file that cannot be written is told of once.
#include <windows.h>

#include <cstdint>
#include <string>

class COEMConfig;

// Numeric values are fixed: they come from the branding file.
enum ConfigStorageType : int32_t {
    StoreNothing = 0,
    StoreRegistry = 1,
    StoreAppDataIni = 2,
    StoreBareIni = 3,
};

class VxUserConfig {
public:
    // The store is chosen at the first operation, from `branding`.
    // `appDataFolder` replaces the user's application-data folder for
    // storage type 2 when not empty (tests).
    explicit VxUserConfig(COEMConfig& branding, std::wstring appDataFolder = std::wstring());
    ~VxUserConfig();
    VxUserConfig(const VxUserConfig&) = delete;
    VxUserConfig& operator=(const VxUserConfig&) = delete;

    int32_t ReadInt(const std::wstring& section, const std::wstring& key, int32_t defaultValue);
    void WriteInt(const std::wstring& section, const std::wstring& key, int32_t value);
    std::wstring ReadString(const std::wstring& section, const std::wstring& key, const std::wstring& defaultValue);
    void WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value);

    // Valid after the first operation.
    int32_t StorageType() const { return storageType; }
    const std::wstring& IniPath() const { return iniPath; }

    // Shows the one message this store ever gives; tests replace it.
    using MessageFunction = void (*)(const wchar_t* text);
    void SetMessageFunction(MessageFunction function) { showMessage = function; }

private:
    void Initialise();
    // Registry value of the section's subkey: type and bytes, or false.
    bool ReadRegistryValue(const std::wstring& section, const std::wstring& key, DWORD& type, std::string& bytes);
    void WriteRegistryValue(const std::wstring& section, const std::wstring& key, DWORD type, const void* bytes,
                            DWORD size);
    bool UsesIni() const { return storageType == StoreAppDataIni || storageType == StoreBareIni; }
    void WriteIniValue(const std::wstring& section, const std::wstring& key, const std::wstring& value);

    COEMConfig& branding;
    std::wstring appDataFolder;
    int32_t storageType = StoreNothing;
    bool initialised = false;
    HKEY registryKey = nullptr;
    std::wstring iniPath;
    MessageFunction showMessage;
    bool writeFailureShown = false;
    bool iniUnicode = false;  // the INI file was found or made UTF-16 this run
};

// The application's configuration store, reading the application's branding.
VxUserConfig& UserConfig();
