#pragma once
// The application object: the forms, the message loop, the main form
// (closing it ends the run), the title, the message boxes, and the hooks
// tests use to act on modal forms once they are shown.
#include <windows.h>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace tk {

class Form;

class Application {
public:
    static Application& Instance();

    void SetTitle(const std::wstring& title) { title_ = title; }
    const std::wstring& Title() const { return title_; }

    // Creates the form's windows; the first form created becomes the main form.
    void CreateForm(Form& form);
    void SetMainForm(Form* form) { mainForm_ = form; }
    Form* MainForm() const { return mainForm_; }
    // Shows the main form and runs the message loop until the main form is
    // closed or Terminate is called; then destroys the windows of every form.
    int Run();
    void Terminate(int exitCode = 0);
    bool Terminated() const { return terminated_; }
    // Waits for and handles one message; false when WM_QUIT arrived (it is posted again).
    bool HandleMessage();
    // Handles the messages already waiting, without blocking.
    void ProcessMessages();
    // Handles one message as the loop does: the form's keys first, then dispatch.
    void RouteMessage(MSG& message);
    // The modal form on top, or null.
    Form* ActiveModalForm() const { return modalStack_.empty() ? nullptr : modalStack_.back(); }

    // The standard error box: an error message with the application's title,
    // for a failure that ends an event handler.
    void ShowError(const std::wstring& message);
    // Every message box of the application goes through here, so tests can answer it.
    int ShowMessageBox(const std::wstring& text, const std::wstring& caption, UINT type);
    using MessageBoxHook = std::function<int(const std::wstring& text, const std::wstring& caption, UINT type)>;
    void SetMessageBoxHook(MessageBoxHook hook) { messageBoxHook_ = std::move(hook); }

    // Test driving: each action runs once, inside the modal loop, right after
    // the next modal form has been shown (in order, one per showing).
    using ModalAction = std::function<void(Form& form)>;
    void QueueModalAction(ModalAction action) { modalActions_.push_back(std::move(action)); }
    void ClearModalActions() { modalActions_.clear(); }
    size_t PendingModalActions() const { return modalActions_.size(); }

    // Used by Form.
    void RegisterForm(Form* form);
    void UnregisterForm(Form* form);
    const std::vector<Form*>& Forms() const { return forms_; }
    void EnterModal(Form* form);
    void LeaveModal(Form* form);
    void RunModalAction(Form& form);

private:
    Application() = default;
    bool PreTranslate(MSG& message);

    std::wstring title_;
    Form* mainForm_ = nullptr;
    std::vector<Form*> forms_;
    std::vector<Form*> modalStack_;
    std::deque<ModalAction> modalActions_;
    MessageBoxHook messageBoxHook_;
    bool terminated_ = false;
    int exitCode_ = 0;
};

}  // namespace tk
