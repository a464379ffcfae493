// The report made from a job's journal and targets: a checksum of exactly
// the bytes before it, a page an XML parser accepts in both languages, a CSV
// file with the same rows, and what happens where it cannot be written.
#include <gtest/gtest.h>
#include <msxml.h>

#include "report/ReportFiles.h"
#include "report/Sha256.h"
#include "settings/Unicodelanguage.h"
#include "support/ReportAnswers.h"
#include "support/TempDir.h"

namespace {

FileInfo* Target(const std::wstring& name, uint64_t size, bool file, uint8_t outcome)
{
    WIN32_FIND_DATAW data{};
    name.copy(data.cFileName, MAX_PATH - 1);
    data.dwFileAttributes = file ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_DIRECTORY;
    data.nFileSizeLow = static_cast<DWORD>(size);
    auto* info = new FileInfo(L"C:\\Data", data);
    info->Outcome = outcome;
    info->Success = outcome == OutcomeDestroyed;
    return info;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// The bytes before the checksum part, and the checksum the file states.
std::pair<std::string, std::string> Split(const std::string& bytes, bool html)
{
    if (html) {
        size_t mark = bytes.find("<!-- checksum -->");
        size_t code = bytes.find("<code>", mark) + 6;
        return {bytes.substr(0, mark), bytes.substr(code, bytes.find("</code>", code) - code)};
    }
    size_t last = bytes.rfind("\r\n", bytes.size() - 3) + 2;
    size_t comma = bytes.find(',', last);
    return {bytes.substr(0, last), bytes.substr(comma + 1, 64)};
}

std::string Sha256(const std::string& bytes)
{
    DWORD error = 0;
    return Narrow(Sha256Hex(bytes.data(), bytes.size(), error));
}

// Whether the system's XML parser reads the file as well-formed; `reason` says why not.
bool WellFormed(const std::wstring& path, std::wstring& reason)
{
    IXMLDOMDocument* document = nullptr;
    if (FAILED(CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                                reinterpret_cast<void**>(&document)))) {
        reason = L"no XML parser";
        return false;
    }
    document->put_async(VARIANT_FALSE);
    document->put_resolveExternals(VARIANT_FALSE);
    VARIANT source;
    VariantInit(&source);
    source.vt = VT_BSTR;
    source.bstrVal = SysAllocString(path.c_str());
    VARIANT_BOOL loaded = VARIANT_FALSE;
    document->load(source, &loaded);
    IXMLDOMParseError* error = nullptr;
    if (loaded != VARIANT_TRUE && SUCCEEDED(document->get_parseError(&error))) {
        BSTR text = nullptr;
        long line = 0;
        error->get_reason(&text);
        error->get_line(&line);
        reason = L"line " + std::to_wstring(line) + L": " + (text ? text : L"");
        SysFreeString(text);
        error->Release();
    }
    VariantClear(&source);
    document->Release();
    return loaded == VARIANT_TRUE;
}

class ReportTest : public ::testing::Test {
protected:
    ReportTest() : log(language)
    {
        CoInitialize(nullptr);
        language.SelectLanguage(0x0409);
        targets.Add(Target(L"a & b.txt", 5000, true, OutcomeDestroyed));
        targets.Add(Target(L"<locked>.txt", 10, true, OutcomeFailed));
        targets.Add(Target(L"c.txt", 700, true, OutcomeKept));
        targets.Add(Target(L"sub", 0, false, OutcomeNotStarted));
        journal.Begin(TargetFiles, 5, 2);
        journal.Record(log, LogCategory::Info, targets.At(0)->Path, L"Log.FileWiped",
                       {{L"WipeMethod", L"5"}, {L"RoundCount", L"2"}});
        journal.Record(log, LogCategory::Error, targets.At(1)->Path, L"Log.FileOpenError",
                       {{L"SystemErrorCode", L"32"}, {L"SystemErrorMessage", L"In \"use\" & <locked>"}});
        WipeStateData final;
        final.State = StateCancelled;
        final.TotalWrite.Current = 123456789;
        final.FileDeletions = 1;
        journal.End(final);
    }
    ~ReportTest() override { CoUninitialize(); }

    UnicodeLanguage language;
    Logger log;
    FileList targets;
    JobJournal journal;
    AnsweredReportSystem system;
    TempDir dir;
};

}  // namespace

TEST(Sha256, GivesTheStandardDigests)
{
    EXPECT_EQ(Sha256(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST_F(ReportTest, ChecksumCoversEveryByteBeforeItAndChangesWithAnyOne)
{
    for (bool html : {true, false}) {
        SCOPED_TRACE(html ? "HTML" : "CSV");
        auto render = [&] { return html ? ReportHtml(MakeJobReport(journal, targets, system), language)
                                        : ReportCsv(MakeJobReport(journal, targets, system), language); };
        auto [body, stated] = Split(render(), html);
        EXPECT_EQ(stated, Sha256(body));
        // One byte of one path changed: one byte of the body, another checksum.
        targets.At(2)->Path.back() = L'X';
        auto [changedBody, changedStated] = Split(render(), html);
        targets.At(2)->Path.back() = L't';
        ASSERT_EQ(changedBody.size(), body.size());
        int differing = 0;
        for (size_t i = 0; i < body.size(); ++i)
            differing += body[i] != changedBody[i];
        EXPECT_EQ(differing, 1);
        EXPECT_EQ(changedStated, Sha256(changedBody));
        EXPECT_NE(changedStated, stated);
    }
}

TEST_F(ReportTest, PagesAreWellFormedInBothLanguagesWithTheirOwnCaptions)
{
    VolumeFacts volume;
    volume.root = L"V:\\";
    volume.label = L"Backup & <Archive> \"1\"";
    journal.SetVolume(volume);
    for (LANGID id : {LANGID(0x0409), LANGID(0x0407)}) {
        SCOPED_TRACE(id);
        language.SelectLanguage(id);
        std::string page = ReportHtml(MakeJobReport(journal, targets, system), language);
        std::wstring path = dir.WriteFile(L"page" + std::to_wstring(id) + L".html", page);
        std::wstring reason;
        EXPECT_TRUE(WellFormed(path, reason)) << Narrow(reason);
        EXPECT_NE(page.find(id == 0x0407 ? "lang=\"de\"" : "lang=\"en\""), std::string::npos);
        for (const wchar_t* key : {L"Report.ResultDestroyed", L"Report.ResultNotStarted", L"Report.SectionChecksum",
                                   L"Report.DeviceSerial"}) {
            std::wstring caption = language.GetText(key);
            int size = WideCharToMultiByte(CP_UTF8, 0, caption.c_str(), -1, nullptr, 0, nullptr, nullptr);
            std::string utf8(static_cast<size_t>(size - 1), '\0');
            WideCharToMultiByte(CP_UTF8, 0, caption.c_str(), -1, utf8.data(), size, nullptr, nullptr);
            EXPECT_NE(caption, key);
            EXPECT_NE(page.find(utf8), std::string::npos) << Narrow(key);
        }
        EXPECT_EQ(page.find("<script"), std::string::npos);
        EXPECT_EQ(page.find("http:"), page.find("http://www.w3.org/1999/xhtml"));
    }
}

TEST_F(ReportTest, CsvFileHasTheRowsWithPlainNumbersAndIsoTimes)
{
    VolumeFacts volume;
    volume.root = L"V:\\";
    volume.label = L"=HYPERLINK(\"x\")";
    volume.informationKnown = true;
    journal.SetVolume(volume);
    std::string csv = ReportCsv(MakeJobReport(journal, targets, system), language);
    ASSERT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
    // A value a spreadsheet would run as a formula stays text.
    EXPECT_NE(csv.find("\"'=HYPERLINK(\"\"x\"\")\""), std::string::npos);
    EXPECT_NE(csv.find(",123456789\r\n"), std::string::npos);
    EXPECT_NE(csv.find("\r\nStarted,20"), std::string::npos);
    EXPECT_EQ(csv.find("123,456,789"), std::string::npos);
    const std::vector<std::string> rows = {
        "C:\\Data\\a & b.txt,5000,Destroyed,\"File wiped and deleted (method: US Navy",
        "C:\\Data\\<locked>.txt,10,Failed,\"The file could not be opened for wiping: In \"\"use\"\" & <locked> "
        "(error 32).\"\r\n",
        "C:\\Data\\c.txt,700,\"Overwritten, but kept\",\"The job was cancelled while this item was being "
        "overwritten; it is still there.\"\r\n",
        "C:\\Data\\sub,,Not started (cancelled),\"The job was cancelled before it reached this item; it was not "
        "touched.\"\r\n"};
    for (const std::string& row : rows)
        EXPECT_NE(csv.find("\r\n" + row), std::string::npos) << row;
    size_t started = csv.find("\r\nStarted,");
    std::string time = csv.substr(started + 10, 25);
    EXPECT_EQ(time[4], '-');
    EXPECT_EQ(time[10], 'T');
    EXPECT_TRUE(time[19] == '+' || time[19] == '-') << time;
}

TEST_F(ReportTest, AFolderThatCannotBeMadeGivesItsErrorAndNamesAreNeverReused)
{
    JobReport report = MakeJobReport(journal, targets, system);
    std::wstring file = dir.WriteFile(L"plain file", "x");
    std::wstring path;
    DWORD error = WriteJobReport(report, language, file + L"\\reports", path);
    EXPECT_NE(error, DWORD(ERROR_SUCCESS));
    EXPECT_EQ(path, file + L"\\reports");
    EXPECT_FALSE(DirectoryExists(path));

    std::wstring first, second;
    ASSERT_EQ(WriteJobReport(report, language, dir / L"new\\reports\\", first), DWORD(ERROR_SUCCESS));
    ASSERT_EQ(WriteJobReport(report, language, dir / L"new\\reports", second), DWORD(ERROR_SUCCESS));
    const std::wstring base = dir / L"new\\reports\\" + ReportBaseName(report);
    EXPECT_EQ(first, base + L".html");
    EXPECT_EQ(second, base + L" (2).html");
    EXPECT_TRUE(FileExists(base + L".csv"));
    EXPECT_TRUE(FileExists(base + L" (2).csv"));
}
