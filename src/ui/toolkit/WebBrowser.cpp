#include "ui/toolkit/WebBrowser.h"
#include <exdisp.h>
#include <oleauto.h>

namespace tk {

namespace {

WebBrowser::NavigateHook& Hook()
{
    static WebBrowser::NavigateHook hook;
    return hook;
}

using AtlAxWinInitFunction = BOOL(WINAPI*)();
using AtlAxGetControlFunction = HRESULT(WINAPI*)(HWND, IUnknown**);

struct AtlHost {
    AtlAxGetControlFunction getControl = nullptr;
    bool ready = false;
};

// atl.dll registers the "AtlAxWin" window class, which hosts any ActiveX
// control named by its window text. Loaded once, kept for the process.
const AtlHost& Atl()
{
    static AtlHost host = [] {
        AtlHost loaded;
        HMODULE module = LoadLibraryW(L"atl.dll");
        if (module == nullptr)
            return loaded;
        auto init = reinterpret_cast<AtlAxWinInitFunction>(
            reinterpret_cast<void*>(GetProcAddress(module, "AtlAxWinInit")));
        loaded.getControl = reinterpret_cast<AtlAxGetControlFunction>(
            reinterpret_cast<void*>(GetProcAddress(module, "AtlAxGetControl")));
        loaded.ready = init != nullptr && loaded.getControl != nullptr && init();
        return loaded;
    }();
    return host;
}

}  // namespace

void WebBrowser::SetNavigateHook(NavigateHook hook) { Hook() = std::move(hook); }

WebBrowser::~WebBrowser() { ReleaseBrowser(); }

Control::CreateParams WebBrowser::GetCreateParams() const
{
    CreateParams params;
    params.ClassName = kContainerClass;
    params.OwnClass = true;
    params.Style = WS_CLIPCHILDREN;
    return params;
}

bool WebBrowser::EnsureBrowser()
{
    if (browser_ != nullptr)
        return true;
    if (window_ == nullptr || !Atl().ready)
        return false;
    RECT area;
    GetClientRect(window_, &area);
    host_ = CreateWindowExW(0, L"AtlAxWin", L"Shell.Explorer.2", WS_CHILD | WS_VISIBLE, 0, 0, area.right,
                            area.bottom, window_, nullptr, ToolkitInstance(), nullptr);
    if (host_ == nullptr)
        return false;
    IUnknown* control = nullptr;
    if (SUCCEEDED(Atl().getControl(host_, &control)) && control != nullptr) {
        control->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser_));
        control->Release();
    }
    if (browser_ == nullptr) {
        DestroyWindow(host_);
        host_ = nullptr;
        return false;
    }
    return true;
}

void WebBrowser::ReleaseBrowser()
{
    if (browser_ != nullptr) {
        browser_->Release();
        browser_ = nullptr;
    }
    host_ = nullptr;
}

bool WebBrowser::Navigate(const std::wstring& url)
{
    url_ = url;
    if (Hook())
        return Hook()(*this, url);
    if (!EnsureBrowser())
        return false;
    BSTR address = SysAllocString(url.c_str());
    VARIANT empty;
    VariantInit(&empty);
    HRESULT result = browser_->Navigate(address, &empty, &empty, &empty, &empty);
    SysFreeString(address);
    return SUCCEEDED(result);
}

void WebBrowser::WindowDestroyed() { ReleaseBrowser(); }

LRESULT WebBrowser::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SIZE && host_ != nullptr)
        MoveWindow(host_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
    return Control::HandleMessage(message, wParam, lParam);
}

}  // namespace tk
