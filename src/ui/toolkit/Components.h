#pragma once
// Components without a window of their own: the timer, the save-file dialog
// and the folder dialog.
#include <windows.h>
#include <commdlg.h>
#include <functional>
#include <string>

namespace tk {

class Form;

// Runs OnTimer every Interval milliseconds while enabled, inside whatever
// message loop runs (the main one or a modal one).
class Timer {
public:
    Timer() = default;
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    void SetInterval(UINT milliseconds);
    UINT Interval() const { return interval_; }
    void SetEnabled(bool enabled);
    bool Enabled() const { return enabled_; }

    std::function<void()> OnTimer;

private:
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD);
    void Restart();
    UINT interval_ = 1000;
    bool enabled_ = false;
    UINT_PTR id_ = 0;
};

// The system's save-file dialog.
class SaveDialog {
public:
    std::wstring Title;
    // Pairs of description and pattern separated by vertical bars:
    // "Log files (*.log)|*.log|All files (*.*)|*.*".
    std::wstring Filter;
    std::wstring DefaultExt;   // without the dot
    std::wstring InitialDir;
    std::wstring FileName;     // the proposal before, the choice after Execute
    DWORD FilterIndex = 1;     // the filter shown first (1-based), and the one chosen after Execute
    // OFN_* options beyond the ones always set (explorer look, no change of
    // the current folder); the default hides the read-only box, requires an
    // existing path, asks before an existing file is replaced and lets the
    // dialog be resized.
    DWORD Options = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT | OFN_ENABLESIZING;

    // True when the user chose a file. Goes through
    // Application::ShowSaveDialog, so tests can answer it.
    bool Execute(const Form* owner = nullptr);
    // The system's dialog itself (what Application::ShowSaveDialog shows).
    bool RunSystemDialog(HWND owner);
};

// The system's dialog that picks a folder of the file system.
class FolderDialog {
public:
    std::wstring Title;
    std::wstring Folder;  // the folder shown first, the choice after Execute

    // True when the user chose a folder. Goes through
    // Application::ShowFolderDialog, so tests can answer it.
    bool Execute(const Form* owner = nullptr);
    // The system's dialog itself (what Application::ShowFolderDialog shows).
    bool RunSystemDialog(HWND owner);
};

// The filter in the system's form: every bar a NUL, ending in two NULs.
std::wstring SystemFilter(const std::wstring& filter);

}  // namespace tk
