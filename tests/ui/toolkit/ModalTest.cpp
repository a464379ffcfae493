// Modal showing driven the way later window tests drive it: an action queued
// on the application runs inside the modal loop once the form is shown.
#include "ui/toolkit/Application.h"
#include "ui/toolkit/Form.h"
#include "ui/toolkit/StdControls.h"
#include "ui/toolkit/TestDriver.h"
#include <gtest/gtest.h>

using namespace tk;

namespace {

class OwnerForm : public Form {
public:
    OwnerForm() { SetClientSize(300, 200); }
};

class QuestionForm : public Form {
public:
    Label LabelQuestion{this};
    Edit EditAnswer{this};
    Button ButtonYes{this};
    Button ButtonNo{this};
    Button ButtonCancel{this};
    bool allowClose = true;
    int closeQueries = 0;
    int clicksOfYes = 0;

    QuestionForm()
    {
        SetClientSize(260, 100);
        SetBorderStyle(BorderStyle::Dialog);
        SetBorderIcons(0);
        SetPosition(Position::MainFormCenter);
        LabelQuestion.SetBounds(8, 8, 200, 13);
        LabelQuestion.SetCaption(L"Go on?");
        EditAnswer.SetBounds(8, 30, 200, 21);
        ButtonYes.SetBounds(8, 66, 75, 25);
        ButtonYes.SetModalResult(mrYes);
        ButtonYes.SetDefault(true);
        ButtonYes.OnClick = [this] { ButtonYesClick(); };
        ButtonNo.SetBounds(89, 66, 75, 25);
        ButtonNo.SetModalResult(mrNo);
        ButtonCancel.SetBounds(170, 66, 75, 25);
        ButtonCancel.SetModalResult(mrCancel);
        ButtonCancel.SetCancel(true);
        OnCloseQuery = [this](bool& canClose) { FormCloseQuery(canClose); };
    }

    void ButtonYesClick() { ++clicksOfYes; }
    void FormCloseQuery(bool& canClose)
    {
        ++closeQueries;
        canClose = allowClose;
    }
};

class ToolkitModal : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application::Instance().SetMainForm(&owner);
        Application::Instance().CreateForm(dialog);
        owner.Show();
    }
    void TearDown() override
    {
        Application::Instance().ClearModalActions();
        Application::Instance().SetMainForm(nullptr);
    }
    OwnerForm owner;
    QuestionForm dialog;
};

}  // namespace

TEST_F(ToolkitModal, ResultIsThatOfThePressedButton)
{
    bool ownerDisabledWhileShown = false;
    std::wstring question;
    Application::Instance().QueueModalAction([&](Form&) {
        ownerDisabledWhileShown = !IsWindowEnabled(owner.Handle());
        question = dialog.LabelQuestion.Caption();
        EXPECT_TRUE(Press(dialog.ButtonNo));
    });
    EXPECT_EQ(dialog.ShowModal(), mrNo);
    EXPECT_TRUE(ownerDisabledWhileShown);
    EXPECT_EQ(question, L"Go on?");
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
    EXPECT_FALSE(IsWindowVisible(dialog.Handle()));
}

TEST_F(ToolkitModal, EnterPressesTheDefaultButtonAndEscapeTheCancelButton)
{
    Application::Instance().QueueModalAction([&](Form&) {
        dialog.EditAnswer.SetFocus();
        PressKey(dialog.EditAnswer, VK_RETURN);
    });
    EXPECT_EQ(dialog.ShowModal(), mrYes);
    EXPECT_EQ(dialog.clicksOfYes, 1);

    Application::Instance().QueueModalAction([&](Form&) { PressKey(dialog.EditAnswer, VK_ESCAPE); });
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
}

TEST_F(ToolkitModal, RefusedCloseQueryKeepsTheFormOpen)
{
    dialog.allowClose = false;
    Application::Instance().QueueModalAction([&](Form&) {
        Press(dialog.ButtonYes);
        // The refusal is decided by the loop after this action; look again later.
        PostMessageW(dialog.Handle(), WM_NULL, 0, 0);
        SetTimer(dialog.Handle(), 7, 10, [](HWND window, UINT, UINT_PTR id, DWORD) {
            KillTimer(window, id);
            auto* form = static_cast<QuestionForm*>(Control::FromHandle(window));
            form->allowClose = true;
            EXPECT_TRUE(IsWindowVisible(window));
            EXPECT_EQ(form->closeQueries, 1);
            Press(form->ButtonNo);
        });
    });
    EXPECT_EQ(dialog.ShowModal(), mrNo);
    EXPECT_EQ(dialog.closeQueries, 2);
}

TEST_F(ToolkitModal, ClosingTheWindowGivesCancel)
{
    Application::Instance().QueueModalAction([&](Form& form) { PostMessageW(form.Handle(), WM_CLOSE, 0, 0); });
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
}

TEST_F(ToolkitModal, TheSameFormShownTwiceKeepsItsWindowAndWorks)
{
    HWND window = dialog.Handle();
    Application::Instance().QueueModalAction([&](Form&) {
        dialog.EditAnswer.SetText(L"first");
        Press(dialog.ButtonYes);
    });
    EXPECT_EQ(dialog.ShowModal(), mrYes);
    Application::Instance().QueueModalAction([&](Form&) {
        EXPECT_EQ(dialog.EditAnswer.Text(), L"first");
        EXPECT_TRUE(dialog.ButtonNo.Visible());
        EXPECT_TRUE(dialog.ButtonNo.Enabled());
        Press(dialog.ButtonNo);
    });
    EXPECT_EQ(dialog.ShowModal(), mrNo);
    EXPECT_EQ(dialog.Handle(), window);
    EXPECT_EQ(Application::Instance().PendingModalActions(), 0u);
}

TEST_F(ToolkitModal, DisabledButtonCannotBePressed)
{
    Application::Instance().QueueModalAction([&](Form&) {
        dialog.ButtonYes.SetEnabled(false);
        EXPECT_FALSE(Press(dialog.ButtonYes));
        EXPECT_FALSE(dialog.ButtonYes.Enabled());
        // Enter finds no enabled default button and leaves the form open.
        PressKey(dialog.EditAnswer, VK_RETURN);
        EXPECT_EQ(dialog.GetModalResult(), mrNone);
        dialog.ButtonYes.SetEnabled(true);
        Press(dialog.ButtonCancel);
    });
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
}

TEST_F(ToolkitModal, NestedModalFormsReturnInTurn)
{
    QuestionForm inner;
    Application::Instance().CreateForm(inner);
    int innerResult = 0;
    bool dialogDisabledUnderInner = false;
    Application::Instance().QueueModalAction([&](Form&) {
        innerResult = inner.ShowModal();
        Press(dialog.ButtonYes);
    });
    Application::Instance().QueueModalAction([&](Form&) {
        dialogDisabledUnderInner = !IsWindowEnabled(dialog.Handle());
        Press(inner.ButtonNo);
    });
    EXPECT_EQ(dialog.ShowModal(), mrYes);
    EXPECT_EQ(innerResult, mrNo);
    EXPECT_TRUE(dialogDisabledUnderInner);
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
}

TEST(ToolkitApplication, ErrorBoxCarriesTheApplicationTitle)
{
    Application& application = Application::Instance();
    application.SetTitle(L"Varnox");
    std::wstring text, caption;
    UINT type = 0;
    application.SetMessageBoxHook([&](const std::wstring& t, const std::wstring& c, UINT u) {
        text = t;
        caption = c;
        type = u;
        return IDOK;
    });
    application.ShowError(L"The log file could not be written.");
    application.SetMessageBoxHook(nullptr);
    EXPECT_EQ(text, L"The log file could not be written.");
    EXPECT_EQ(caption, L"Varnox");
    EXPECT_EQ(type & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
}

TEST_F(ToolkitModal, EnterOnAFocusedButtonPressesThatButton)
{
    Application::Instance().QueueModalAction([&](Form&) {
        dialog.ButtonNo.SetFocus();
        PressKey(dialog.ButtonNo, VK_RETURN);
    });
    EXPECT_EQ(dialog.ShowModal(), mrNo);
    EXPECT_EQ(dialog.clicksOfYes, 0);
}

TEST_F(ToolkitModal, EscapeWithoutACancelButtonKeepsTheFormOpen)
{
    dialog.ButtonCancel.SetCancel(false);
    Application::Instance().QueueModalAction([&](Form&) {
        PressKey(dialog.EditAnswer, VK_ESCAPE);
        EXPECT_EQ(dialog.GetModalResult(), mrNone);
        Press(dialog.ButtonYes);
    });
    EXPECT_EQ(dialog.ShowModal(), mrYes);
}
