#include "ui/toolkit/Application.h"
#include "ui/toolkit/Form.h"
#include <algorithm>

namespace tk {

Application& Application::Instance()
{
    static Application application;
    return application;
}

void Application::CreateForm(Form& form)
{
    if (mainForm_ == nullptr)
        mainForm_ = &form;
    form.CreateHandle();
}

int Application::Run()
{
    terminated_ = false;
    if (mainForm_ != nullptr)
        mainForm_->Show();
    // Terminate posts WM_QUIT; the loop ends when it is taken from the queue,
    // so no quit is left behind for a later loop.
    while (HandleMessage()) {
    }
    // Windows go while every form object is still whole.
    for (Form* form : std::vector<Form*>(forms_))
        form->DestroyHandle();
    return exitCode_;
}

void Application::Terminate(int exitCode)
{
    terminated_ = true;
    exitCode_ = exitCode;
    PostQuitMessage(exitCode);
}

bool Application::HandleMessage()
{
    MSG message{};
    BOOL result = GetMessageW(&message, nullptr, 0, 0);
    if (result == 0) {
        terminated_ = true;
        exitCode_ = static_cast<int>(message.wParam);
        // A modal loop ends too; the loops outside it must see the quit as well.
        if (!modalStack_.empty())
            PostQuitMessage(exitCode_);
        return false;
    }
    if (result < 0)
        return false;
    RouteMessage(message);
    return true;
}

void Application::RouteMessage(MSG& message)
{
    if (!PreTranslate(message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void Application::ProcessMessages()
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        RouteMessage(message);
    }
}

bool Application::PreTranslate(MSG& message)
{
    if (message.hwnd == nullptr)
        return false;
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    if (auto* form = dynamic_cast<Form*>(Control::FromHandle(root)))
        return form->PreTranslateMessage(message);
    return false;
}

void Application::ShowError(const std::wstring& message)
{
    ShowMessageBox(message, title_, MB_OK | MB_ICONERROR);
}

int Application::ShowMessageBox(const std::wstring& text, const std::wstring& caption, UINT type)
{
    if (messageBoxHook_)
        return messageBoxHook_(text, caption, type);
    HWND owner = nullptr;
    if (Form* modal = ActiveModalForm())
        owner = modal->Handle();
    else if (mainForm_ != nullptr && mainForm_->Handle() != nullptr && IsWindowVisible(mainForm_->Handle()))
        owner = mainForm_->Handle();
    return ::MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}

void Application::RegisterForm(Form* form) { forms_.push_back(form); }

void Application::UnregisterForm(Form* form)
{
    forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
    modalStack_.erase(std::remove(modalStack_.begin(), modalStack_.end(), form), modalStack_.end());
    if (mainForm_ == form)
        mainForm_ = nullptr;
}

void Application::EnterModal(Form* form) { modalStack_.push_back(form); }

void Application::LeaveModal(Form* form)
{
    modalStack_.erase(std::remove(modalStack_.begin(), modalStack_.end(), form), modalStack_.end());
}

void Application::RunModalAction(Form& form)
{
    if (modalActions_.empty())
        return;
    ModalAction action = std::move(modalActions_.front());
    modalActions_.pop_front();
    action(form);
}

}  // namespace tk
