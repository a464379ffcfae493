// Forms: frames, placement, hooks, keyboard navigation, the application's
// run, and what happens to controls when windows and objects go away.
#include "ui/toolkit/Application.h"
#include "ui/toolkit/Form.h"
#include "ui/toolkit/ListView.h"
#include "ui/toolkit/StdControls.h"
#include "ui/toolkit/TestDriver.h"
#include <gtest/gtest.h>
#include <memory>
#include <string>

using namespace tk;

namespace {

class SmallForm : public Form {
public:
    Edit EditFirst{this};
    Button ButtonSecond{this};
    Label LabelText{this};
    Button ButtonThird{this};
    int shows = 0;
    int resizes = 0;

    SmallForm()
    {
        SetClientSize(300, 120);
        EditFirst.SetBounds(8, 8, 100, 21);
        ButtonSecond.SetBounds(8, 40, 75, 25);
        LabelText.SetBounds(120, 8, 0, 0);
        ButtonThird.SetBounds(90, 40, 75, 25);
        OnShow = [this] { ++shows; };
        OnResize = [this] { ++resizes; };
    }
};

LONG_PTR Style(const Form& form) { return GetWindowLongPtrW(form.Handle(), GWL_STYLE); }

}  // namespace

TEST(ToolkitForm, BorderStylesAndIconsGiveTheirFrames)
{
    SmallForm sizeable;
    sizeable.CreateHandle();
    EXPECT_TRUE(Style(sizeable) & WS_THICKFRAME);
    EXPECT_TRUE(Style(sizeable) & WS_MAXIMIZEBOX);

    SmallForm log;
    log.SetBorderIcons(biSystemMenu);
    log.CreateHandle();
    EXPECT_TRUE(Style(log) & WS_THICKFRAME);
    EXPECT_TRUE(Style(log) & WS_SYSMENU);
    EXPECT_FALSE(Style(log) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));

    SmallForm dialog;
    dialog.SetBorderStyle(BorderStyle::Dialog);
    dialog.SetBorderIcons(0);
    dialog.CreateHandle();
    EXPECT_FALSE(Style(dialog) & (WS_THICKFRAME | WS_SYSMENU));
    EXPECT_TRUE(Style(dialog) & WS_CAPTION);
    EXPECT_EQ(dialog.ClientWidth(), 300);
    EXPECT_EQ(dialog.ClientHeight(), 120);

    SmallForm bare;
    bare.SetBorderStyle(BorderStyle::None);
    bare.CreateHandle();
    EXPECT_FALSE(Style(bare) & WS_CAPTION);
}

TEST(ToolkitForm, CentredOnTheMainFormAndShownAgainWithoutRecreation)
{
    SmallForm main;
    main.SetClientSize(600, 400);
    main.SetBounds(50, 60, 640, 440);
    Application::Instance().SetMainForm(&main);
    main.Show();
    SmallForm child;
    child.SetPosition(Position::MainFormCenter);
    child.Show();
    RECT outer, inner;
    GetWindowRect(main.Handle(), &outer);
    GetWindowRect(child.Handle(), &inner);
    EXPECT_EQ(outer.left, 50);
    EXPECT_EQ(outer.right - outer.left, 640);
    EXPECT_LE(std::abs((inner.left + inner.right) - (outer.left + outer.right)), 1);
    EXPECT_LE(std::abs((inner.top + inner.bottom) - (outer.top + outer.bottom)), 1);
    EXPECT_EQ(child.shows, 1);
    HWND window = child.Handle();
    child.Hide();
    child.Show();
    EXPECT_EQ(child.shows, 2);
    EXPECT_EQ(child.Handle(), window);
    child.Hide();
    main.Hide();
    Application::Instance().SetMainForm(nullptr);
}

TEST(ToolkitForm, ResizeHookRunsAndTabMovesBetweenTabStops)
{
    SmallForm form;
    form.Show();
    int before = form.resizes;
    form.SetClientSize(320, 140);
    EXPECT_GT(form.resizes, before);

    form.EditFirst.SetFocus();
    PressKey(form.EditFirst, VK_TAB);
    EXPECT_TRUE(form.ButtonSecond.Focused());
    // The label is no tab stop: Tab goes on to the third control.
    PressKey(form.ButtonSecond, VK_TAB);
    EXPECT_TRUE(form.ButtonThird.Focused());
    form.Hide();
}

TEST(ToolkitForm, AutoSizedLabelFollowsItsTextAndWrapsWithinItsWidth)
{
    SmallForm form;
    form.CreateHandle();
    Label& label = form.LabelText;
    label.SetCaption(L"Rounds:");
    int shortWidth = label.Width();
    int lineHeight = label.Height();
    EXPECT_GT(shortWidth, 10);
    EXPECT_GT(lineHeight, 5);
    label.SetCaption(L"Rounds: a much longer caption than before");
    EXPECT_GT(label.Width(), shortWidth);
    label.SetWordWrap(true);
    label.SetWidth(60);
    label.SetCaption(L"several words that need more than one line");
    EXPECT_EQ(label.Width(), 60);
    EXPECT_GE(label.Height(), 3 * lineHeight);
    // Ampersands are shown, not taken as accelerators.
    label.SetCaption(L"A & B");
    EXPECT_EQ(label.Caption(), L"A & B");
}

TEST(ToolkitApplication, ClosingTheMainFormEndsTheRunAndDestroysTheWindows)
{
    Application& application = Application::Instance();
    SmallForm main;
    SmallForm other;
    bool closed = false;
    main.OnClose = [&] { closed = true; };
    application.CreateForm(main);
    application.CreateForm(other);
    PostMessageW(main.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(application.Run(), 0);
    EXPECT_TRUE(closed);
    EXPECT_EQ(main.Handle(), nullptr);
    EXPECT_EQ(other.Handle(), nullptr);
    EXPECT_EQ(other.EditFirst.Handle(), nullptr);
    application.SetMainForm(nullptr);
    // No quit message is left for later loops.
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

TEST(ToolkitApplication, RefusedCloseQueryKeepsTheMainFormRunning)
{
    Application& application = Application::Instance();
    SmallForm main;
    int queries = 0;
    main.OnCloseQuery = [&](bool& canClose) { canClose = ++queries > 1; };
    application.CreateForm(main);
    PostMessageW(main.Handle(), WM_CLOSE, 0, 0);
    PostMessageW(main.Handle(), WM_CLOSE, 0, 0);
    application.Run();
    EXPECT_EQ(queries, 2);
    application.SetMainForm(nullptr);
}

namespace {

class ListForm : public Form {
public:
    ListView LV{this};
    int* released;
    explicit ListForm(int* counter) : released(counter)
    {
        LV.SetAlign(Align::Client);
        LV.AddColumn(L"Name", 100);
        LV.OnDeletion = [this](int, void*) { ++*released; };
    }
};

}  // namespace

TEST(ToolkitForm, DestroyingTheWindowsReleasesRowsWhileTheObjectsAreWhole)
{
    int released = 0;
    {
        ListForm form(&released);
        form.CreateHandle();
        form.LV.AddItem(L"a");
        form.LV.AddItem(L"b");
        form.DestroyHandle();
        EXPECT_EQ(released, 2);
        EXPECT_EQ(form.LV.Handle(), nullptr);
    }
    // Destroying the objects with live windows reaches no handler of a dying object.
    released = 0;
    auto form = std::make_unique<ListForm>(&released);
    form->CreateHandle();
    form->LV.AddItem(L"a");
    HWND window = form->Handle();
    form.reset();
    EXPECT_EQ(released, 0);
    EXPECT_FALSE(IsWindow(window));
}

namespace {

// Counts what reaches its own message handler after its destructor began.
class WatchedForm : public Form {
public:
    Button ButtonA{this};
    ListView LV{this};
    int* lateMessages;
    bool dying = false;
    explicit WatchedForm(int* late) : lateMessages(late)
    {
        ButtonA.SetBounds(0, 0, 75, 25);
        LV.SetBounds(0, 30, 100, 100);
        LV.AddColumn(L"Name", 80);
        OnMessage = [this](UINT message, WPARAM, LPARAM, LRESULT& result) {
            constexpr UINT kRefresh = WM_APP + 1;
            if (message == kRefresh) {
                ++refreshes;
                result = 0;
                return true;
            }
            return false;
        };
    }
    ~WatchedForm() override { dying = true; }
    int refreshes = 0;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (dying)
            ++*lateMessages;
        return Form::HandleMessage(message, wParam, lParam);
    }
};

}  // namespace

TEST(ToolkitForm, OwnMessagesReachTheFormAndNoneArriveWhileItIsDestroyed)
{
    int late = 0;
    auto form = std::make_unique<WatchedForm>(&late);
    form->Show();
    form->LV.AddItem(L"row");
    PostMessageW(form->Handle(), WM_APP + 1, 0, 0);
    Application::Instance().ProcessMessages();
    EXPECT_EQ(form->refreshes, 1);
    form.reset();
    EXPECT_EQ(late, 0);
}
