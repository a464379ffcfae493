#pragma once
// A host for the system's web browser control, for the help pages: it fills
// the control's area and opens the URLs it is given. The browser comes from
// the system's ATL host window ("AtlAxWin" of atl.dll), created on the first
// Navigate. Tests see the URLs through a hook instead (Wine here has no HTML
// engine).
#include "ui/toolkit/Control.h"
#include <functional>
#include <string>

struct IWebBrowser2;

namespace tk {

class WebBrowser : public Control {
public:
    explicit WebBrowser(Container* parent) : Control(parent) {}
    ~WebBrowser() override;

    // Opens `url`; false when no browser could be created or it refused the URL.
    bool Navigate(const std::wstring& url);
    // The URL last asked for.
    const std::wstring& LocationURL() const { return url_; }
    // Whether a browser control is hosted.
    bool Hosted() const { return browser_ != nullptr; }

    // When set, Navigate hands every URL to the hook instead of a browser.
    using NavigateHook = std::function<bool(WebBrowser& browser, const std::wstring& url)>;
    static void SetNavigateHook(NavigateHook hook);

protected:
    CreateParams GetCreateParams() const override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void WindowDestroyed() override;

private:
    bool EnsureBrowser();
    void ReleaseBrowser();

    std::wstring url_;
    HWND host_ = nullptr;
    IWebBrowser2* browser_ = nullptr;
};

}  // namespace tk
