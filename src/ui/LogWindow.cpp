#include "ui/LogWindow.h"
#include "log/Log.h"
#include "settings/Unicodelanguage.h"
#include "settings/Vxuserconfig.h"
#include "ui/Utils.h"
#include "ui/toolkit/Scopes.h"


#include <algorithm>
#include <cmath>

using namespace tk;

namespace {

const wchar_t* const kSection = L"LogWindow";
constexpr int kMillisecondsPerDay = 86400000;

// Calendar date of a day count from 1970-01-01 (proleptic Gregorian).
void CivilFromDays(int64_t days, SYSTEMTIME& date)
{
    days += 719468;
    int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    int64_t dayOfEra = days - era * 146097;
    int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    int64_t month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    date.wDay = static_cast<WORD>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    date.wMonth = static_cast<WORD>(month);
    date.wYear = static_cast<WORD>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

// The short date through the locale's pattern, for dates the system refuses
// to format (before 1601: an unreadable time field loads as 1899-12-30).
std::wstring FormatShortDatePattern(const SYSTEMTIME& date)
{
    wchar_t pattern[80] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, pattern, 80) == 0)
        wcscpy(pattern, L"yyyy-MM-dd");
    std::wstring text;
    for (const wchar_t* p = pattern; *p != L'\0';) {
        wchar_t letter = *p;
        size_t run = 1;
        while (p[run] == letter)
            ++run;
        auto padded = [&](int value, size_t width) {
            std::wstring digits = std::to_wstring(value);
            text += std::wstring(digits.size() < width ? width - digits.size() : 0, L'0') + digits;
        };
        if (letter == L'\'') {
            const wchar_t* end = wcschr(p + 1, L'\'');
            text.append(p + 1, end != nullptr ? end : p + wcslen(p));
            p = end != nullptr ? end + 1 : p + wcslen(p);
            continue;
        }
        if (letter == L'd')
            padded(date.wDay, std::min<size_t>(run, 2));
        else if (letter == L'M')
            padded(date.wMonth, std::min<size_t>(run, 2));
        else if (letter == L'y')
            padded(run <= 2 ? date.wYear % 100 : date.wYear, run <= 2 ? 2 : 4);
        else
            text.append(run, letter);
        p += run;
    }
    return text;
}

}  // namespace

std::wstring FormatLogTime(double time)
{
    if (!std::isfinite(time) || std::fabs(time) > 2958465.0)  // beyond 9999-12-31
        return std::wstring();
    // OLE dates count whole days from 1899-12-30; the fraction is the time
    // of day, also for dates before it (-1.25 is 1899-12-29 06:00).
    double whole = std::trunc(time);
    auto milliseconds = static_cast<int64_t>(std::llround(std::fabs(time - whole) * kMillisecondsPerDay));
    milliseconds = std::min<int64_t>(milliseconds, kMillisecondsPerDay - 1);
    SYSTEMTIME fields{};
    CivilFromDays(static_cast<int64_t>(whole) - 25569, fields);
    wchar_t buffer[128];
    std::wstring text = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &fields, nullptr, buffer, 128) > 0
                            ? std::wstring(buffer)
                            : FormatShortDatePattern(fields);
    if (milliseconds == 0)
        return text;
    SYSTEMTIME clock{};
    clock.wYear = 2000;  // any date the system accepts: only the time is formatted
    clock.wMonth = 1;
    clock.wDay = 1;
    clock.wHour = static_cast<WORD>(milliseconds / 3600000);
    clock.wMinute = static_cast<WORD>(milliseconds / 60000 % 60);
    clock.wSecond = static_cast<WORD>(milliseconds / 1000 % 60);
    clock.wMilliseconds = static_cast<WORD>(milliseconds % 1000);
    if (GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &clock, nullptr, buffer, 128) > 0)
        text += L" " + std::wstring(buffer);
    return text;
}

TFormLog::TFormLog() : TFormLog(UserConfig(), Language(), AppLog()) {}

TFormLog::TFormLog(VxUserConfig& config, UnicodeLanguage& language, Logger& log)
    : config(config), language(language), log(log)
{
    SetBorderIcons(biSystemMenu);
    SetPosition(Position::MainFormCenter);
    SetClientSize(679, 445);
    PanelButtons.SetAlign(Align::Bottom);
    PanelButtons.SetHeight(34);
    LV.SetAlign(Align::Client);
    LV.SetReadOnly(true);
    LV.SetRowSelect(true);
    LV.SetHideSelection(false);
    LV.SetFlatScrollBars(true);
    LV.SetColumnClick(false);
    LV.SetOwnerData(true);
    for (int column = 0; column < 4; ++column)
        LV.AddColumn(std::wstring(), 80);
    LV.OnData = [this](int row, int column, std::wstring& text, int&) { ListData(row, column, text); };
    ButtonOK.SetBounds(520, 6, 75, 25);
    ButtonOK.SetAnchors(akTop | akRight);
    ButtonOK.SetDefault(true);
    ButtonOK.SetModalResult(mrOK);
    // A window that only shows something closes with Escape too.
    ButtonOK.SetCancel(true);
    ButtonLogClear.SetBounds(601, 6, 75, 25);
    ButtonLogClear.SetAnchors(akTop | akRight);
    ButtonLogClear.OnClick = [this] { ButtonLogClearClick(); };
}

void TFormLog::Execute()
{
    CreateHandle();
    RECT bounds = OuterBoundsPx();
    int width = config.ReadInt(kSection, L"Width", bounds.right - bounds.left);
    int height = config.ReadInt(kSection, L"Height", bounds.bottom - bounds.top);
    SetOuterBoundsPx(RECT{bounds.left, bounds.top, bounds.left + width, bounds.top + height});
    // Stored widths are the user's pixels; the first showing's are scaled
    // like the window, so that the columns fit its text on any monitor.
    LV.SetColumnWidthPx(0, config.ReadInt(kSection, L"Col0W", ScaleToPx(80)));
    LV.SetColumnWidthPx(1, config.ReadInt(kSection, L"Col1W", ScaleToPx(80)));
    LV.SetColumnWidthPx(2, config.ReadInt(kSection, L"Col2W", ScaleToPx(200)));
    Translate();
    FillList();
    FormResize();
    ShowModal();
    LV.Clear();
}

void TFormLog::Translate()
{
    SetFont(ToFontSpec(language.GetFont(L"Font")));
    SetCaption(language.GetText(L"LogWindow.Title"));
    ButtonOK.SetCaption(language.GetText(L"LogWindow.OK"));
    ButtonLogClear.SetCaption(language.GetText(L"LogWindow.LogClear"));
    LV.SetColumnCaption(0, language.GetText(L"LogWindow.ColumnCategory"));
    LV.SetColumnCaption(1, language.GetText(L"LogWindow.ColumnTime"));
    LV.SetColumnCaption(2, language.GetText(L"LogWindow.ColumnTarget"));
    LV.SetColumnCaption(3, language.GetText(L"LogWindow.ColumnText"));
}

void TFormLog::FillList()
{
    categoryWords[0] = language.GetText(L"LogWindow.Debug");
    categoryWords[1] = language.GetText(L"LogWindow.Info");
    categoryWords[2] = language.GetText(L"LogWindow.Error");
    int count = static_cast<int>(std::min<size_t>(log.Count(), INT_MAX));
    {
        tk::UpdateScope<tk::ListView> drawing(LV);
        LV.Clear();
        LV.SetItemCount(count);
    }
    if (count > 0) {
        LV.SetSelected(count - 1, true);
        LV.MakeVisible(count - 1);
    }
}

void TFormLog::ListData(int row, int column, std::wstring& text)
{
    if (row < 0 || static_cast<size_t>(row) >= log.Count())
        return;
    const LogEntry& entry = log.At(static_cast<size_t>(row));
    switch (column) {
    case 0: {
        auto category = static_cast<unsigned>(entry.category);
        text = category < 3 ? categoryWords[category] : std::to_wstring(category);
        break;
    }
    case 1:
        text = FormatLogTime(entry.time);
        break;
    case 2:
        text = entry.target;
        break;
    default:
        text = entry.text;
        break;
    }
}

void TFormLog::ButtonLogClearClick()
{
    TextVariables variables;
    variables[L"LogFile"] = config.ReadString(L"Config", L"LogFile", DefaultLogPath());
    int answer = language.MessageDialog(language.GetText(L"LogWindow.ClearConfirmation", variables),
                                        MessageDialogType::Confirmation, DialogButton::Yes | DialogButton::No, Color());
    if (answer != ModalResult::Yes)
        return;
    log.Clear();
    FillList();
}

void TFormLog::DoResize()
{
    Form::DoResize();
    FormResize();
}

void TFormLog::FormResize()
{
    if (!LV.HandleAllocated())
        return;
    RECT area{};
    GetClientRect(LV.Handle(), &area);
    int rest = area.right - LV.ColumnWidthPx(0) - LV.ColumnWidthPx(1) - LV.ColumnWidthPx(2) - 20;
    // A negative width would ask the list to size the column to its content.
    LV.SetColumnWidthPx(3, std::max(rest, 0));
}

void TFormLog::DoClose()
{
    FormClose();
    Form::DoClose();
}

void TFormLog::FormClose()
{
    RECT bounds = OuterBoundsPx();
    config.WriteInt(kSection, L"Width", bounds.right - bounds.left);
    config.WriteInt(kSection, L"Height", bounds.bottom - bounds.top);
    config.WriteInt(kSection, L"Col0W", LV.ColumnWidthPx(0));
    config.WriteInt(kSection, L"Col1W", LV.ColumnWidthPx(1));
    config.WriteInt(kSection, L"Col2W", LV.ColumnWidthPx(2));
}
