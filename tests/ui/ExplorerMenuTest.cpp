// Explorer's verbs in the test prefix's registry: what they hold, that their
// commands give back the selection they were started for, that removing them
// removes nothing else, that they follow a moved program, and the option
// that writes and removes them.
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <thread>

#include "AuxWindowTest.h"
#include "platform/ExecutablePath.h"
#include "platform/StartGathering.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"
#include "ui/CommandLine.h"
#include "ui/ExplorerMenu.h"
#include "ui/OptionsWindow.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/TestDriver.h"

namespace {

std::wstring Value(const std::wstring& key, const wchar_t* name)
{
    wchar_t value[1024] = {};
    DWORD size = sizeof(value) - sizeof(wchar_t);
    return RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) == ERROR_SUCCESS
               ? value
               : L"<absent>";
}

bool KeyExists(const std::wstring& key)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

// What Explorer runs for a verb: its command with %1 replaced by the item.
std::wstring Started(const std::wstring& verbKey, const std::wstring& item)
{
    std::wstring command = Value(verbKey + L"\\command", nullptr);
    size_t at = command.find(L"%1");
    return at == std::wstring::npos ? command : command.replace(at, 2, item);
}

class ExplorerMenuTest : public ::testing::Test {
protected:
    ~ExplorerMenuTest() override
    {
        ExplorerMenu().Remove();
        RegDeleteTreeW(HKEY_CURRENT_USER, kNeighbour);
    }
    static constexpr const wchar_t* kNeighbour = L"Software\\Classes\\Drive\\shell\\SomeoneElse";
};

}  // namespace

TEST_F(ExplorerMenuTest, VerbsStartOneVarnoxForTheSelectionAndGoWithoutTakingAnythingElse)
{
    const std::wstring program = L"C:\\Program Files\\Varnox Tools\\Varnox.exe";
    RegSetKeyValueW(HKEY_CURRENT_USER, kNeighbour, nullptr, REG_SZ, L"x", 4);
    ExplorerMenu menu(program);
    ASSERT_EQ(menu.Install({L"Wipe it", L"Free it"}), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_TRUE(menu.Installed());
    EXPECT_EQ(menu.InstalledProgram(), program);

    struct Verb {
        const wchar_t* key;
        const wchar_t* text;
        const wchar_t* model;
        std::wstring item;
        StartMode mode;
    };
    for (const Verb& verb : {Verb{ExplorerMenu::kFilesKey, L"Wipe it", L"Player", L"C:\\My Files\\a b.txt", StartMode::FilesWindow},
                             Verb{ExplorerMenu::kFoldersKey, L"Wipe it", L"Player", L"C:\\My Files\\sub dir", StartMode::FilesWindow},
                             Verb{ExplorerMenu::kDrivesKey, L"Free it", L"Single", L"D:\\", StartMode::FreeSpaceWindow}}) {
        SCOPED_TRACE(testing::Message() << std::string(verb.item.begin(), verb.item.end()));
        EXPECT_EQ(Value(verb.key, nullptr), verb.text);
        EXPECT_EQ(Value(verb.key, L"MultiSelectModel"), verb.model);
        EXPECT_EQ(Value(verb.key, L"Icon"), L"\"" + program + L"\",0");
        std::wstring started = Started(verb.key, verb.item);
        int count = 0;
        wchar_t** split = CommandLineToArgvW(started.c_str(), &count);
        ASSERT_GT(count, 0);
        EXPECT_EQ(std::wstring(split[0]), program);
        LocalFree(split);
        StartRequest request = ParseCommandLine(SplitCommandLine(started));
        EXPECT_EQ(request.mode, verb.mode);
        if (verb.mode == StartMode::FilesWindow) {
            EXPECT_EQ(request.paths, std::vector<std::wstring>{verb.item});
            EXPECT_TRUE(request.fromExplorer);
        } else {
            EXPECT_EQ(request.root, verb.item);
        }
    }

    ASSERT_EQ(menu.Remove(), static_cast<DWORD>(ERROR_SUCCESS));
    for (const wchar_t* key : {ExplorerMenu::kFilesKey, ExplorerMenu::kFoldersKey, ExplorerMenu::kDrivesKey})
        EXPECT_FALSE(KeyExists(key));
    EXPECT_TRUE(KeyExists(kNeighbour));
    EXPECT_FALSE(menu.Installed());
}

TEST_F(ExplorerMenuTest, StartUpPointsTheVerbsOfAMovedProgramAtThisOneAndLeavesAnotherCopysAlone)
{
    TempDir folder;
    const std::wstring here = folder.WriteFile(L"new\\Varnox.exe", "MZ");
    const std::wstring otherCopy = folder.WriteFile(L"copy\\Varnox.exe", "MZ");
    const ExplorerMenuTexts texts{L"Wipe", L"Free"};
    ExplorerMenu(otherCopy).Install(texts);
    EXPECT_FALSE(ExplorerMenu(here).FollowMovedProgram(texts));
    EXPECT_EQ(ExplorerMenu().InstalledProgram(), otherCopy);
    ExplorerMenu(folder / L"gone\\Varnox.exe").Install(texts);
    EXPECT_TRUE(ExplorerMenu(here).FollowMovedProgram(texts));
    EXPECT_EQ(ExplorerMenu().InstalledProgram(), here);
    EXPECT_NE(Started(ExplorerMenu::kDrivesKey, L"E:\\").find(here), std::wstring::npos);
}

namespace {

class ExplorerMenuOption : public AuxWindowTest {
protected:
    ~ExplorerMenuOption() override { ExplorerMenu().Remove(); }
    // One showing of the options: the box as it was shown, then clicked or not, then OK.
    bool Show(bool click)
    {
        bool shownChecked = false;
        tk::Application::Instance().QueueModalAction([&](tk::Form&) {
            shownChecked = options.CBExplorerMenu.Checked();
            if (click) {
                EXPECT_TRUE(tk::Press(options.CBExplorerMenu));
            }
            EXPECT_TRUE(tk::Press(options.ButtonOK));
        });
        EXPECT_TRUE(options.Execute());
        return shownChecked;
    }
    TFormOptions options{*config, *language, *log};
};

}  // namespace

TEST_F(ExplorerMenuOption, TheBoxShowsWhetherTheVerbsAreThereAndOKWritesOrRemovesThem)
{
    EXPECT_FALSE(Show(true));
    EXPECT_EQ(ExplorerMenu().InstalledProgram(), ExecutablePath());
    EXPECT_EQ(Value(ExplorerMenu::kFilesKey, nullptr), language->GetText(L"ExplorerMenu.Wipe"));
    EXPECT_TRUE(Show(false));
    EXPECT_TRUE(ExplorerMenu().Installed());
    EXPECT_TRUE(Show(true));
    EXPECT_FALSE(ExplorerMenu().Installed());
    EXPECT_FALSE(KeyExists(ExplorerMenu::kDrivesKey));
}

// Explorer starts Varnox once per selected item. Here the test gathers and
// three child processes, each with an item of its own, hand theirs over.
TEST(StartGathering, TheStartsOfOneSelectionEndUpInOneAndNoItemIsLost)
{
    wchar_t meeting[64] = {};
    if (GetEnvironmentVariableW(L"VARNOX_GATHERING", meeting, 64) > 0)
        ExitProcess(GatherStarts(meeting, {L"item " + std::to_wstring(GetCurrentProcessId())}).empty() ? 0 : 1);
    const std::wstring name = L"VarnoxTest.Gathering." + std::to_wstring(GetCurrentProcessId());
    std::vector<std::wstring> gathered;
    GatheringTimes times;
    times.quietMs = 6000;  // a process start under Wine takes seconds
    times.longestMs = 60000;
    std::thread gatherer([&] { gathered = GatherStarts(name, {L"first"}, times); });
    Sleep(300);
    SetEnvironmentVariableW(L"VARNOX_GATHERING", name.c_str());
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring exe = std::wstring(self).rfind(L"unix\\", 0) == 0 ? L"\\\\?\\" + std::wstring(self) : self;
    TempDir folder;
    std::vector<std::unique_ptr<ProgramRun>> starts;
    for (int i = 0; i < 3; ++i)
        starts.push_back(std::make_unique<ProgramRun>(L"\"" + exe + L"\" --gtest_filter=StartGathering.*", folder.Path(),
                                                      folder / (L"out" + std::to_wstring(i) + L".txt")));
    SetEnvironmentVariableW(L"VARNOX_GATHERING", nullptr);
    for (auto& start : starts)
        EXPECT_EQ(start->Wait(60000).exitCode, 0u) << "a start went on alone";
    gatherer.join();
    ASSERT_EQ(gathered.size(), 4u);
    EXPECT_EQ(gathered.front(), L"first");
}
