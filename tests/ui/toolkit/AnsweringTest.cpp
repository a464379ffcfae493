// Everything a user answers can be answered by a test, nothing modal ever
// waits for a user who is not there, and test actions refuse what a user
// could not do.
#include "settings/Unicodelanguage.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/Components.h"
#include "ui/toolkit/Form.h"
#include "ui/toolkit/ListView.h"
#include "ui/toolkit/MessageDialog.h"
#include "ui/toolkit/StdControls.h"
#include "ui/toolkit/TestDriver.h"
#include "ui/toolkit/TreeView.h"
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <map>
#include <vector>

using namespace tk;

namespace {

class StubbornForm : public Form {
public:
    Button ButtonClose{this};
    int closeQueries = 0;
    StubbornForm()
    {
        SetCaption(L"Wiping files");
        SetClientSize(200, 80);
        ButtonClose.SetBounds(8, 8, 75, 25);
        // A running job refuses to close.
        OnCloseQuery = [this](bool& canClose) {
            ++closeQueries;
            canClose = false;
        };
    }
};

// Replaces the unanswered handler of the test environment for one test.
class Unanswered {
public:
    Unanswered()
    {
        Application::Instance().SetUnansweredHandler([this](const std::wstring& what) { reports.push_back(what); });
    }
    ~Unanswered()
    {
        Application::Instance().SetUnansweredHandler(
            [](const std::wstring& what) { ADD_FAILURE() << "nothing answered: " << what; });
    }
    std::vector<std::wstring> reports;
};

}  // namespace

TEST(ToolkitUnattended, AModalFormNobodyAnswersEndsAtOnceNamingItsCaption)
{
    Unanswered unanswered;
    StubbornForm form;
    form.CreateHandle();
    DWORD start = GetTickCount();
    EXPECT_EQ(form.ShowModal(), mrCancel);
    EXPECT_LT(GetTickCount() - start, 5000u);
    ASSERT_EQ(unanswered.reports.size(), 1u);
    EXPECT_NE(unanswered.reports[0].find(L"Wiping files"), std::wstring::npos);
    EXPECT_FALSE(IsWindowVisible(form.Handle()));

    // A modal hook answers every showing that has no queued action.
    int hooked = 0;
    Application::Instance().SetModalHook([&](Form& shown) {
        ++hooked;
        EXPECT_EQ(&shown, &form);
        static_cast<StubbornForm&>(shown).OnCloseQuery = nullptr;
        shown.SetModalResult(mrOK);
    });
    EXPECT_EQ(form.ShowModal(), mrOK);
    Application::Instance().SetModalHook(nullptr);
    EXPECT_EQ(hooked, 1);
    EXPECT_EQ(unanswered.reports.size(), 1u);
}

TEST(ToolkitUnattended, BoxesAndDialogsWithoutHooksGiveTheirCancellingAnswer)
{
    Unanswered unanswered;
    Application& application = Application::Instance();
    EXPECT_EQ(application.ShowMessageBox(L"Really?", L"Varnox", MB_YESNO), IDNO);
    MessageDialogSetup setup;
    setup.caption = L"Confirm";
    setup.text = L"Wipe 3 files?";
    setup.buttons = {{mrYes, L"Yes"}, {mrNo, L"No"}};
    setup.escapeResult = mrNo;
    EXPECT_EQ(application.ShowMessageDialog(setup), mrNo);
    SaveDialog save;
    save.Title = L"Log file";
    EXPECT_FALSE(save.Execute());
    ASSERT_EQ(unanswered.reports.size(), 3u);
    EXPECT_NE(unanswered.reports[0].find(L"Really?"), std::wstring::npos);
    EXPECT_NE(unanswered.reports[1].find(L"Wipe 3 files?"), std::wstring::npos);
    EXPECT_NE(unanswered.reports[2].find(L"Log file"), std::wstring::npos);
}

TEST(ToolkitAnswering, TheTranslatedDialogAndTheSaveDialogGoThroughTheirHooks)
{
    Application& application = Application::Instance();
    MessageDialogSetup seen;
    application.SetMessageDialogHook([&](const MessageDialogSetup& setup) {
        seen = setup;
        return mrYes;
    });
    // The language manager's dialogs reach the application (the presenter
    // the user interface installs at start-up).
    UnicodeLanguage language(L"C:\\nowhere", L"Varnox");
    EXPECT_EQ(language.MessageDialog(L"Wipe the drive?", MessageDialogType::Confirmation,
                                     DialogButton::Yes | DialogButton::No, 0x00FFFFFF),
              ModalResult::Yes);
    application.SetMessageDialogHook(nullptr);
    EXPECT_EQ(seen.text, L"Wipe the drive?");
    EXPECT_EQ(seen.icon, MessageDialogSetup::Icon::Question);
    ASSERT_EQ(seen.buttons.size(), 2u);
    EXPECT_EQ(seen.buttons[0].result, mrYes);
    EXPECT_EQ(seen.escapeResult, mrNo);
    EXPECT_EQ(seen.background, 0x00FFFFFFu);

    application.SetSaveDialogHook([](SaveDialog& dialog) {
        EXPECT_TRUE(dialog.Options & OFN_OVERWRITEPROMPT) << "an existing file is replaced only when confirmed";
        EXPECT_EQ(dialog.FileName, L"C:\\old.log");
        dialog.FileName = L"C:\\new.log";
        return true;
    });
    SaveDialog save;
    save.FileName = L"C:\\old.log";
    EXPECT_TRUE(save.Execute());
    EXPECT_EQ(save.FileName, L"C:\\new.log");
    application.SetSaveDialogHook(nullptr);
}

namespace {

// What the timer saw of the open dialog, and which button it pressed.
struct Observed {
    HWND dialog = nullptr;
    std::wstring caption;
    std::map<int, std::wstring> buttons;
    bool textFound = false;
    bool topmost = false;
};
Observed observed;
int buttonToPress = 0;

BOOL CALLBACK CollectChild(HWND child, LPARAM)
{
    wchar_t className[32] = {}, text[256] = {};
    GetClassNameW(child, className, 32);
    GetWindowTextW(child, text, 256);
    if (lstrcmpiW(className, L"Button") == 0)
        observed.buttons[GetDlgCtrlID(child)] = text;
    else if (std::wstring(text) == L"Wipe now?")
        observed.textFound = true;
    return TRUE;
}

BOOL CALLBACK FindDialog(HWND window, LPARAM)
{
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    if (IsWindowVisible(window) && lstrcmpW(className, L"#32770") == 0) {
        observed.dialog = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK PressButton(HWND, UINT, UINT_PTR timer, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, 0);
    if (!observed.dialog)
        return;
    KillTimer(nullptr, timer);
    wchar_t caption[256] = {};
    GetWindowTextW(observed.dialog, caption, 256);
    observed.caption = caption;
    observed.topmost = (GetWindowLongPtrW(observed.dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    EnumChildWindows(observed.dialog, CollectChild, 0);
    if (buttonToPress == IDCANCEL)  // Escape / close box
        PostMessageW(observed.dialog, WM_COMMAND, IDCANCEL, 0);
    else
        SendMessageW(GetDlgItem(observed.dialog, buttonToPress), BM_CLICK, 0, 0);
}

int ShowReal(const MessageDialogSetup& setup, int press)
{
    observed = Observed{};
    buttonToPress = press;
    SetTimer(nullptr, 0, 50, PressButton);
    return RunMessageDialog(setup, nullptr);
}

}  // namespace

TEST(ToolkitMessageDialog, TheSystemDialogShowsTheButtonsAndReturnsThePressedOne)
{
    MessageDialogSetup setup;
    setup.caption = L"Bitte best\x00E4tigen";
    setup.text = L"Wipe now?";
    setup.icon = MessageDialogSetup::Icon::Question;
    setup.buttons = {{mrYes, L"&Ja"}, {mrNo, L"&Nein"}, {0x7F0, L"&Hilfe", false}};
    setup.defaultResult = mrYes;
    setup.escapeResult = mrNo;
    setup.background = RGB(0xEE, 0xFF, 0xC0);
    EXPECT_EQ(ShowReal(setup, mrNo), mrNo);
    EXPECT_EQ(observed.caption, L"Bitte best\x00E4tigen");
    EXPECT_EQ(observed.buttons[mrYes], L"&Ja");
    EXPECT_EQ(observed.buttons[mrNo], L"&Nein");
    EXPECT_EQ(observed.buttons.size(), 3u);
    EXPECT_TRUE(observed.textFound);
    EXPECT_TRUE(observed.topmost);
    EXPECT_EQ(ShowReal(setup, IDCANCEL), mrNo) << "Escape answers the escape result";
    EXPECT_EQ(ShowReal(setup, mrYes), mrYes);
}

namespace {

class PickForm : public Form {
public:
    TreeView TV{this};
    ListView LV{this};
    Button ButtonGo{this};
    int clicks = 0;
    int doubleClicks = 0;
    std::vector<std::pair<int, bool>> selections;
    TreeNode changedTo = nullptr;

    PickForm()
    {
        SetClientSize(500, 300);
        TV.SetAlign(Align::Left);
        TV.SetWidth(150);
        ButtonGo.SetAlign(Align::Bottom);
        ButtonGo.SetHeight(25);
        LV.SetAlign(Align::Client);
        LV.SetMultiSelect(true);
        LV.AddColumn(L"Name", 200);
        LV.OnSelectItem = [this](int row, bool selected) { selections.emplace_back(row, selected); };
        LV.OnDblClick = [this] { ++doubleClicks; };
        TV.OnChange = [this](TreeNode node) { changedTo = node; };
        ButtonGo.OnClick = [this] { ++clicks; };
    }
};

}  // namespace

TEST(ToolkitTestDriver, ChoosingAndDoubleClickingRowsAndNodes)
{
    PickForm form;
    form.Show();
    for (int row = 0; row < 40; ++row)
        form.LV.AddItem(L"file" + std::to_wstring(row) + L".txt");
    EXPECT_TRUE(ChooseItem(form.LV, 2));
    EXPECT_TRUE(ChooseItem(form.LV, 5));
    EXPECT_EQ(form.LV.SelectedRows(), (std::vector<int>{5})) << "a click selects the row alone";
    EXPECT_TRUE(ChooseItems(form.LV, {1, 3, 38}));
    EXPECT_EQ(form.LV.SelectedRows(), (std::vector<int>{1, 3, 38}));
    EXPECT_TRUE(form.LV.Focused());
    ASSERT_FALSE(form.selections.empty());
    EXPECT_EQ(form.selections.back(), std::make_pair(38, true)) << "the list's own notifications arrive";
    EXPECT_FALSE(ChooseItem(form.LV, 40)) << "no such row";

    EXPECT_TRUE(DoubleClick(form.LV, 39));
    EXPECT_EQ(form.doubleClicks, 1);
    EXPECT_EQ(form.LV.SelectedRows(), (std::vector<int>{39}));

    TreeNode root = form.TV.AddChild(nullptr, L"Desktop");
    TreeNode child = form.TV.AddChild(root, L"Documents");
    EXPECT_TRUE(ChooseItem(form.TV, root));
    EXPECT_EQ(form.changedTo, root);
    EXPECT_TRUE(DoubleClick(form.TV, root));
    EXPECT_TRUE(form.TV.Expanded(root)) << "a double click opens the node";
    EXPECT_TRUE(ChooseItem(form.TV, child));
    EXPECT_EQ(form.changedTo, child);

    form.LV.SetEnabled(false);
    EXPECT_FALSE(ChooseItem(form.LV, 1));
    form.Hide();
}

TEST(ToolkitTestDriver, NothingBehindAModalWindowCanBePressed)
{
    PickForm owner;
    Application::Instance().SetMainForm(&owner);
    owner.Show();
    Form dialog;
    dialog.SetCaption(L"Options");
    dialog.CreateHandle();
    bool pressed = true, chosen = true;
    Application::Instance().QueueModalAction([&](Form& shown) {
        pressed = Press(owner.ButtonGo);
        owner.LV.AddItem(L"row");
        chosen = ChooseItem(owner.LV, 0);
        shown.SetModalResult(mrOK);
    });
    EXPECT_EQ(dialog.ShowModal(), mrOK);
    EXPECT_FALSE(pressed);
    EXPECT_FALSE(chosen);
    EXPECT_EQ(owner.clicks, 0);
    EXPECT_TRUE(Press(owner.ButtonGo)) << "usable again once the modal window is gone";
    EXPECT_EQ(owner.clicks, 1);
    owner.Hide();
    Application::Instance().SetMainForm(nullptr);
}

TEST(ToolkitTestDriver, PumpUntilWaitsForWhatAWorkerPosts)
{
    PickForm form;
    form.CreateHandle();
    bool arrived = false;
    form.OnMessage = [&](UINT message, WPARAM, LPARAM, LRESULT&) {
        if (message != WM_APP + 7)
            return false;
        arrived = true;
        return true;
    };
    HWND window = form.Handle();
    HANDLE worker = CreateThread(
        nullptr, 0,
        [](void* target) -> DWORD {
            Sleep(150);
            PostMessageW(static_cast<HWND>(target), WM_APP + 7, 0, 0);
            return 0;
        },
        window, 0, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return arrived; }, 10000));
    WaitForSingleObject(worker, INFINITE);
    CloseHandle(worker);
    DWORD start = GetTickCount();
    EXPECT_FALSE(PumpUntil([] { return false; }, 200));
    EXPECT_GE(GetTickCount() - start, 190u);
}
