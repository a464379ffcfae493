// The busy cursor, radio button groups, the language font in the toolkit's
// terms, and the web browser host.
#include "settings/Unicodelanguage.h"
#include "ui/Utils.h"
#include "ui/toolkit/Form.h"
#include "ui/toolkit/ListView.h"
#include "ui/toolkit/StdControls.h"
#include "ui/toolkit/WebBrowser.h"
#include <gtest/gtest.h>
#include <vector>

using namespace tk;

namespace {

class ChoiceForm : public Form {
public:
    Label LabelLogging{this};
    RadioButton RBLogDisabled{this};
    RadioButton RBLogEnabled{this};
    Edit EditLog{this};
    RadioButton RBOther{this};
    ListView LV{this};

    ChoiceForm()
    {
        SetClientSize(300, 200);
        LabelLogging.SetBounds(8, 8, 100, 13);
        RBLogDisabled.SetBounds(8, 24, 100, 17);
        RBLogEnabled.SetBounds(8, 44, 100, 17);
        EditLog.SetBounds(8, 64, 200, 21);
        RBOther.SetBounds(8, 90, 100, 17);
        LV.SetBounds(8, 110, 280, 80);
    }
};

bool Group(const Control& control) { return (GetWindowLongPtrW(control.Handle(), GWL_STYLE) & WS_GROUP) != 0; }

}  // namespace

TEST(ToolkitPieces, EachRunOfRadioButtonsIsAGroup)
{
    ChoiceForm form;
    form.CreateHandle();
    EXPECT_TRUE(Group(form.RBLogDisabled)) << "the first radio button starts the group";
    EXPECT_FALSE(Group(form.RBLogEnabled));
    EXPECT_TRUE(Group(form.EditLog)) << "the control after the group ends it";
    EXPECT_TRUE(Group(form.RBOther));
    EXPECT_TRUE(Group(form.LV));
}

TEST(ToolkitPieces, ABusyFormShowsTheWaitCursorOverItselfAndItsControls)
{
    ChoiceForm form;
    form.Show();
    HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
    auto cursorOver = [&](const Control& control) {
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        SendMessageW(control.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(control.Handle()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    EXPECT_NE(cursorOver(form.LV), wait);
    form.SetBusy(true);
    form.SetBusy(true);
    EXPECT_EQ(cursorOver(form.LV), wait);
    EXPECT_EQ(cursorOver(form.EditLog), wait);
    EXPECT_EQ(cursorOver(form), wait);
    form.SetBusy(false);
    EXPECT_EQ(cursorOver(form.LV), wait) << "busy calls nest";
    form.SetBusy(false);
    EXPECT_NE(cursorOver(form.LV), wait);
    form.Hide();
}

TEST(ToolkitPieces, TheLanguageFontBecomesTheToolkitsFont)
{
    LanguageFont font;
    font.Name = L"Arial";
    font.Size = 11;
    font.Bold = true;
    font.Italic = true;
    font.Charset = RUSSIAN_CHARSET;
    FontSpec converted = ToFontSpec(font);
    EXPECT_EQ(converted.Name, L"Arial");
    EXPECT_EQ(converted.Size, 11);
    EXPECT_TRUE(converted.Bold);
    EXPECT_TRUE(converted.Italic);
    EXPECT_FALSE(converted.Underline);
    EXPECT_EQ(converted.Charset, RUSSIAN_CHARSET);
    EXPECT_EQ(converted.Color, CLR_INVALID) << "the window text colour follows the system";
    font.Color = 0x000000FF;
    EXPECT_EQ(ToFontSpec(font).Color, RGB(0xFF, 0, 0));
    font.Color = 0x80000000u | COLOR_HIGHLIGHT;
    EXPECT_EQ(ToFontSpec(font).Color, GetSysColor(COLOR_HIGHLIGHT));
}

namespace {

class HelpForm : public Form {
public:
    tk::WebBrowser Browser{this};
    HelpForm()
    {
        SetClientSize(400, 300);
        Browser.SetAlign(Align::Client);
    }
};

}  // namespace

TEST(ToolkitWebBrowser, NavigatesThroughTheHookAndFillsItsParent)
{
    std::vector<std::wstring> urls;
    tk::WebBrowser::SetNavigateHook([&](tk::WebBrowser&, const std::wstring& url) {
        urls.push_back(url);
        return true;
    });
    HelpForm form;
    form.CreateHandle();
    EXPECT_TRUE(form.Browser.Navigate(L"file:///C:/Program%20Files/Varnox/Help/index.htm"));
    tk::WebBrowser::SetNavigateHook(nullptr);
    EXPECT_EQ(urls, std::vector<std::wstring>{L"file:///C:/Program%20Files/Varnox/Help/index.htm"});
    EXPECT_EQ(form.Browser.LocationURL(), urls[0]);
    RECT area, client;
    GetClientRect(form.Handle(), &client);
    area = form.Browser.BoundsPx();
    EXPECT_TRUE(EqualRect(&area, &client));

    // Without the hook the system's browser is asked; where there is none
    // (no HTML engine), Navigate says so and nothing breaks.
    bool opened = form.Browser.Navigate(L"about:blank");
    EXPECT_EQ(opened, form.Browser.Hosted());
}
