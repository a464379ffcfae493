#pragma once
// The help window: the help pages, local HTML files beside the executable,
// in the system's embedded browser.
#include "ui/toolkit/Form.h"
#include "ui/toolkit/WebBrowser.h"
#include <string>

class UnicodeLanguage;

class TFormHelp : public tk::Form {
public:
    // Texts from the application's language manager.
    TFormHelp();
    // Texts from `language` (tests); it must outlive the window.
    explicit TFormHelp(UnicodeLanguage& language);

    // Opens `url` and shows the window; every showing opens it anew. An
    // empty URL shows nothing.
    void Execute(const std::wstring& url);

    tk::WebBrowser WB{this};

private:
    UnicodeLanguage& language;
};

// The URL of the help start page: the executable's folder and the
// language's "HelpWindow.StartURL", or empty when the executable's path has
// no folder.
std::wstring HelpURL();
// The same for a given executable path and start page ("Help/index.htm", a
// path relative to the executable's folder, optionally with a "#fragment").
// The path becomes a URL through the system's conversion, so a folder named
// with '#', '%' or spaces still leads to the right file.
std::wstring HelpURL(const std::wstring& executablePath, const std::wstring& startPage);
