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
class SaveDialog;
class FolderDialog;
struct MessageDialogSetup;

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
    // The error barrier, called inside a catch block where a message is
    // dispatched: shows what escaped an event handler in the standard error
    // box (an object that is no std::exception with an empty message).
    void HandleException();

    // Everything modal that a user answers goes through the application, so
    // that tests can answer it: message boxes, the translated message dialog,
    // the save-file and folder dialogs, modal forms.
    int ShowMessageBox(const std::wstring& text, const std::wstring& caption, UINT type);
    using MessageBoxHook = std::function<int(const std::wstring& text, const std::wstring& caption, UINT type)>;
    void SetMessageBoxHook(MessageBoxHook hook) { messageBoxHook_ = std::move(hook); }
    // Returns the modal result of the pressed button.
    int ShowMessageDialog(const MessageDialogSetup& setup);
    using MessageDialogHook = std::function<int(const MessageDialogSetup& setup)>;
    void SetMessageDialogHook(MessageDialogHook hook) { messageDialogHook_ = std::move(hook); }
    // True when the user chose a file (then in dialog.FileName).
    bool ShowSaveDialog(SaveDialog& dialog, const Form* owner);
    using SaveDialogHook = std::function<bool(SaveDialog& dialog)>;
    void SetSaveDialogHook(SaveDialogHook hook) { saveDialogHook_ = std::move(hook); }
    // True when the user chose a folder (then in dialog.Folder).
    bool ShowFolderDialog(FolderDialog& dialog, const Form* owner);
    using FolderDialogHook = std::function<bool(FolderDialog& dialog)>;
    void SetFolderDialogHook(FolderDialogHook hook) { folderDialogHook_ = std::move(hook); }

    // Test driving: each action runs once, inside the modal loop, right after
    // the next modal form has been shown (in order, one per showing); the
    // modal hook runs for every showing that finds no action queued.
    using ModalAction = std::function<void(Form& form)>;
    void QueueModalAction(ModalAction action) { modalActions_.push_back(std::move(action)); }
    void ClearModalActions() { modalActions_.clear(); }
    size_t PendingModalActions() const { return modalActions_.size(); }
    void SetModalHook(ModalAction hook) { modalHook_ = std::move(hook); }

    // Tests set this so that nothing modal ever waits for a user who is not
    // there: a modal form with no action or hook, or a box or dialog with no
    // hook, calls it with a description and gives its cancelling answer at
    // once. Unset (the program), the user answers.
    using UnansweredHandler = std::function<void(const std::wstring& what)>;
    void SetUnansweredHandler(UnansweredHandler handler) { unanswered_ = std::move(handler); }
    bool Unattended() const { return static_cast<bool>(unanswered_); }
    // A call the toolkit cannot honour (a programming error): reported to the
    // unanswered handler in tests, in the standard error box otherwise.
    void ReportMisuse(const std::wstring& what);

    // Used by Form.
    void RegisterForm(Form* form);
    void UnregisterForm(Form* form);
    const std::vector<Form*>& Forms() const { return forms_; }
    void EnterModal(Form* form);
    void LeaveModal(Form* form);
    // Runs the queued action or the modal hook; false when neither exists
    // and the showing was reported as unanswered (it then ends at once).
    bool RunModalAction(Form& form);

private:
    Application() = default;
    bool PreTranslate(MSG& message);
    // The window a message box or dialog belongs to: the modal form on top,
    // else the main form when it shows.
    HWND ModalOwner() const;

    std::wstring title_;
    Form* mainForm_ = nullptr;
    std::vector<Form*> forms_;
    std::vector<Form*> modalStack_;
    std::deque<ModalAction> modalActions_;
    MessageBoxHook messageBoxHook_;
    MessageDialogHook messageDialogHook_;
    SaveDialogHook saveDialogHook_;
    FolderDialogHook folderDialogHook_;
    ModalAction modalHook_;
    UnansweredHandler unanswered_;
    bool terminated_ = false;
    int exitCode_ = 0;
};

}  // namespace tk
