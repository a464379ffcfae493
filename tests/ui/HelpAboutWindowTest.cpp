// The help window's URL and what it hands the browser; the about window
// sized to its picture in pixels and centred on the main window.
#include "AuxWindowTest.h"

#include "ui/AboutWindow.h"
#include "ui/HelpWindow.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/Gdi.h"
#include "ui/toolkit/TestDriver.h"

#include <shlwapi.h>
#include <vector>

using tk::Application;

namespace {

// The file a file URL leads to, as the browser resolves it.
std::wstring PathOfUrl(const std::wstring& url)
{
    std::vector<wchar_t> path(4096);
    DWORD length = static_cast<DWORD>(path.size());
    if (FAILED(PathCreateFromUrlW(url.c_str(), path.data(), &length, 0)))
        return L"<not a file URL>";
    return path.data();
}

class NavigateHook {
public:
    NavigateHook()
    {
        tk::WebBrowser::SetNavigateHook([this](tk::WebBrowser&, const std::wstring& url) {
            urls.push_back(url);
            return true;
        });
    }
    ~NavigateHook() { tk::WebBrowser::SetNavigateHook(nullptr); }
    std::vector<std::wstring> urls;
};

}  // namespace

TEST(HelpURL, AFolderWithHashPercentAndSpacesStillLeadsToItsStartPage)
{
    TempDir dir;
    std::wstring folder = dir.MakeDir(L"Tools #1 100% sure");
    std::wstring page = dir.WriteFile(L"Tools #1 100% sure\\Help\\index.htm", "<html></html>");
    std::wstring url = HelpURL(folder + L"\\Varnox.exe", L"Help/index.htm");
    EXPECT_EQ(url.rfind(L"file:///", 0), 0u) << url;
    // Nothing in the URL is read as a fragment or an escape it is not.
    EXPECT_EQ(url.find(L'#'), std::wstring::npos) << url;
    EXPECT_EQ(url.find(L' '), std::wstring::npos) << url;
    EXPECT_EQ(url.find(L'\\'), std::wstring::npos) << url;
    EXPECT_NE(url.find(L"%23"), std::wstring::npos) << url;
    EXPECT_NE(url.find(L"%25"), std::wstring::npos) << url;
    EXPECT_EQ(PathOfUrl(url), page);

    // The drive letter and colon stay; a fragment of the start page stays a fragment.
    EXPECT_EQ(HelpURL(L"C:\\Tools\\Varnox.exe", L"Help/index.htm"), L"file:///C:/Tools/Help/index.htm");
    EXPECT_EQ(HelpURL(L"C:\\Tools\\Varnox.exe", L"Help/de/index.htm#start"), L"file:///C:/Tools/Help/de/index.htm#start");
    // No folder in the executable's path: no help.
    EXPECT_EQ(HelpURL(L"Varnox.exe", L"Help/index.htm"), L"");

    // The running executable's own folder.
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring selfFolder(self, wcsrchr(self, L'\\') + 1);
    EXPECT_EQ(PathOfUrl(HelpURL()).rfind(selfFolder, 0), 0u) << HelpURL();
}

class HelpWindowTest : public AuxWindowTest {};

TEST_F(HelpWindowTest, EveryShowingOpensTheStartPageAgain)
{
    NavigateHook browser;
    TFormHelp help(*language);
    // The program in a folder named with a '#' and spaces.
    const std::wstring start = HelpURL(L"C:\\Program Files\\Varnox #1\\Varnox.exe", L"Help/index.htm");
    ASSERT_EQ(start, L"file:///C:/Program%20Files/Varnox%20%231/Help/index.htm");
    for (int showing = 0; showing < 2; ++showing) {
        Application::Instance().QueueModalAction([&](tk::Form& form) {
            EXPECT_EQ(&form, &help);
            EXPECT_EQ(form.Caption(), L"Help-T");
            ASSERT_FALSE(browser.urls.empty());
            EXPECT_EQ(browser.urls.back(), start);
            // The user follows a link.
            help.WB.Navigate(L"file:///C:/Program%20Files/Varnox%20%231/Help/methods.htm");
            EXPECT_EQ(help.WB.LocationURL(), L"file:///C:/Program%20Files/Varnox%20%231/Help/methods.htm");
            RECT area{}, browserArea{};
            GetClientRect(help.Handle(), &area);
            GetClientRect(help.WB.Handle(), &browserArea);
            EXPECT_EQ(browserArea.right, area.right) << "the browser fills the window";
            EXPECT_EQ(browserArea.bottom, area.bottom);
            SendMessageW(help.Handle(), WM_CLOSE, 0, 0);   // the close box
        });
        help.Execute(start);
        EXPECT_EQ(Application::Instance().PendingModalActions(), 0u);
    }
    ASSERT_EQ(browser.urls.size(), 4u);
    EXPECT_EQ(browser.urls[2], start);
    EXPECT_EQ(StoredSettings(), "") << "the help window stores nothing";
    // An empty URL (no folder found) shows nothing.
    help.Execute(L"");
    EXPECT_EQ(browser.urls.size(), 4u);
}

class AboutWindowTest : public AuxWindowTest, public ::testing::WithParamInterface<int> {
protected:
    AboutWindowTest() { tk::SetDpiOverride(GetParam()); }
    ~AboutWindowTest() override { tk::SetDpiOverride(0); }
};

TEST_P(AboutWindowTest, APictureOf400By300GivesA400PixelWideClientCentredOnTheMainWindow)
{
    AddTestPicture(branding, "About", 400, 300);
    // The main window partly off the screen: the about window is centred on it all the same.
    main.SetOuterBoundsPx(RECT{-250, 40, -250 + 700, 40 + 501});
    TFormAbout about(branding, *language);
    Application::Instance().QueueModalAction([&](tk::Form&) {
        EXPECT_EQ(about.Caption(), L"About-T");
        EXPECT_EQ(about.ButtonClose.Caption(), L"Close-T");
        EXPECT_EQ(about.ClientWidthPx(), 400);
        int panel = about.PanelBottom.DockedSizePx();
        EXPECT_EQ(about.ClientHeightPx(), 300 + panel);
        if (GetParam() == 96) {
            EXPECT_EQ(about.ClientHeightPx(), 334);
        }
        RECT image = about.Image.BoundsPx();
        EXPECT_EQ(image.right - image.left, 400);
        EXPECT_EQ(image.bottom - image.top, 300);
        EXPECT_EQ(about.Image.BitmapSize().cx, 400);
        RECT outer = about.OuterBoundsPx();
        LONG width = outer.right - outer.left, height = outer.bottom - outer.top;
        EXPECT_EQ(outer.left, -250 + 700 / 2 - width / 2);
        EXPECT_EQ(outer.top, 40 + 501 / 2 - height / 2);
        // The button stays in the panel's right corner.
        RECT button = about.ButtonClose.BoundsPx();
        EXPECT_LE(button.right, 400);
        EXPECT_GT(button.left, 400 / 2);
        EXPECT_TRUE(tk::Press(about.ButtonClose));
    });
    about.Execute();
    EXPECT_EQ(Application::Instance().PendingModalActions(), 0u);
    EXPECT_FALSE(IsWindowVisible(about.Handle()));
}

INSTANTIATE_TEST_SUITE_P(Dpi, AboutWindowTest, ::testing::Values(96, 144));

class AboutWithoutPictureTest : public AuxWindowTest {};

TEST_F(AboutWithoutPictureTest, NothingIsShownWhenTheBrandingHasNoAboutPicture)
{
    TFormAbout about(branding, *language);
    // Shown, it would fail the test: nothing answers it.
    about.Execute();
    EXPECT_FALSE(IsWindowVisible(about.Handle()));
    branding.AddGroup("Graphics")->AddValue("About")->SetData("not a picture", 13);
    about.Execute();
    EXPECT_FALSE(IsWindowVisible(about.Handle()));
}
