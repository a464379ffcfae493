// Windows of this thread that are not the toolkit's (a wipe job's hidden
// window) get their messages through the toolkit's loops untouched, whatever
// they keep in their user data.
#include "ui/toolkit/Application.h"
#include "ui/toolkit/Form.h"
#include "ui/toolkit/TestDriver.h"
#include <gtest/gtest.h>

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
