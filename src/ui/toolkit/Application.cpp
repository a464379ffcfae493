#include "ui/toolkit/Application.h"
#include "ui/toolkit/Components.h"
#include "ui/toolkit/Form.h"
#include "ui/toolkit/MessageDialog.h"
#include <algorithm>
#include <exception>

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
    // Only our forms: other windows of this thread (a wipe job's hidden
    // window) keep pointers of their own in their user data.
    for (Form* form : forms_) {
        if (form->Handle() == root)
            return form->PreTranslateMessage(message);
    }
    return false;
}

void Application::ShowError(const std::wstring& message)
{
    ShowMessageBox(message, title_, MB_OK | MB_ICONERROR);
}

namespace {

std::wstring WideFromSystem(const char* text)
{
    if (text == nullptr || *text == '\0')
        return {};
    // Library messages are in the system code page, ours in ASCII.
    int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(std::max(length, 1)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

}  // namespace

void Application::HandleException()
{
    std::wstring message;
    try {
        throw;
    } catch (const std::exception& exception) {
        message = WideFromSystem(exception.what());
    } catch (...) {
    }
    // The box itself runs a message loop; whatever escapes there is caught
    // by the barrier of that message.
    ShowError(message);
}

void Application::ReportMisuse(const std::wstring& what)
{
    if (unanswered_)
        unanswered_(what);
    else
        ShowError(what);
}

namespace {

// The answer of a message box that nobody is there to give: its cancelling button.
int CancellingAnswer(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OK:
        return IDOK;
    case MB_YESNO:
        return IDNO;
    case MB_ABORTRETRYIGNORE:
        return IDABORT;
    default:
        return IDCANCEL;
    }
}

}  // namespace

int Application::ShowMessageBox(const std::wstring& text, const std::wstring& caption, UINT type)
{
    if (messageBoxHook_)
        return messageBoxHook_(text, caption, type);
    if (unanswered_) {
        unanswered_(L"message box \"" + caption + L"\": " + text);
        return CancellingAnswer(type);
    }
    return ::MessageBoxW(ModalOwner(), text.c_str(), caption.c_str(), type);
}

HWND Application::ModalOwner() const
{
    if (Form* modal = ActiveModalForm())
        return modal->Handle();
    if (mainForm_ != nullptr && mainForm_->Handle() != nullptr && IsWindowVisible(mainForm_->Handle()))
        return mainForm_->Handle();
    return nullptr;
}

int Application::ShowMessageDialog(const MessageDialogSetup& setup)
{
    if (messageDialogHook_)
        return messageDialogHook_(setup);
    if (unanswered_) {
        unanswered_(L"message dialog \"" + setup.caption + L"\": " + setup.text);
        return setup.escapeResult;
    }
    return RunMessageDialog(setup, ModalOwner());
}

bool Application::ShowSaveDialog(SaveDialog& dialog, const Form* owner)
{
    if (saveDialogHook_)
        return saveDialogHook_(dialog);
    if (unanswered_) {
        unanswered_(L"save dialog \"" + dialog.Title + L"\"");
        return false;
    }
    return dialog.RunSystemDialog(owner != nullptr ? owner->Handle() : ModalOwner());
}

bool Application::ShowFolderDialog(FolderDialog& dialog, const Form* owner)
{
    if (folderDialogHook_)
        return folderDialogHook_(dialog);
    if (unanswered_) {
        unanswered_(L"folder dialog \"" + dialog.Title + L"\"");
        return false;
    }
    return dialog.RunSystemDialog(owner != nullptr ? owner->Handle() : ModalOwner());
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

bool Application::RunModalAction(Form& form)
{
    if (!modalActions_.empty()) {
        ModalAction action = std::move(modalActions_.front());
        modalActions_.pop_front();
        action(form);
    } else if (modalHook_) {
        modalHook_(form);
    } else if (unanswered_) {
        unanswered_(L"modal form \"" + form.Caption() + L"\" shown with nothing queued to answer it");
        return false;
    }
    return true;
}

}  // namespace tk
