// The error barrier: what escapes an event handler is shown once in the
// standard error box and the application goes on. And handlers a derived
// window extends keep what its base does.
#include "ui/toolkit/Application.h"
#include "ui/toolkit/Components.h"
#include "ui/toolkit/Form.h"
#include "ui/toolkit/StdControls.h"
#include "ui/toolkit/TestDriver.h"
#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

using namespace tk;

namespace {

class ThrowingForm : public Form {
public:
    Button ButtonFail{this};
    int clicks = 0;
    bool throwOther = false;
    ThrowingForm()
    {
        SetClientSize(200, 60);
        ButtonFail.SetBounds(8, 8, 75, 25);
        ButtonFail.OnClick = [this] {
            ++clicks;
            if (throwOther)
                throw 42;
            if (clicks == 1)
                throw std::runtime_error("The log file cannot be created");
        };
    }
};

struct Box {
    std::wstring text, caption;
    UINT type;
};

class ErrorBoxes {
public:
    ErrorBoxes()
    {
        Application::Instance().SetTitle(L"Varnox");
        Application::Instance().SetMessageBoxHook([this](const std::wstring& text, const std::wstring& caption,
                                                         UINT type) {
            boxes.push_back({text, caption, type});
            return IDOK;
        });
    }
    ~ErrorBoxes() { Application::Instance().SetMessageBoxHook(nullptr); }
    std::vector<Box> boxes;
};

}  // namespace

TEST(ToolkitErrorBarrier, AThrowingHandlerShowsOneErrorBoxAndTheFormGoesOn)
{
    ErrorBoxes errors;
    ThrowingForm form;
    form.Show();
    EXPECT_TRUE(Press(form.ButtonFail));
    ASSERT_EQ(errors.boxes.size(), 1u);
    EXPECT_EQ(errors.boxes[0].text, L"The log file cannot be created");
    EXPECT_EQ(errors.boxes[0].caption, L"Varnox");
    EXPECT_TRUE(errors.boxes[0].type & MB_ICONERROR);

    EXPECT_TRUE(Press(form.ButtonFail));
    EXPECT_EQ(form.clicks, 2) << "the form still answers";
    EXPECT_EQ(errors.boxes.size(), 1u);

    form.throwOther = true;
    EXPECT_TRUE(Press(form.ButtonFail));
    ASSERT_EQ(errors.boxes.size(), 2u);
    EXPECT_EQ(errors.boxes[1].text, L"") << "an object that is no exception: empty message";
    form.Hide();
}

TEST(ToolkitErrorBarrier, TimersAndModalActionsAreGuardedToo)
{
    ErrorBoxes errors;
    Timer timer;
    timer.SetInterval(10);
    timer.OnTimer = [&] {
        timer.SetEnabled(false);
        throw std::runtime_error("timer failed");
    };
    timer.SetEnabled(true);
    EXPECT_TRUE(PumpUntil([&] { return !errors.boxes.empty(); }, 5000));
    ASSERT_EQ(errors.boxes.size(), 1u);
    EXPECT_EQ(errors.boxes[0].text, L"timer failed");

    ThrowingForm dialog;
    dialog.CreateHandle();
    Application::Instance().QueueModalAction([](Form& shown) {
        shown.SetModalResult(mrOK);
        throw std::runtime_error("action failed");
    });
    EXPECT_EQ(dialog.ShowModal(), mrOK);
    ASSERT_EQ(errors.boxes.size(), 2u);
    EXPECT_EQ(errors.boxes[1].text, L"action failed");
}

namespace {

// A base window with behaviour of its own and a window derived from it that
// adds to it, as the progress windows do.
class BaseWindow : public Form {
public:
    std::vector<std::string> calls;
    bool running = false;

protected:
    void DoCloseQuery(bool& canClose) override
    {
        calls.push_back("base close query");
        if (running)
            canClose = false;
        Form::DoCloseQuery(canClose);
    }
    void DoShow() override
    {
        calls.push_back("base show");
        Form::DoShow();
    }
    bool DoMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        if (message == WM_APP + 1) {
            calls.push_back("base message");
            return true;
        }
        return Form::DoMessage(message, wParam, lParam, result);
    }
};

class DerivedWindow : public BaseWindow {
protected:
    void DoCloseQuery(bool& canClose) override
    {
        BaseWindow::DoCloseQuery(canClose);
        calls.push_back("derived close query");
    }
    void DoShow() override
    {
        BaseWindow::DoShow();
        calls.push_back("derived show");
    }
    bool DoMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        if (message == WM_APP + 2) {
            calls.push_back("derived message");
            return true;
        }
        return BaseWindow::DoMessage(message, wParam, lParam, result);
    }
};

}  // namespace

TEST(ToolkitHandlers, ADerivedWindowAddsToWhatItsBaseDoes)
{
    DerivedWindow window;
    int hookRuns = 0;
    window.OnShow = [&] { ++hookRuns; };
    window.CreateHandle();
    window.running = true;
    Application::Instance().QueueModalAction([&](Form& shown) {
        SendMessageW(shown.Handle(), WM_APP + 1, 0, 0);
        SendMessageW(shown.Handle(), WM_APP + 2, 0, 0);
        shown.SetModalResult(mrCancel);   // refused while running
        PostMessageW(shown.Handle(), WM_NULL, 0, 0);
        SetTimer(shown.Handle(), 1, 20, [](HWND handle, UINT, UINT_PTR id, DWORD) {
            KillTimer(handle, id);
            auto* form = static_cast<DerivedWindow*>(Control::FromHandle(handle));
            form->running = false;
            form->SetModalResult(mrOK);
        });
    });
    EXPECT_EQ(window.ShowModal(), mrOK);
    std::vector<std::string> expected{"base show",        "derived show",        "base message",
                                      "derived message",  "base close query",    "derived close query",
                                      "base close query", "derived close query"};
    EXPECT_EQ(window.calls, expected);
    EXPECT_EQ(hookRuns, 1) << "the hook still runs";
}
