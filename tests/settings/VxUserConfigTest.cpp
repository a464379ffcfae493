#include <gtest/gtest.h>

#include <windows.h>
#include <winternl.h>
#include <sddl.h>

#include "settings/Oem.h"
#include "settings/Vxuserconfig.h"
#include "support/TempDir.h"

namespace {

const wchar_t* const TestKey = L"Software\\VarnoxTest\\UserConfig";

int messagesShown = 0;
void CountMessage(const wchar_t*)
{
    ++messagesShown;
}

bool SetUnterminatedString(HKEY key, const wchar_t* name, const wchar_t* text)
{
    using SetValue = LONG(WINAPI*)(HANDLE, UNICODE_STRING*, ULONG, ULONG, const void*, ULONG);
    auto setValue = reinterpret_cast<SetValue>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtSetValueKey")));
    UNICODE_STRING valueName{static_cast<USHORT>(wcslen(name) * 2), static_cast<USHORT>(wcslen(name) * 2),
                             const_cast<wchar_t*>(name)};
    return setValue && setValue(key, &valueName, 0, REG_SZ, text, static_cast<ULONG>(wcslen(text) * 2)) == 0;
}

bool KeyExists(const wchar_t* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, name, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

class UserConfigTest : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VarnoxTest"); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VarnoxTest"); }

    COEMConfig& Brand(int32_t storageType, const std::string& key = "Software\\VarnoxTest\\UserConfig")
    {
        COEMConfigGroup* settings = branding.AddGroup("Settings");
        settings->AddValue("ConfigStorageType")->SetInt(storageType);
        settings->AddValue("ConfigRegistryKey")->SetString(key);
        return branding;
    }

    // Writes and reads back through a config, as every store must.
    static void ExpectRoundTrips(VxUserConfig& config)
    {
        config.WriteInt(L"Config", L"WipeMethod", -8);
        EXPECT_EQ(config.ReadInt(L"Config", L"WipeMethod", 2), -8);
        config.WriteString(L"Config", L"LogFile", L"C:\\logs\\Varnox.log");
        EXPECT_EQ(config.ReadString(L"Config", L"LogFile", L"x"), L"C:\\logs\\Varnox.log");
        EXPECT_EQ(config.ReadInt(L"Config", L"Absent", 17), 17);
        EXPECT_EQ(config.ReadString(L"Absent", L"LogFile", L"dflt"), L"dflt");
        // Characters of no ANSI code page (Documents of "Łukasz", in Cyrillic).
        const std::wstring path = L"C:\\Users\\\x0141ukasz\\\x0414\x043e\x043a\x0443\x043c\x0435\x043d\x0442\x044b\\V.log";
        config.WriteString(L"Config", L"LogFile", path);
        EXPECT_EQ(config.ReadString(L"Config", L"LogFile", L"x"), path);
    }

    COEMConfig branding;
};

TEST_F(UserConfigTest, RegistryStoreKeepsValuesAsDwordAndUnterminatedString)
{
    VxUserConfig config(Brand(StoreRegistry));
    ExpectRoundTrips(config);
    EXPECT_EQ(config.StorageType(), StoreRegistry);

    HKEY section = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\VarnoxTest\\UserConfig\\Config", 0, KEY_ALL_ACCESS, &section),
              ERROR_SUCCESS);
    // Wine's RegSetValueExW adds a terminator of its own; the native call
    // stores exactly the given bytes, as Windows' RegSetValueExW does.
    ASSERT_TRUE(SetUnterminatedString(section, L"Raw", L"xyz"));
    EXPECT_EQ(config.ReadString(L"Config", L"Raw", L"d"), L"xyz");
    DWORD type = 0, size = 0;
    ASSERT_EQ(RegQueryValueExW(section, L"LogFile", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    ASSERT_EQ(RegQueryValueExW(section, L"WipeMethod", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));

    // A terminated string reads the same; wrong types read as the default.
    const wchar_t terminated[] = L"abc";
    RegSetValueExW(section, L"Terminated", 0, REG_SZ, reinterpret_cast<const BYTE*>(terminated), sizeof(terminated));
    DWORD number = 5;
    RegSetValueExW(section, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
    RegCloseKey(section);
    EXPECT_EQ(config.ReadString(L"Config", L"Terminated", L"d"), L"abc");
    EXPECT_EQ(config.ReadInt(L"Config", L"Terminated", 3), 3);
    EXPECT_EQ(config.ReadString(L"Config", L"Number", L"d"), L"d");
    EXPECT_EQ(config.ReadInt(L"Config", L"Number", 3), 5);
}

TEST_F(UserConfigTest, UnopenableRegistryKeyFallsBackToNothingWithOneMessage)
{
    messagesShown = 0;
    // A key name longer than the registry allows cannot be created.
    VxUserConfig config(Brand(StoreRegistry, "Software\\VarnoxTest\\" + std::string(300, 'k')));
    config.SetMessageFunction(CountMessage);
    config.WriteInt(L"Config", L"A", 1);
    EXPECT_EQ(config.ReadInt(L"Config", L"A", 9), 9);
    EXPECT_EQ(config.StorageType(), StoreNothing);
    EXPECT_EQ(messagesShown, 1);
}

// Gives `name` (below HKEY_CURRENT_USER) the access list `sddl`; the owner may always change it back.
bool SetKeyAccess(const std::wstring& name, const wchar_t* sddl)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, name.c_str(), 0, WRITE_DAC | READ_CONTROL, &key) != ERROR_SUCCESS)
        return false;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    bool done = ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr) &&
                RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
    LocalFree(descriptor);
    RegCloseKey(key);
    return done;
}

TEST_F(UserConfigTest, AKeyTheUserMayOnlyReadIsStillRead)
{
    {
        VxUserConfig config(Brand(StoreRegistry));
        config.WriteInt(L"Config", L"WipeMethod", 7);
        config.WriteString(L"Config", L"LogFile", L"C:\\kept.log");
    }
    const std::wstring section = std::wstring(TestKey) + L"\\Config";
    for (const std::wstring& name : {std::wstring(TestKey), section})
        ASSERT_TRUE(SetKeyAccess(name, L"D:P(A;;KR;;;WD)"));
    HKEY denied = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, TestKey, 0, KEY_ALL_ACCESS, &denied), ERROR_ACCESS_DENIED);

    messagesShown = 0;
    {
        VxUserConfig config(Brand(StoreRegistry));
        config.SetMessageFunction(CountMessage);
        EXPECT_EQ(config.ReadInt(L"Config", L"WipeMethod", 2), 7);
        EXPECT_EQ(config.ReadString(L"Config", L"LogFile", L""), L"C:\\kept.log");
        EXPECT_EQ(config.StorageType(), StoreRegistry);
        config.WriteInt(L"Config", L"WipeMethod", 3);  // dropped
        EXPECT_EQ(config.ReadInt(L"Config", L"WipeMethod", 2), 7);
    }
    EXPECT_EQ(messagesShown, 0);
    for (const std::wstring& name : {std::wstring(TestKey), section})
        EXPECT_TRUE(SetKeyAccess(name, L"D:P(A;;KA;;;WD)"));
}

TEST_F(UserConfigTest, AppDataIniIsCreatedAtTheFirstReadAndKeepsSigns)
{
    TempDir dir;
    VxUserConfig config(Brand(StoreAppDataIni), dir.Path());
    EXPECT_FALSE(DirectoryExists(dir / L"Varnox"));
    EXPECT_EQ(config.ReadInt(L"Config", L"Language", 0), 0);
    EXPECT_TRUE(DirectoryExists(dir / L"Varnox"));
    EXPECT_EQ(config.IniPath(), dir / L"Varnox\\Varnox.ini");
    ExpectRoundTrips(config);
    std::string content;
    ASSERT_TRUE(ReadWholeFile(config.IniPath(), content));
    std::wstring text(reinterpret_cast<const wchar_t*>(content.data()), content.size() / sizeof(wchar_t));
    EXPECT_EQ(text.substr(0, 1), L"\xFEFF");
    EXPECT_NE(text.find(L"WipeMethod=-8"), std::wstring::npos);

    // Long texts come back cut to 4095 units.
    config.WriteString(L"Config", L"Long", std::wstring(5000, L'x'));
    EXPECT_EQ(config.ReadString(L"Config", L"Long", L""), std::wstring(4095, L'x'));
}

TEST_F(UserConfigTest, AnIniFileWrittenInTheAnsiCodePageKeepsItsValuesAndTakesEveryCharacter)
{
    TempDir dir;
    dir.WriteFile(L"Varnox\\Varnox.ini", "[Config]\r\nLanguage=7\r\n");
    VxUserConfig config(Brand(StoreAppDataIni), dir.Path());
    ExpectRoundTrips(config);
    EXPECT_EQ(config.ReadInt(L"Config", L"Language", 0), 7);
}

TEST_F(UserConfigTest, AnIniFileThatCannotBeWrittenIsToldOnce)
{
    TempDir dir;
    messagesShown = 0;
    // A file stands where its folder would be made.
    VxUserConfig config(Brand(StoreAppDataIni), dir.WriteFile(L"blocked", "a file"));
    config.SetMessageFunction(CountMessage);
    config.WriteInt(L"Config", L"A", 1);
    config.WriteString(L"Config", L"B", L"text");
    EXPECT_EQ(config.ReadInt(L"Config", L"A", 9), 9);
    EXPECT_EQ(messagesShown, 1);
}

TEST_F(UserConfigTest, BareIniLivesInTheWindowsFolder)
{
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    std::wstring file = std::wstring(windows) + L"\\Varnox.ini";
    if (FileExists(file))
        GTEST_SKIP() << "a Varnox.ini of someone else's exists";
    {
        VxUserConfig config(Brand(StoreBareIni));
        ExpectRoundTrips(config);
        EXPECT_EQ(config.IniPath(), L"Varnox.ini");
    }
    EXPECT_TRUE(FileExists(file));
    DeleteFileW(file.c_str());
}

TEST_F(UserConfigTest, NothingAndUnknownTypesLeaveNoTrace)
{
    for (int32_t type : {0, 4, -1}) {
        TempDir dir;
        VxUserConfig config(Brand(type), dir.Path());
        config.WriteInt(L"Config", L"A", 1);
        config.WriteString(L"Config", L"B", L"text");
        EXPECT_EQ(config.ReadInt(L"Config", L"A", 9), 9);
        EXPECT_EQ(config.ReadString(L"Config", L"B", L"d"), L"d");
        EXPECT_FALSE(DirectoryExists(dir / L"Varnox"));
        EXPECT_FALSE(KeyExists(TestKey));
        branding.Clear();
    }
}

}  // namespace
