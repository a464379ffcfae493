// The log window over a log of the test's own: every record a row, the
// newest selected, clearing only when confirmed, and a layout that comes back
// in pixels at any DPI.
#include "AuxWindowTest.h"

#include "ui/LogWindow.h"
#include "ui/Utils.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/Gdi.h"
#include "ui/toolkit/MessageDialog.h"
#include "ui/toolkit/TestDriver.h"

#include <functional>

using tk::Application;
using tk::Press;

namespace {

class LogWindowTest : public AuxWindowTest {
protected:
    void Open(TFormLog& window, const std::function<void(TFormLog&)>& act)
    {
        Application::Instance().QueueModalAction([&](tk::Form&) { act(window); });
        window.Execute();
        EXPECT_EQ(Application::Instance().PendingModalActions(), 0u) << "the window was not shown";
    }
    int Stored(const std::wstring& key) { return config->ReadInt(L"LogWindow", key, -1); }

    TFormLog window{*config, *language, *log};
};

int ListColumnWidth(const tk::ListView& list, int column)
{
    return static_cast<int>(SendMessageW(list.Handle(), LVM_GETCOLUMNWIDTH, column, 0));
}

int ListClientWidth(const tk::ListView& list)
{
    RECT area{};
    GetClientRect(list.Handle(), &area);
    return area.right;
}

}  // namespace

TEST_F(LogWindowTest, TenThousandRecordsWithTheNewestSelected)
{
    for (int i = 0; i < 10000; ++i)
        log->Add(i % 2 ? LogCategory::Error : LogCategory::Info, L"C:\\Temp\\file" + std::to_wstring(i) + L".txt",
                 L"Log.FileWiped");
    Open(window, [&](TFormLog& form) {
        EXPECT_EQ(form.Caption(), L"Log-T");
        EXPECT_EQ(form.ButtonLogClear.Caption(), L"Clear-T");
        ASSERT_EQ(form.LV.Count(), 10000);
        EXPECT_EQ(form.LV.SelectedRows(), std::vector<int>{9999});
        EXPECT_EQ(form.LV.ItemText(0, 0), L"Info-T");
        EXPECT_EQ(form.LV.ItemText(9999, 0), L"Error-T");
        EXPECT_EQ(form.LV.ItemText(9999, 2), L"C:\\Temp\\file9999.txt");
        EXPECT_EQ(form.LV.ItemText(9999, 3), L"Wiped-T");
        EXPECT_EQ(form.LV.ItemText(9999, 1), FormatLogTime(log->At(9999).time));
        // The newest row is in view.
        int top = static_cast<int>(SendMessageW(form.LV.Handle(), LVM_GETTOPINDEX, 0, 0));
        int perPage = static_cast<int>(SendMessageW(form.LV.Handle(), LVM_GETCOUNTPERPAGE, 0, 0));
        EXPECT_GE(9999, top);
        EXPECT_LE(9999, top + perPage);
        EXPECT_TRUE(Press(form.ButtonOK));
    });
    EXPECT_EQ(window.LV.Count(), 0) << "the rows go when the window closes";
    EXPECT_EQ(log->Count(), 10000u);

    // An empty log: an empty list, nothing selected.
    log->Clear();
    Open(window, [&](TFormLog& form) {
        EXPECT_EQ(form.LV.Count(), 0);
        EXPECT_EQ(form.LV.SelCount(), 0);
        tk::PressKey(form.LV, VK_ESCAPE);
    });
}

TEST_F(LogWindowTest, TimesShowTheLocalesDateAndTimeAndMidnightShowsTheDateAlone)
{
    SYSTEMTIME moment{2011, 12, 4, 8, 14, 30, 15, 250};
    wchar_t date[80], clock[80];
    GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &moment, nullptr, date, 80);
    GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &moment, nullptr, clock, 80);
    EXPECT_EQ(FormatLogTime(40885.60434317), std::wstring(date) + L" " + clock);
    EXPECT_EQ(FormatLogTime(40885.0), date);
    // A time field that did not parse loads as 0: the epoch's date, before
    // the calendar the system formats.
    std::wstring epoch = FormatLogTime(0.0);
    EXPECT_NE(epoch.find(L"30"), std::wstring::npos) << epoch;
    EXPECT_NE(epoch.find(L"12"), std::wstring::npos) << epoch;
    EXPECT_NE(epoch.find(L"99"), std::wstring::npos) << epoch;
    EXPECT_EQ(epoch.find(L':'), std::wstring::npos) << epoch;
}

TEST_F(LogWindowTest, ClearingAsksFirstAndNoKeepsEveryRecord)
{
    for (int i = 0; i < 5; ++i)
        log->Add(LogCategory::Info, L"", L"Log.DirDeleted");
    std::vector<tk::MessageDialogSetup> asked;
    int answer = tk::mrNo;
    Application::Instance().SetMessageDialogHook([&](const tk::MessageDialogSetup& dialog) {
        asked.push_back(dialog);
        return answer;
    });
    Open(window, [&](TFormLog& form) {
        EXPECT_TRUE(Press(form.ButtonLogClear));  // no file chosen: the default one
        config->WriteString(L"Config", L"LogFile", L"C:\\logs\\Varnox.log");
        EXPECT_TRUE(Press(form.ButtonLogClear));
        EXPECT_EQ(form.LV.Count(), 5);
        EXPECT_EQ(form.LV.SelectedRows(), std::vector<int>{4});
        answer = tk::mrYes;
        EXPECT_TRUE(Press(form.ButtonLogClear));
        EXPECT_EQ(form.LV.Count(), 0);
        EXPECT_EQ(form.LV.SelCount(), 0);
        EXPECT_TRUE(Press(form.ButtonOK));
    });
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(asked[0].text, L"Clear the log? " + DefaultLogPath());
    EXPECT_EQ(asked[1].text, L"Clear the log? C:\\logs\\Varnox.log");
    EXPECT_EQ(asked[0].icon, tk::MessageDialogSetup::Icon::Question);
    ASSERT_EQ(asked[0].buttons.size(), 2u);
    EXPECT_EQ(asked[0].buttons[0].result, tk::mrYes);
    EXPECT_EQ(asked[0].buttons[1].result, tk::mrNo);
    EXPECT_EQ(log->Count(), 0u);
}

// Sizes chosen by the user come back as the same pixels, at 96 DPI and on a
// 144 DPI monitor, also in a window made anew (a restart).
class LogWindowLayoutTest : public LogWindowTest, public ::testing::WithParamInterface<int> {
protected:
    LogWindowLayoutTest() { tk::SetDpiOverride(GetParam()); }
    ~LogWindowLayoutTest() override { tk::SetDpiOverride(0); }
};

TEST_P(LogWindowLayoutTest, TheLayoutIsRememberedInPixelsAndTextTakesTheRest)
{
    log->Add(LogCategory::Info, L"", L"Log.DirDeleted");
    {
        TFormLog first(*config, *language, *log);
        Open(first, [&](TFormLog& form) {
            // Nothing stored yet: the designed widths, scaled like the window.
            EXPECT_EQ(ListColumnWidth(form.LV, 0), MulDiv(80, GetParam(), 96));
            EXPECT_EQ(ListColumnWidth(form.LV, 2), MulDiv(200, GetParam(), 96));
            // The user makes the window larger and the columns wider.
            RECT outer = form.OuterBoundsPx();
            SetWindowPos(form.Handle(), nullptr, 0, 0, 750, 520, SWP_NOMOVE | SWP_NOZORDER);
            EXPECT_EQ(form.OuterBoundsPx().right - form.OuterBoundsPx().left, 750) << outer.right - outer.left;
            for (int column = 0; column < 3; ++column)
                SendMessageW(form.LV.Handle(), LVM_SETCOLUMNWIDTH, column, MAKELPARAM(90 + 10 * column, 0));
            // Resizing keeps the three widths and gives Text the rest, less 20.
            SetWindowPos(form.Handle(), nullptr, 0, 0, 760, 530, SWP_NOMOVE | SWP_NOZORDER);
            EXPECT_EQ(ListColumnWidth(form.LV, 0), 90);
            EXPECT_EQ(ListColumnWidth(form.LV, 3), ListClientWidth(form.LV) - 90 - 100 - 110 - 20);
            EXPECT_TRUE(Press(form.ButtonOK));
        });
    }
    EXPECT_EQ(Stored(L"Width"), 760);
    EXPECT_EQ(Stored(L"Height"), 530);
    EXPECT_EQ(Stored(L"Col0W"), 90);
    EXPECT_EQ(Stored(L"Col1W"), 100);
    EXPECT_EQ(Stored(L"Col2W"), 110);
    EXPECT_EQ(Stored(L"Col3W"), -1) << "the Text column is not stored";

    TFormLog restarted(*config, *language, *log);
    Open(restarted, [&](TFormLog& form) {
        RECT outer = form.OuterBoundsPx();
        EXPECT_EQ(outer.right - outer.left, 760);
        EXPECT_EQ(outer.bottom - outer.top, 530);
        EXPECT_EQ(ListColumnWidth(form.LV, 1), 100);
        EXPECT_EQ(ListColumnWidth(form.LV, 2), 110);
        EXPECT_EQ(ListColumnWidth(form.LV, 3), ListClientWidth(form.LV) - 90 - 100 - 110 - 20);
        // Centred on the main window.
        RECT mainRect = main.OuterBoundsPx();
        EXPECT_NEAR((outer.left + outer.right) / 2, (mainRect.left + mainRect.right) / 2, 1);
        // Narrower than the three columns: Text shrinks to nothing, not to
        // a width the list would take as "size to content".
        SetWindowPos(form.Handle(), nullptr, 0, 0, 250, 300, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(ListColumnWidth(form.LV, 3), 0);
        EXPECT_TRUE(Press(form.ButtonOK));
    });
}

INSTANTIATE_TEST_SUITE_P(Dpi, LogWindowLayoutTest, ::testing::Values(96, 144));
