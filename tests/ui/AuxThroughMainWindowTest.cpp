// The options, log, help and about windows opened from the main window's
// toolbar as a user opens them, and the splash the main window shows while
// it is built.
#include <gtest/gtest.h>

#include <objbase.h>

#include "AuxWindowTest.h"
#include "ui/AboutWindow.h"
#include "ui/Forms.h"
#include "ui/HelpWindow.h"
#include "ui/LogWindow.h"
#include "ui/MainWindowHarness.h"
#include "ui/OptionsWindow.h"
#include "ui/Splash.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/TestDriver.h"

using tk::Application;
using tk::Press;

namespace {

std::wstring ColumnCaption(tk::ListView& list, int column)
{
    wchar_t text[64] = {};
    LVCOLUMNW info{};
    info.mask = LVCF_TEXT;
    info.pszText = text;
    info.cchTextMax = 64;
    SendMessageW(list.Handle(), LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&info));
    return text;
}

void SetBrandInt(COEMConfig& brand, const std::string& path, int32_t value)
{
    if (COEMConfigValue* existing = brand.FindValue(path)) {
        existing->SetInt(value);
        return;
    }
    auto settings = brand.Groups().find("Settings");
    settings->second->AddValue(path.substr(path.find('/') + 1))->SetInt(value);
}

// A splash picture shown for `displayMs`.
std::function<void(COEMConfig&)> SplashFor(int32_t displayMs)
{
    return [displayMs](COEMConfig& brand) {
        AddTestPicture(brand, "Splash", 240, 160);
        SetBrandInt(brand, "Settings/SplashDisplayMS", displayMs);
        SetBrandInt(brand, "Settings/SplashRounding", 16);
    };
}

class AuxThroughMainWindow : public ::testing::Test {
protected:
    void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override
    {
        Forms() = ApplicationForms{};
        Application::Instance().SetMainForm(nullptr);
        Application::Instance().ClearModalActions();
        tk::WebBrowser::SetNavigateHook(nullptr);
        HideSplash();
        CoUninitialize();
    }

    // Starts the main window as the program does and fills the window table.
    TFormMain& Start(MainWindowHarness& harness)
    {
        TFormMain& window = harness.Start();
        Forms().Main = &window;
        Application::Instance().SetMainForm(&window);
        window.Show();
        return window;
    }
};

}  // namespace

TEST_F(AuxThroughMainWindow, OptionsOkTranslatesTheMainWindowWithoutARestart)
{
    MainWindowHarness harness;
    TFormMain& window = Start(harness);
    TFormOptions options(harness.config, harness.language, harness.log);
    Forms().Options = &options;
    ASSERT_EQ(window.Caption(), L"Varnox Test");

    // Cancel changes nothing.
    Application::Instance().QueueModalAction([&](tk::Form&) {
        EXPECT_TRUE(ChooseEntry(options.CBLanguage, 1));
        EXPECT_TRUE(Press(options.ButtonCancel));
    });
    EXPECT_TRUE(Press(window.ButtonOptions));
    EXPECT_EQ(window.Caption(), L"Varnox Test");
    EXPECT_EQ(window.ButtonWipe.Caption(), L"Wipe");

    Application::Instance().QueueModalAction([&](tk::Form& shown) {
        EXPECT_EQ(&shown, &options);
        ASSERT_EQ(options.CBLanguage.ItemData(1), 0x0007);
        EXPECT_TRUE(ChooseEntry(options.CBLanguage, 1));
        EXPECT_TRUE(Press(options.ButtonOK));
    });
    EXPECT_TRUE(Press(window.ButtonOptions));
    EXPECT_EQ(Application::Instance().PendingModalActions(), 0u);
    EXPECT_EQ(harness.ReadInt(L"Config", L"Language", -1), 0x0007);
    EXPECT_EQ(window.Caption(), L"Varnox Probe");
    EXPECT_EQ(Application::Instance().Title(), L"Varnox Probe");
    EXPECT_EQ(window.ButtonWipe.Caption(), L"Löschen");
    EXPECT_EQ(window.ButtonWipe.Hint(), L"Auswahl löschen");
    EXPECT_EQ(ColumnCaption(window.LV, 1), L"Geändert");
    EXPECT_EQ(ColumnCaption(window.LV, 3), L"Größe");
    EXPECT_EQ(window.Font().Size, 10);

    // Back to "<Default>": the locale's language (English here) again.
    Application::Instance().QueueModalAction([&](tk::Form&) {
        EXPECT_EQ(options.CBLanguage.ItemIndex(), 1);
        EXPECT_TRUE(ChooseEntry(options.CBLanguage, 0));
        EXPECT_TRUE(Press(options.ButtonOK));
    });
    EXPECT_TRUE(Press(window.ButtonOptions));
    EXPECT_EQ(harness.ReadInt(L"Config", L"Language", -1), 0);
    EXPECT_EQ(window.Caption(), L"Varnox Test");
    EXPECT_EQ(ColumnCaption(window.LV, 1), L"Modified");
}

TEST_F(AuxThroughMainWindow, TheLogHelpAndAboutButtonsOpenTheirWindows)
{
    MainWindowHarness harness([](COEMConfig& brand) { AddTestPicture(brand, "About", 320, 200); });
    TFormMain& window = Start(harness);
    TFormLog logWindow(harness.config, harness.language, harness.log);
    TFormHelp help(harness.language);
    TFormAbout about(harness.branding, harness.language);
    Forms().Log = &logWindow;
    Forms().Help = &help;
    Forms().About = &about;

    Application::Instance().QueueModalAction([&](tk::Form& shown) {
        EXPECT_EQ(&shown, &logWindow);
        ASSERT_GE(logWindow.LV.Count(), 1);
        int newest = logWindow.LV.Count() - 1;
        EXPECT_EQ(logWindow.LV.ItemText(newest, 3), L"Started.") << "the start-up record";
        EXPECT_EQ(logWindow.LV.SelectedRows(), std::vector<int>{newest});
        EXPECT_TRUE(Press(logWindow.ButtonOK));
    });
    EXPECT_TRUE(Press(window.ButtonLog));

    std::vector<std::wstring> urls;
    tk::WebBrowser::SetNavigateHook([&](tk::WebBrowser&, const std::wstring& url) {
        urls.push_back(url);
        return true;
    });
    Application::Instance().QueueModalAction([&](tk::Form& shown) {
        EXPECT_EQ(&shown, &help);
        SendMessageW(help.Handle(), WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(Press(window.ButtonHelp));
    ASSERT_EQ(urls.size(), 1u);
    EXPECT_EQ(urls[0], HelpURL());

    Application::Instance().QueueModalAction([&](tk::Form& shown) {
        EXPECT_EQ(&shown, &about);
        EXPECT_EQ(about.ClientWidthPx(), 320);
        RECT outer = about.OuterBoundsPx(), main = window.OuterBoundsPx();
        EXPECT_EQ(outer.left, main.left + (main.right - main.left) / 2 - (outer.right - outer.left) / 2);
        EXPECT_EQ(outer.top, main.top + (main.bottom - main.top) / 2 - (outer.bottom - outer.top) / 2);
        EXPECT_TRUE(Press(about.ButtonClose));
    });
    EXPECT_TRUE(Press(window.ButtonAbout));
    EXPECT_EQ(Application::Instance().PendingModalActions(), 0u);
}

TEST_F(AuxThroughMainWindow, ASplashShownWhileTheWindowIsBuiltGoesAwayByItself)
{
    // Due beyond construction: attached to the main window, gone 2 s after it appeared.
    {
        MainWindowHarness harness(SplashFor(2000));
        ULONGLONG start = GetTickCount64();
        TFormMain& window = Start(harness);
        HWND splash = SplashWindow();
        ASSERT_NE(splash, nullptr);
        EXPECT_EQ(GetWindow(splash, GW_OWNER), window.Handle());
        EXPECT_TRUE(tk::PumpUntil([] { return SplashWindow() == nullptr; }, 5000));
        EXPECT_LT(GetTickCount64() - start, 3000u);
        EXPECT_TRUE(IsWindowVisible(window.Handle()));
    }
    // Over before the window is ready: gone when it is.
    {
        MainWindowHarness harness(SplashFor(300));
        Start(harness);
        EXPECT_EQ(SplashWindow(), nullptr);
    }
}

TEST_F(AuxThroughMainWindow, ASplashNeverOutlivesTheMainWindow)
{
    MainWindowHarness harness(SplashFor(30000));
    TFormMain& window = Start(harness);
    ASSERT_NE(SplashWindow(), nullptr);
    EXPECT_EQ(GetWindow(SplashWindow(), GW_OWNER), window.Handle());
    harness.Stop();
    EXPECT_EQ(SplashWindow(), nullptr);
}
