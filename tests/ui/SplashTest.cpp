// The splash window: shown for its display time from its first showing,
// rounded, attached to the main window while due, gone with it at the
// latest, and bounded whatever the branding says.
#include <gtest/gtest.h>

#include "ui/Splash.h"
#include "ui/toolkit/Form.h"
#include "ui/toolkit/TestDriver.h"

#include <string>

namespace {

constexpr COLORREF kPictureColour = RGB(30, 90, 160);

HBITMAP Picture(int width, int height)
{
    HDC screen = GetDC(nullptr);
    HBITMAP picture = CreateCompatibleBitmap(screen, width, height);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(dc, picture);
    HBRUSH fill = CreateSolidBrush(kPictureColour);
    RECT all{0, 0, width, height};
    FillRect(dc, &all, fill);
    DeleteObject(fill);
    SelectObject(dc, previous);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return picture;
}

// The splash shows its picture: nothing is left to paint, and its middle has the picture's colour.
void ExpectDrawn(HWND splash)
{
    EXPECT_FALSE(GetUpdateRect(splash, nullptr, FALSE)) << "a paint is still waiting";
    RECT area;
    GetClientRect(splash, &area);
    HDC dc = GetDC(splash);
    EXPECT_EQ(GetPixel(dc, area.right / 2, area.bottom / 2), kPictureColour);
    ReleaseDC(splash, dc);
}

bool Released(HBITMAP picture) { return GetObjectType(picture) == 0; }

std::wstring ExpectedClassName()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name = wcsrchr(path, L'\\') + 1;
    return name.substr(0, name.rfind(L'.')) + L"_Splash";
}

// While it lives, every window made on this thread is told of a mouse
// movement as soon as it exists, as one appearing under the pointer is on a
// real display (the tests' display driver sends none).
class MouseOverNewWindows {
public:
    MouseOverNewWindows() : hook(SetWindowsHookExW(WH_CBT, Created, nullptr, GetCurrentThreadId())) {}
    ~MouseOverNewWindows() { UnhookWindowsHookEx(hook); }

private:
    static LRESULT CALLBACK Created(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HCBT_CREATEWND)
            PostMessageW(reinterpret_cast<HWND>(wParam), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK hook;
};

class SplashTest : public ::testing::Test {
protected:
    ~SplashTest() override { HideSplash(); }
};

}  // namespace

TEST_F(SplashTest, AShortDisplayTimeEndsInsideTheFirstPumpAndNothingIsLeftToAttach)
{
    HBITMAP picture = Picture(200, 100);
    ULONGLONG start = GetTickCount64();
    ShowSplash(picture, 300, 0);
    ULONGLONG spent = GetTickCount64() - start;
    EXPECT_EQ(SplashWindow(), nullptr);
    EXPECT_TRUE(Released(picture));
    EXPECT_GE(spent, 250u);
    EXPECT_LT(spent, 1000u);
    tk::Form main;
    main.CreateHandle();
    ReparentSplash(main.Handle());
    EXPECT_EQ(SplashWindow(), nullptr);
    EXPECT_EQ(FindWindowW(ExpectedClassName().c_str(), nullptr), nullptr);
}

TEST_F(SplashTest, ALongDisplayTimeMovesItAboveTheMainWindowAndCountsFromTheFirstShowing)
{
    HBITMAP picture = Picture(300, 200);
    ULONGLONG start = GetTickCount64();
    {
        MouseOverNewWindows pointer;
        EXPECT_GE(ShowSplash(picture, 5000, 20), 450);
    }
    HWND first = SplashWindow();
    ASSERT_NE(first, nullptr);
    ExpectDrawn(first);
    // A plain popup tool window of its own class, named after the executable, in the middle of the screen.
    EXPECT_EQ(FindWindowW(ExpectedClassName().c_str(), ExpectedClassName().c_str()), first);
    EXPECT_TRUE(IsWindowVisible(first));
    EXPECT_TRUE(GetWindowLongPtrW(first, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetWindowLongPtrW(first, GWL_STYLE) & (WS_POPUP | WS_CAPTION), WS_POPUP);
    EXPECT_EQ(GetWindow(first, GW_OWNER), nullptr);
    RECT rect;
    GetWindowRect(first, &rect);
    EXPECT_EQ(rect.right - rect.left, 300);
    EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 300) / 2);
    EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - 200) / 2);
    // Rounded with a 20 x 20 ellipse: the corner pixel is cut off, the edge's middle is not.
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(GetWindowRgn(first, region), ERROR);
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    EXPECT_FALSE(PtInRegion(region, 299 - 1, 1));
    EXPECT_TRUE(PtInRegion(region, 10, 10));
    EXPECT_TRUE(PtInRegion(region, 150, 0));
    EXPECT_TRUE(PtInRegion(region, 0, 100));
    DeleteObject(region);

    tk::Form main;
    main.SetOuterBoundsPx(RECT{0, 0, 600, 400});
    main.Show();
    {
        MouseOverNewWindows pointer;
        ReparentSplash(main.Handle());
    }
    HWND attached = SplashWindow();
    ASSERT_NE(attached, nullptr);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(GetWindow(attached, GW_OWNER), main.Handle());
    ExpectDrawn(attached);
    EXPECT_FALSE(Released(picture));
    GetWindowRect(attached, &rect);
    EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 300) / 2);
    region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(GetWindowRgn(attached, region), ERROR) << "rounded as before";
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    DeleteObject(region);

    // The application's loop removes it 5 s after it first appeared.
    EXPECT_TRUE(tk::PumpUntil([] { return SplashWindow() == nullptr; }, 8000));
    ULONGLONG shown = GetTickCount64() - start;
    EXPECT_GE(shown, 4900u);
    EXPECT_LT(shown, 6000u);
    EXPECT_TRUE(Released(picture));
    main.Hide();
}

TEST_F(SplashTest, NoRoundingGivesSquareCornersAndTheMainWindowTakesItAlong)
{
    HBITMAP picture = Picture(120, 80);
    ShowSplash(picture, 5000, 0);
    ASSERT_NE(SplashWindow(), nullptr);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(SplashWindow(), region), ERROR) << "no region: the whole rectangle";
    DeleteObject(region);
    {
        tk::Form main;
        main.Show();
        ReparentSplash(main.Handle());
        ASSERT_NE(SplashWindow(), nullptr);
        main.DestroyHandle();
        // Never outlives the main window.
        EXPECT_EQ(SplashWindow(), nullptr);
        EXPECT_TRUE(Released(picture));
    }
    // Showing a new splash replaces one still showing.
    HBITMAP one = Picture(50, 50), two = Picture(60, 60);
    ShowSplash(one, 5000, 0);
    ShowSplash(two, 5000, 0);
    EXPECT_TRUE(Released(one));
    EXPECT_FALSE(Released(two));
    HideSplash();
    EXPECT_TRUE(Released(two));
    EXPECT_EQ(SplashWindow(), nullptr);
}

TEST_F(SplashTest, DisplayTimesThatAreNotPositiveShowNothingAndHugeOnesAreBounded)
{
    for (int32_t displayMs : {0, -1, INT32_MIN}) {
        HBITMAP picture = Picture(100, 100);
        ULONGLONG start = GetTickCount64();
        EXPECT_EQ(ShowSplash(picture, displayMs, 10), 0);
        EXPECT_LT(GetTickCount64() - start, 100u);
        EXPECT_EQ(SplashWindow(), nullptr) << displayMs;
        EXPECT_TRUE(Released(picture));
    }
    HBITMAP picture = Picture(100, 100);
    ShowSplash(picture, INT32_MAX, 10);
    ASSERT_NE(SplashWindow(), nullptr);
    EXPECT_LE(SplashTimeLeftMs(), 60000);
    EXPECT_GT(SplashTimeLeftMs(), 58000);
    tk::Form main;
    main.Show();
    ReparentSplash(main.Handle());
    EXPECT_LE(SplashTimeLeftMs(), 60000);
    main.DestroyHandle();
    EXPECT_EQ(SplashWindow(), nullptr);
}
