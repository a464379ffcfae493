#include "ui/HelpWindow.h"

#include "platform/ExecutablePath.h"
#include "settings/Unicodelanguage.h"
#include "ui/Utils.h"

#include <shlwapi.h>
#include <algorithm>
#include <vector>

using namespace tk;

TFormHelp::TFormHelp() : TFormHelp(Language()) {}

TFormHelp::TFormHelp(UnicodeLanguage& language) : language(language)
{
    SetPosition(Position::MainFormCenter);
    SetClientSize(659, 425);
    WB.SetAlign(Align::Client);
}

void TFormHelp::Execute(const std::wstring& url)
{
    if (url.empty())
        return;
    CreateHandle();
    SetFont(ToFontSpec(language.GetFont(L"Font")));
    SetCaption(language.GetText(L"HelpWindow.Title"));
    WB.Navigate(url);
    ShowModal();
}

std::wstring HelpURL() { return HelpURL(ExecutablePath(), Language().GetText(L"HelpWindow.StartURL")); }

std::wstring HelpURL(const std::wstring& executablePath, const std::wstring& startPage)
{
    size_t folderEnd = executablePath.rfind(L'\\');
    if (folderEnd == std::wstring::npos)
        return std::wstring();
    // The start page is a relative path that may name a place in the page;
    // only the path is converted, the fragment is already in URL form.
    size_t fragmentStart = startPage.find(L'#');
    std::wstring page = startPage.substr(0, fragmentStart);
    std::replace(page.begin(), page.end(), L'/', L'\\');
    std::wstring path = executablePath.substr(0, folderEnd + 1) + page;
    // '#' and '%' are legal in file names but mean something in a URL: the
    // system's conversion escapes them, so the browser opens this very file.
    std::vector<wchar_t> url(3 * path.size() + 16);
    auto length = static_cast<DWORD>(url.size());
    if (FAILED(UrlCreateFromPathW(path.c_str(), url.data(), &length, 0)))
        return std::wstring();
    std::wstring result(url.data());
    if (fragmentStart != std::wstring::npos)
        result += startPage.substr(fragmentStart);
    return result;
}
