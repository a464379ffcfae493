// Windows of this thread that are not the toolkit's (a wipe job's hidden
// window) get their messages through the toolkit's loops untouched, whatever
// they keep in their user data.
#include "ui/toolkit/Application.h"
#include "ui/toolkit/Form.h"
#include "ui/toolkit/TestDriver.h"
#include <gtest/gtest.h>
#include <string>

using namespace tk;

namespace {

// What such a window keeps: an object of its own, no control (and, like a
// wipe job, without virtual functions).
struct Job {
    int delivered = 0;
    const wchar_t* name = L"job";
};

LRESULT CALLBACK JobWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        return 0;
    }
    if (message == WM_APP) {
        reinterpret_cast<Job*>(GetWindowLongPtrW(window, GWLP_USERDATA))->delivered += 1;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

TEST(ToolkitForeignWindow, MessagesOfAnotherKindOfWindowPassThroughAModalLoop)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = JobWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ToolkitTestJobWindow";
    RegisterClassW(&windowClass);
    Job job;
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), &job);
    ASSERT_NE(window, nullptr);

    Form dialog;
    Application::Instance().QueueModalAction([&](Form& form) {
        for (int i = 0; i < 3; ++i)
            PostMessageW(window, WM_APP, 0, 0);
        EXPECT_TRUE(PumpUntil([&] { return job.delivered == 3; }, 5000));
        form.SetModalResult(mrOK);
    });
    EXPECT_EQ(dialog.ShowModal(), mrOK);
    EXPECT_EQ(job.delivered, 3);
    DestroyWindow(window);
}

TEST(ToolkitForeignWindow, AForeignChildOfAFormIsNeverTakenForAControl)
{
    // A child window of another kind inside a form, as a hosted browser has,
    // with its own object in its user data.
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = JobWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ToolkitTestForeignChild";
    RegisterClassW(&windowClass);
    Form form;
    form.CreateHandle();
    Job job;
    HWND child = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50,
                                 form.Handle(), nullptr, GetModuleHandleW(nullptr), &job);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(Control::FromHandle(child), nullptr);

    // What it sends its parent and what the loop routes through the form.
    NMHDR notice{child, 0, NM_CLICK};
    SendMessageW(form.Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notice));
    SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(child));
    MSG key{child, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    Application::Instance().RouteMessage(key);
    EXPECT_EQ(job.delivered, 0);
    EXPECT_EQ(job.name, std::wstring(L"job")) << "its object was not touched";
    DestroyWindow(child);
}
