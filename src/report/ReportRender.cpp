// The report as an HTML page and as a CSV file. Both are made of the same
// facts and rows: the page shows dates, times and numbers in the user's
// locale, the CSV file in ISO 8601 and plain digits. Each ends with the
// SHA-256 of every byte of the file before its checksum part.
#include <windows.h>
#include <shlwapi.h>
#include <algorithm>
#include <cstdio>

#include "report/JobReport.h"
#include "report/Sha256.h"
#include "settings/LanguageKeys.h"
#include "settings/Unicodelanguage.h"

namespace {

// One line of a section: a caption, the value as the page shows it, and as the CSV file has it.
struct Fact {
    Fact(std::wstring caption, std::wstring shown, std::wstring plain, std::wstring plainCaption = {})
        : caption(std::move(caption)), shown(std::move(shown)), plain(std::move(plain)),
          plainCaption(std::move(plainCaption))
    {
    }
    std::wstring caption;
    std::wstring shown;
    std::wstring plain;
    std::wstring plainCaption;  // the CSV file's caption where it differs (a unit)
};

struct Section {
    std::wstring heading;
    std::vector<Fact> facts;
};

// The user's locale, read once per report.
class LocaleFormats {
public:
    LocaleFormats()
    {
        GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, decimal, 8);
        GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, thousand, 8);
        wchar_t grouping[16] = L"3;0";
        GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SGROUPING, grouping, 16);
        // "3;0" is groups of three throughout (3), "3;2;0" the Indian way (32), "3" one group only (30).
        std::wstring digits;
        for (const wchar_t* c = grouping; *c; ++c)
            if (*c >= L'1' && *c <= L'9')
                digits += *c;
        std::wstring text = grouping;
        UINT value = digits.empty() ? 3 : static_cast<UINT>(std::wcstoul(digits.c_str(), nullptr, 10));
        format.Grouping = text.size() >= 2 && text.substr(text.size() - 2) == L";0" ? value : value * 10;
        format.NumDigits = 0;
        format.LeadingZero = 1;
        format.lpDecimalSep = decimal;
        format.lpThousandSep = thousand;
        format.NegativeOrder = 1;
    }

    std::wstring Number(int64_t value) const
    {
        std::wstring digits = std::to_wstring(value);
        wchar_t out[64] = {};
        if (GetNumberFormatEx(LOCALE_NAME_USER_DEFAULT, 0, digits.c_str(), &format, out, 64) == 0)
            return digits;
        return out;
    }

private:
    wchar_t decimal[8] = L".";
    wchar_t thousand[8] = L",";
    NUMBERFMTW format{};
};

struct LocalTime {
    SYSTEMTIME time{};
    int offsetMinutes = 0;  // local minus UTC
};

LocalTime ToLocal(const FILETIME& utc)
{
    LocalTime local;
    SYSTEMTIME universal{};
    FileTimeToSystemTime(&utc, &universal);
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local.time)) {
        local.time = universal;
        return local;
    }
    FILETIME localFile{};
    SystemTimeToFileTime(&local.time, &localFile);
    auto ticks = [](const FILETIME& time) {
        return static_cast<int64_t>((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    };
    local.offsetMinutes = static_cast<int>((ticks(localFile) - ticks(utc)) / 600000000LL);
    return local;
}

std::wstring Offset(int minutes)
{
    wchar_t text[16];
    int magnitude = minutes < 0 ? -minutes : minutes;
    swprintf(text, 16, L"%lc%02d:%02d", minutes < 0 ? L'-' : L'+', magnitude / 60, magnitude % 60);
    return text;
}

std::wstring IsoDateTime(const FILETIME& utc)
{
    LocalTime local = ToLocal(utc);
    wchar_t text[40];
    const SYSTEMTIME& t = local.time;
    swprintf(text, 40, L"%04u-%02u-%02uT%02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
    return text + Offset(local.offsetMinutes);
}

std::wstring LocaleDateTime(const FILETIME& utc)
{
    LocalTime local = ToLocal(utc);
    wchar_t date[128] = {}, time[64] = {};
    GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_LONGDATE, &local.time, nullptr, date, 128, nullptr);
    GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &local.time, nullptr, time, 64);
    return std::wstring(date) + L" " + time + L" (UTC" + Offset(local.offsetMinutes) + L")";
}

int64_t Milliseconds(const FILETIME& from, const FILETIME& to)
{
    auto ticks = [](const FILETIME& time) {
        return static_cast<int64_t>((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    };
    return std::max<int64_t>(0, (ticks(to) - ticks(from)) / 10000);
}

std::wstring Hex(const std::vector<uint8_t>& bytes)
{
    std::wstring text;
    wchar_t pair[4];
    for (uint8_t byte : bytes) {
        swprintf(pair, 4, L"%02X", byte);
        text += text.empty() ? L"" : L" ";
        text += pair;
    }
    return text;
}

class ReportTexts {
public:
    ReportTexts(const JobReport& report, UnicodeLanguage& language)
        : report(report), language(language), notStarted{T(L"Report.ReasonNotStarted")},
          cancelledDuring{T(L"Report.ReasonCancelledDuring")}
    {
    }

    std::wstring T(const std::wstring& key, const TextVariables& variables = {}) const
    {
        return language.GetText(key, variables);
    }
    // Locale digits on the page.
    std::wstring Number(int64_t value) const { return formats.Number(value); }
    std::wstring Bytes(int64_t value) const
    {
        // Below a kilobyte the short form would only say the same again.
        if (value < 1024)
            return T(L"Report.ByteCountSmall", {{L"Bytes", Number(value)}});
        wchar_t size[64] = {};
        StrFormatByteSizeW(value, size, 64);
        return T(L"Report.ByteCount", {{L"Bytes", Number(value)}, {L"Size", size}});
    }
    Fact Count(const std::wstring& key, int64_t value) const { return {T(key), Number(value), std::to_wstring(value)}; }
    Fact ByteFact(const std::wstring& key, int64_t value) const { return {T(key), Bytes(value), std::to_wstring(value)}; }
    Fact Text(const std::wstring& key, const std::wstring& value) const
    {
        std::wstring shown = value.empty() ? T(L"Report.NotGiven") : value;
        return {T(key), shown, value};
    }

    std::wstring KindText() const
    {
        switch (report.targetType) {
        case TargetVolume: return T(L"Report.KindVolume");
        case TargetFreeSpace: return T(L"Report.KindFreeSpace");
        default: return T(L"Report.KindFiles");
        }
    }
    std::wstring Title() const { return T(L"Report.Title", {{L"JobKind", KindText()}}); }
    std::wstring StatusText() const
    {
        TextVariables counts{{L"KeptCount", std::to_wstring(report.totals.kept)},
                             {L"NotStartedCount", std::to_wstring(report.totals.notStarted)}};
        if (report.cancelled)
            return T(report.withErrors ? L"Report.StatusCancelledWithErrors" : L"Report.StatusCancelled", counts);
        return T(report.withErrors ? L"Report.StatusCompletedWithErrors" : L"Report.StatusCompleted", counts);
    }
    std::wstring ResultText(uint8_t outcome) const
    {
        switch (outcome) {
        case OutcomeDestroyed: return T(L"Report.ResultDestroyed");
        case OutcomeKept: return T(L"Report.ResultKept");
        case OutcomeFailed: return T(L"Report.ResultFailed");
        default: return T(L"Report.ResultNotStarted");
        }
    }
    // The texts of the row's records; a row without any says what left it so.
    const std::vector<std::wstring>& Reasons(const ReportRow& row) const
    {
        if (row.reasons.empty() && row.outcome == OutcomeNotStarted)
            return notStarted;
        if (row.reasons.empty() && row.outcome == OutcomeKept && report.cancelled)
            return cancelledDuring;
        return row.reasons;
    }
    std::wstring PassText(const PassContent& pass) const
    {
        switch (pass.kind) {
        case PassContent::Pattern:
            return T(pass.pattern.size() == 1 ? L"Report.PassByte" : L"Report.PassPattern",
                     {{L"Pattern", Hex(pass.pattern)}});
        case PassContent::RandomByte: return T(L"Report.PassRandomByte");
        case PassContent::Verify: return T(L"Report.PassVerify");
        case PassContent::ZeroEvery: return T(L"Report.PassZeroEvery", {{L"Step", std::to_wstring(pass.step)}});
        default: return T(L"Report.PassRandom");
        }
    }

    std::vector<Section> Sections() const;

private:
    Section Computer() const;
    Section Job() const;
    Section Volume() const;
    Section Totals() const;
    Section Steps() const;

    const JobReport& report;
    UnicodeLanguage& language;
    LocaleFormats formats;
    const std::vector<std::wstring> notStarted;
    const std::vector<std::wstring> cancelledDuring;
};

Section ReportTexts::Computer() const
{
    return {T(L"Report.SectionComputer"),
            {Text(L"Report.Program", report.program), Text(L"Report.Version", report.version),
             Text(L"Report.Computer", report.computer), Text(L"Report.WindowsVersion", report.windowsVersion),
             Text(L"Report.User", report.user)}};
}

Section ReportTexts::Job() const
{
    Section section{T(L"Report.SectionJob"), {}};
    section.facts.push_back({T(L"Report.JobKind"), KindText(), KindText()});
    section.facts.push_back({T(L"Report.Status"), StatusText(), StatusText()});
    std::wstring method = T(WipeMethodNameKey(report.method));
    section.facts.push_back({T(L"Report.Method"), method, method});
    std::wstring verifying;
    for (size_t pass = 0; pass < report.passes.size(); ++pass) {
        std::wstring number = std::to_wstring(pass + 1);
        std::wstring content = PassText(report.passes[pass]);
        section.facts.push_back({T(L"Report.PassCaption", {{L"PassNumber", number}}), content, content});
        if (report.passes[pass].kind == PassContent::Verify)
            verifying += (verifying.empty() ? L"" : L", ") + number;
    }
    section.facts.push_back(Count(L"Report.Rounds", report.rounds));
    std::wstring verification = verifying.empty() ? T(L"Report.VerifiedNo")
                                                   : T(L"Report.VerifiedYes", {{L"PassNumbers", verifying}});
    section.facts.push_back({T(L"Report.Verification"), verification, verification});
    section.facts.push_back({T(L"Report.Start"), LocaleDateTime(report.start), IsoDateTime(report.start)});
    section.facts.push_back({T(L"Report.End"), LocaleDateTime(report.end), IsoDateTime(report.end)});
    int64_t milliseconds = Milliseconds(report.start, report.end);
    int64_t seconds = milliseconds / 1000;
    wchar_t minutes[8], secs[8], plain[32];
    swprintf(minutes, 8, L"%02d", static_cast<int>(seconds / 60 % 60));
    swprintf(secs, 8, L"%02d", static_cast<int>(seconds % 60));
    swprintf(plain, 32, L"%lld.%03d", static_cast<long long>(seconds), static_cast<int>(milliseconds % 1000));
    std::wstring shown = T(L"Report.DurationValue",
                           {{L"Hours", Number(seconds / 3600)}, {L"Minutes", minutes}, {L"Seconds", secs}});
    // The CSV file has plain seconds, and says so.
    section.facts.push_back({T(L"Report.Duration"), shown, plain, T(L"Report.DurationSeconds")});
    return section;
}

Section ReportTexts::Volume() const
{
    const VolumeFacts& volume = report.volume;
    Section section{T(L"Report.SectionVolume"), {Text(L"Report.Drive", volume.root)}};
    std::wstring label = volume.informationKnown && volume.label.empty() ? T(L"Report.NoLabel") : volume.label;
    section.facts.push_back(Text(L"Report.VolumeLabel", label));
    section.facts.push_back(Text(L"Report.FileSystem", volume.fileSystem));
    if (volume.spaceKnown) {
        section.facts.push_back(ByteFact(L"Report.Capacity", static_cast<int64_t>(volume.capacity)));
        section.facts.push_back(ByteFact(L"Report.FreeAtStart", static_cast<int64_t>(volume.freeAtStart)));
    } else {
        section.facts.push_back(Text(L"Report.Capacity", {}));
        section.facts.push_back(Text(L"Report.FreeAtStart", {}));
    }
    wchar_t serial[16] = {};
    if (volume.informationKnown)
        swprintf(serial, 16, L"%04X-%04X", volume.serialNumber >> 16, volume.serialNumber & 0xFFFF);
    section.facts.push_back(Text(L"Report.VolumeSerial", serial));
    section.facts.push_back(Text(L"Report.DeviceModel", volume.deviceModel));
    section.facts.push_back(Text(L"Report.DeviceSerial", volume.deviceSerial));
    return section;
}

Section ReportTexts::Totals() const
{
    const ReportTotals& totals = report.totals;
    Section section{T(L"Report.SectionTotals"),
                    {Count(L"Report.TotalItems", totals.targets), Count(L"Report.TotalDestroyed", totals.destroyed),
                     Count(L"Report.TotalKept", totals.kept), Count(L"Report.TotalFailed", totals.failed),
                     Count(L"Report.TotalNotStarted", totals.notStarted)}};
    if (report.targetType == TargetFiles)
        section.facts.push_back(Count(L"Report.TotalUnreadable", totals.unreadable));
    section.facts.push_back(ByteFact(L"Report.TotalWritten", totals.bytesWritten));
    section.facts.push_back(ByteFact(L"Report.TotalVerified", totals.bytesVerified));
    return section;
}

Section ReportTexts::Steps() const
{
    Section section{T(L"Report.SectionSteps"), {}};
    for (const ReportStep& step : report.steps) {
        if (step.count >= 0)
            section.facts.push_back(Count(step.captionKey, step.count));
        else if (step.detail.empty())
            section.facts.push_back({T(step.captionKey), T(L"Report.Yes"), T(L"Report.Yes")});
        else
            section.facts.push_back({T(step.captionKey), step.detail, step.detail});
    }
    if (section.facts.empty())
        section.facts.push_back({T(L"Report.NoSteps"), L"", L""});
    return section;
}

std::vector<Section> ReportTexts::Sections() const
{
    std::vector<Section> sections{Computer(), Job()};
    if (report.hasVolume)
        sections.push_back(Volume());
    sections.push_back(Totals());
    sections.push_back(Steps());
    return sections;
}

// ---- bytes ----

std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

std::wstring ChecksumOf(const std::string& bytes)
{
    DWORD error = ERROR_SUCCESS;
    std::wstring hex = Sha256Hex(bytes.data(), bytes.size(), error);
    return hex.empty() ? L"-" : hex;
}

// ---- HTML ----

void Escape(std::wstring& out, const std::wstring& text)
{
    // Runs of ordinary characters are copied whole: a report may hold millions.
    size_t run = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        const wchar_t* replacement = nullptr;
        switch (c) {
        case L'&': replacement = L"&amp;"; break;
        case L'<': replacement = L"&lt;"; break;
        case L'>': replacement = L"&gt;"; break;
        case L'"': replacement = L"&quot;"; break;
        default:
            // Characters an XML parser refuses become the replacement character.
            if ((c < 0x20 && c != L'\t') || c == 0xFFFE || c == 0xFFFF)
                replacement = L"\xFFFD";
        }
        if (!replacement)
            continue;
        out.append(text, run, i - run);
        out += replacement;
        run = i + 1;
    }
    out.append(text, run, std::wstring::npos);
}

const wchar_t kStyle[] =
    L"@page { margin: 15mm; }\r\n"
    L"body { font-family: 'Segoe UI', Tahoma, Arial, sans-serif; font-size: 10pt; color: #000; background: #fff;"
    L" margin: 0 auto; max-width: 60em; padding: 1em; }\r\n"
    L"h1 { font-size: 15pt; margin: 0 0 0.4em 0; }\r\n"
    L"h2 { font-size: 12pt; margin: 1.4em 0 0.4em 0; padding-bottom: 2px; border-bottom: 1px solid #777;"
    L" page-break-after: avoid; }\r\n"
    L"p.status { font-weight: bold; border: 1px solid #000; padding: 0.4em 0.6em; }\r\n"
    L"table { border-collapse: collapse; width: 100%; }\r\n"
    L"th, td { text-align: left; vertical-align: top; padding: 2px 6px; border-bottom: 1px solid #ccc; }\r\n"
    L"table.facts th { width: 32%; font-weight: normal; color: #333; }\r\n"
    L"table.items { table-layout: fixed; }\r\n"
    L"table.items td { overflow-wrap: break-word; word-wrap: break-word; }\r\n"
    L"thead { display: table-header-group; }\r\n"
    L"tr { page-break-inside: avoid; }\r\n"
    L".number { text-align: right; white-space: nowrap; }\r\n"
    L"td.kept { color: #8a4b00; } td.failed { color: #b00000; } td.notstarted { color: #555; }\r\n"
    L"code { font-family: Consolas, 'Courier New', monospace; overflow-wrap: break-word; word-wrap: break-word; }\r\n"
    L"@media print { body { max-width: none; padding: 0; } }\r\n";

const wchar_t* ResultClass(uint8_t outcome)
{
    switch (outcome) {
    case OutcomeDestroyed: return L"destroyed";
    case OutcomeKept: return L"kept";
    case OutcomeFailed: return L"failed";
    default: return L"notstarted";
    }
}

void HtmlSection(std::wstring& out, const Section& section)
{
    out += L"<h2>";
    Escape(out, section.heading);
    out += L"</h2>\r\n<table class=\"facts\">\r\n";
    for (const Fact& fact : section.facts) {
        out += L"<tr><th scope=\"row\">";
        Escape(out, fact.caption);
        out += L"</th><td>";
        Escape(out, fact.shown);
        out += L"</td></tr>\r\n";
    }
    out += L"</table>\r\n";
}

void HtmlItems(std::wstring& out, const JobReport& report, const ReportTexts& texts)
{
    out += L"<h2>";
    Escape(out, texts.T(L"Report.SectionItems"));
    out += L"</h2>\r\n<table class=\"items\">\r\n<colgroup><col style=\"width: 46%\" /><col style=\"width: 14%\" />"
           L"<col style=\"width: 13%\" /><col style=\"width: 27%\" /></colgroup>\r\n<thead><tr><th>";
    Escape(out, texts.T(L"Report.ColumnItem"));
    out += L"</th><th class=\"number\">";
    Escape(out, texts.T(L"Report.ColumnSize"));
    out += L"</th><th>";
    Escape(out, texts.T(L"Report.ColumnResult"));
    out += L"</th><th>";
    Escape(out, texts.T(L"Report.ColumnRecords"));
    out += L"</th></tr></thead>\r\n<tbody>\r\n";
    std::wstring results[4];
    for (uint8_t outcome = 0; outcome < 4; ++outcome)
        Escape(results[outcome], texts.ResultText(outcome));
    for (const ReportRow& row : report.rows) {
        out += L"<tr><td>";
        Escape(out, row.path);
        out += L"</td><td class=\"number\">";
        if (row.sizeKnown)
            out += texts.Number(static_cast<int64_t>(row.size));
        out += L"</td><td class=\"";
        out += ResultClass(row.outcome);
        out += L"\">";
        out += results[row.outcome < 4 ? row.outcome : 0];
        out += L"</td><td>";
        bool first = true;
        for (const std::wstring& reason : texts.Reasons(row)) {
            out += first ? L"" : L"<br />";
            Escape(out, reason);
            first = false;
        }
        out += L"</td></tr>\r\n";
    }
    out += L"</tbody>\r\n</table>\r\n";
}

// ---- CSV ----

void CsvField(std::wstring& out, const std::wstring& text)
{
    // A text a spreadsheet would take for a formula is kept as text.
    bool formula = !text.empty() && (text[0] == L'=' || text[0] == L'+' || text[0] == L'-' || text[0] == L'@' ||
                                     text[0] == L'\t' || text[0] == L'\r');
    bool quote = formula || text.find_first_of(L",\"\r\n;") != std::wstring::npos;
    if (!quote) {
        out += text;
        return;
    }
    out += L'"';
    if (formula)
        out += L'\'';
    for (wchar_t c : text) {
        if (c == L'"')
            out += L'"';
        out += c;
    }
    out += L'"';
}

void CsvLine(std::wstring& out, std::initializer_list<std::wstring> fields)
{
    bool first = true;
    for (const std::wstring& field : fields) {
        if (!first)
            out += L',';
        CsvField(out, field);
        first = false;
    }
    out += L"\r\n";
}

}  // namespace

std::string ReportHtml(const JobReport& report, UnicodeLanguage& language)
{
    ReportTexts texts(report, language);
    std::wstring out;
    out.reserve(256 * report.rows.size() + 16384);
    out += L"<!DOCTYPE html>\r\n<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"";
    Escape(out, texts.T(L"Report.Language"));
    out += L"\">\r\n<head>\r\n<meta charset=\"utf-8\" />\r\n<title>";
    Escape(out, texts.Title());
    out += L"</title>\r\n<style>\r\n";
    out += kStyle;
    out += L"</style>\r\n</head>\r\n<body>\r\n<h1>";
    Escape(out, texts.Title());
    out += L"</h1>\r\n<p class=\"status\">";
    Escape(out, texts.StatusText());
    out += L"</p>\r\n";
    std::vector<Section> sections = texts.Sections();
    // Computer and job first, then the volume; the items; totals and steps after them.
    size_t beforeItems = report.hasVolume ? 3 : 2;
    for (size_t i = 0; i < beforeItems; ++i)
        HtmlSection(out, sections[i]);
    HtmlItems(out, report, texts);
    for (size_t i = beforeItems; i < sections.size(); ++i)
        HtmlSection(out, sections[i]);
    if (!report.otherRecords.empty()) {
        out += L"<h2>";
        Escape(out, texts.T(L"Report.SectionRecords"));
        out += L"</h2>\r\n<ul>\r\n";
        for (const std::wstring& record : report.otherRecords) {
            out += L"<li>";
            Escape(out, record);
            out += L"</li>\r\n";
        }
        out += L"</ul>\r\n";
    }
    std::string bytes = Utf8(out);
    std::wstring tail = L"<!-- checksum -->\r\n<h2>";
    Escape(tail, texts.T(L"Report.SectionChecksum"));
    tail += L"</h2>\r\n<p>";
    Escape(tail, texts.T(L"Report.Checksum"));
    tail += L" <code>" + ChecksumOf(bytes) + L"</code></p>\r\n<p>";
    Escape(tail, texts.T(L"Report.ChecksumNote"));
    tail += L"</p>\r\n</body>\r\n</html>\r\n";
    return bytes + Utf8(tail);
}

std::string ReportCsv(const JobReport& report, UnicodeLanguage& language)
{
    ReportTexts texts(report, language);
    std::wstring out = L"\xFEFF";
    out.reserve(200 * report.rows.size() + 8192);
    CsvLine(out, {texts.Title()});
    std::vector<Section> sections = texts.Sections();
    auto facts = [&](const Section& section) {
        for (const Fact& fact : section.facts)
            CsvLine(out, {fact.plainCaption.empty() ? fact.caption : fact.plainCaption, fact.plain});
    };
    size_t beforeItems = report.hasVolume ? 3 : 2;
    for (size_t i = 0; i < beforeItems; ++i)
        facts(sections[i]);
    out += L"\r\n";
    CsvLine(out, {texts.T(L"Report.ColumnItem"), texts.T(L"Report.ColumnSize"), texts.T(L"Report.ColumnResult"),
                  texts.T(L"Report.ColumnRecords")});
    std::wstring results[4];
    for (uint8_t outcome = 0; outcome < 4; ++outcome)
        results[outcome] = texts.ResultText(outcome);
    std::wstring reasons;
    for (const ReportRow& row : report.rows) {
        CsvField(out, row.path);
        out += L',';
        if (row.sizeKnown)
            out += std::to_wstring(row.size);
        out += L',';
        CsvField(out, results[row.outcome < 4 ? row.outcome : 0]);
        out += L',';
        reasons.clear();
        for (const std::wstring& reason : texts.Reasons(row)) {
            if (!reasons.empty())
                reasons += L' ';
            reasons += reason;
        }
        CsvField(out, reasons);
        out += L"\r\n";
    }
    out += L"\r\n";
    for (size_t i = beforeItems; i < sections.size(); ++i)
        facts(sections[i]);
    for (const std::wstring& record : report.otherRecords)
        CsvLine(out, {texts.T(L"Report.SectionRecords"), record});
    std::string bytes = Utf8(out);
    std::wstring last;
    CsvLine(last, {texts.T(L"Report.Checksum"), ChecksumOf(bytes), texts.T(L"Report.ChecksumNote")});
    return bytes + Utf8(last);
}
