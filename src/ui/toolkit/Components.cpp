#include "ui/toolkit/Components.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/Form.h"
#include <commdlg.h>
#include <shobjidl.h>
#include <map>
#include <vector>

namespace tk {

// ---- Timer ----

namespace {

// Thread timers carry only their id; this maps it back to the object.
std::map<UINT_PTR, Timer*>& Timers()
{
    static std::map<UINT_PTR, Timer*> timers;
    return timers;
}

}  // namespace

Timer::~Timer()
{
    enabled_ = false;
    Restart();
}

void Timer::SetInterval(UINT milliseconds)
{
    interval_ = milliseconds;
    Restart();
}

void Timer::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    Restart();
}

void Timer::Restart()
{
    if (id_ != 0) {
        KillTimer(nullptr, id_);
        Timers().erase(id_);
        id_ = 0;
    }
    if (enabled_ && interval_ > 0) {
        id_ = SetTimer(nullptr, 0, interval_, TimerProc);
        if (id_ != 0)
            Timers()[id_] = this;
    }
}

void CALLBACK Timer::TimerProc(HWND, UINT, UINT_PTR id, DWORD)
{
    auto found = Timers().find(id);
    if (found == Timers().end() || !found->second->OnTimer)
        return;
    // A timer procedure is called from the message loop like a window
    // procedure: nothing may escape it.
    try {
        found->second->OnTimer();
    } catch (...) {
        Application::Instance().HandleException();
    }
}

// ---- SaveDialog ----

std::wstring SystemFilter(const std::wstring& filter)
{
    std::wstring result = filter;
    for (wchar_t& character : result) {
        if (character == L'|')
            character = L'\0';
    }
    // The list ends with an empty string: two NULs after the last pattern.
    result.push_back(L'\0');
    result.push_back(L'\0');
    return result;
}

bool SaveDialog::Execute(const Form* owner) { return Application::Instance().ShowSaveDialog(*this, owner); }

bool SaveDialog::RunSystemDialog(HWND owner)
{
    std::vector<wchar_t> buffer(32768, L'\0');
    FileName.copy(buffer.data(), buffer.size() - 1);
    std::wstring filter = SystemFilter(Filter);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = Filter.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = FilterIndex;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    dialog.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
    dialog.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
    dialog.lpstrDefExt = DefaultExt.empty() ? nullptr : DefaultExt.c_str();
    dialog.Flags = Options | OFN_EXPLORER | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&dialog))
        return false;
    FileName = buffer.data();
    FilterIndex = dialog.nFilterIndex;
    return true;
}

// ---- FolderDialog ----

bool FolderDialog::Execute(const Form* owner) { return Application::Instance().ShowFolderDialog(*this, owner); }

bool FolderDialog::RunSystemDialog(HWND owner)
{
    IFileOpenDialog* dialog = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&dialog))))
        return false;
    DWORD options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST | FOS_NOCHANGEDIR);
    if (!Title.empty())
        dialog->SetTitle(Title.c_str());
    // The folder shown first, or the nearest one above it that exists.
    std::wstring start = Folder;
    while (!start.empty()) {
        IShellItem* item = nullptr;
        if (SUCCEEDED(SHCreateItemFromParsingName(start.c_str(), nullptr, IID_PPV_ARGS(&item)))) {
            dialog->SetFolder(item);
            item->Release();
            break;
        }
        size_t split = start.find_last_of(L'\\');
        start = split == std::wstring::npos || split < 3 ? std::wstring() : start.substr(0, split);
    }
    bool chosen = false;
    IShellItem* result = nullptr;
    if (SUCCEEDED(dialog->Show(owner)) && SUCCEEDED(dialog->GetResult(&result))) {
        PWSTR path = nullptr;
        if (SUCCEEDED(result->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
            Folder = path;
            CoTaskMemFree(path);
            chosen = true;
        }
        result->Release();
    }
    dialog->Release();
    return chosen;
}

}  // namespace tk
