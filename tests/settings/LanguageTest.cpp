#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include "settings/LanguageFiles.h"
#include "settings/Unicodelanguage.h"
#include "support/TempDir.h"

namespace {

const std::wstring kBase = L"[MainWindow]\r\nTitle=A\r\nOnlyBase=base\r\n";

TEST(LanguageLayering, PrimaryAndSublanguageFilesOverrideTheBase)
{
    TempDir dir;
    WriteLanguageFile(dir, L"LNG\\0000.LNG", kBase);
    WriteLanguageFile(dir, L"LNG\\0007.LNG", L"[MainWindow]\r\nTitle=B\r\n");
    WriteLanguageFile(dir, L"LNG\\0407.LNG", L"[Other]\r\nKey=German of Germany\r\n");
    UnicodeLanguage language(dir.Path(), L"Varnox");

    language.SelectLanguage(0x0407);
    EXPECT_EQ(language.GetLanguageId(), 0x0407);
    EXPECT_EQ(language.GetText(L"MainWindow.Title"), L"B");
    EXPECT_EQ(language.GetText(L"MainWindow.OnlyBase"), L"base");
    EXPECT_EQ(language.GetText(L"Other.Key"), L"German of Germany");

    // Austrian German: only the primary file exists.
    language.SelectLanguage(0x0C07);
    EXPECT_EQ(language.GetLanguageId(), 0x0C07);
    EXPECT_EQ(language.GetText(L"MainWindow.Title"), L"B");
    EXPECT_EQ(language.GetText(L"Other.Key"), L"Other.Key");

    language.SelectLanguage(0x040C);
    EXPECT_EQ(language.GetLanguageId(), 1033);
    EXPECT_EQ(language.GetText(L"MainWindow.Title"), L"A");
}

TEST(LanguageLayering, WithoutAnyFileEveryKeyIsItsOwnTextAndTheLanguageIsEnglish)
{
    TempDir dir;
    UnicodeLanguage language(dir.Path(), L"Varnox");
    language.SelectLanguage(0x0407);
    EXPECT_EQ(language.GetLanguageId(), 1033);
    EXPECT_EQ(language.GetText(L"MainWindow.Title"), L"MainWindow.Title");
}

TEST(LanguageLayering, ExecutableSubfolderWinsButTheListShowsOnlyTheSharedFolder)
{
    TempDir dir;
    WriteLanguageFile(dir, L"LNG\\0000.LNG", kBase);
    WriteLanguageFile(dir, L"LNG\\0007.LNG", L"[MainWindow]\r\nTitle=shared\r\n");
    WriteLanguageFile(dir, L"LNG\\0C07.LNG", L"[MainWindow]\r\nTitle=Austria\r\n");
    WriteLanguageFile(dir, L"LNG\\Varnox\\0007.LNG", L"[MainWindow]\r\nTitle=own\r\n");
    WriteLanguageFile(dir, L"LNG\\Varnox\\0010.LNG", L"[MainWindow]\r\nTitle=Italiano\r\n");
    dir.WriteFile(L"LNG\\7.LNG", "");
    dir.WriteFile(L"LNG\\XY12.LNG", "");
    UnicodeLanguage language(dir.Path(), L"Varnox");
    language.SelectLanguage(0x0407);
    EXPECT_EQ(language.GetText(L"MainWindow.Title"), L"own");

    LanguageList list;
    ASSERT_TRUE(language.ListLanguages(list));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0], (std::pair<std::wstring, int32_t>(L"<Default>", 0)));
    LanguageList expected{{L"<Default>", 0}, {L"German(Deutsch)", 0x0007}, {L"German(Deutsch) / Austria", 0x0C07}};
    std::sort(list.begin() + 1, list.end(), [](auto& a, auto& b) { return a.second < b.second; });
    EXPECT_EQ(list, expected);
}

TEST(LanguageFile, EntriesWithEmptyAndDottedKeysLineBreaksAndNoEquals)
{
    TempDir dir;
    WriteLanguageFile(dir, L"LNG\\0000.LNG",
                      L"[Section]\r\n=empty key\r\nA.B.C=dotted\r\nLines=Line one\\nLine two\r\n"
                      L"NoEquals\r\nEq=a=b\r\n[Fran\x00E7" L"ais]\r\nMot=\x00E9t\x00E9 \x20AC\r\n");
    UnicodeLanguage language(dir.Path(), L"Varnox");
    language.SelectLanguage(0x0409);
    EXPECT_EQ(language.GetText(L"Section."), L"empty key");
    EXPECT_EQ(language.GetText(L"Section.A.B.C"), L"dotted");
    EXPECT_EQ(language.GetText(L"Section.Lines"), L"Line one\nLine two");
    EXPECT_EQ(language.GetText(L"Section.Eq"), L"a=b");
    EXPECT_FALSE(language.HasText(L"Section.NoEquals"));
    EXPECT_EQ(language.GetText(L"Fran\x00E7" L"ais.Mot"), L"\x00E9t\x00E9 \x20AC");
    EXPECT_EQ(language.GetText(L"section.lines"), L"section.lines");  // keys are case-sensitive
}

TEST(LanguageFile, RandomBytesAndAHugeLineNeverCrash)
{
    TempDir dir;
    std::mt19937 random(7);
    std::string noise(64 * 1024, '\0');
    for (char& c : noise)
        c = static_cast<char>(random());
    dir.WriteFile(L"LNG\\0000.LNG", noise);
    WriteLanguageFile(dir, L"LNG\\0007.LNG", L"[Big]\r\nLine=" + std::wstring(1024 * 1024, L'x') + L"\r\n");
    UnicodeLanguage language(dir.Path(), L"Varnox");
    language.SelectLanguage(0x0007);
    EXPECT_EQ(language.GetText(L"Missing.Key"), L"Missing.Key");
    std::wstring big = language.GetText(L"Big.Line");
    // The profile functions may cut a line of this size; it must not crash or hang.
    EXPECT_LE(big.size(), 1024u * 1024u);
}

TEST(LanguageFile, SectionsAndListsLongerThanOneProfileBufferAreReadWhole)
{
    // Beyond 131,072 characters each: one section's entries, the list of
    // section names, and a single value.
    std::wstring content = L"[Many]\r\n";
    for (int i = 0; i < 4000; ++i)
        content += L"Key" + std::to_wstring(i) + L"=" + std::wstring(50, L'v') + std::to_wstring(i) + L"\r\n";
    const std::wstring longName(30000, L'n');
    for (int i = 0; i < 5; ++i)
        content += L"[" + longName + std::to_wstring(i) + L"]\r\nEntry=" + std::to_wstring(i) + L"\r\n";
    const std::wstring longValue = std::wstring(300000, L'w') + L"end";
    content += L"[Big]\r\nValue=" + longValue + L"\r\n";
    TempDir dir;
    WriteLanguageFile(dir, L"LNG\\0000.LNG", content);
    UnicodeLanguage language(dir.Path(), L"Varnox");  // loads the base file
    EXPECT_EQ(language.GetText(L"Many.Key0"), std::wstring(50, L'v') + L"0");
    EXPECT_EQ(language.GetText(L"Many.Key3999"), std::wstring(50, L'v') + L"3999");
    EXPECT_EQ(language.GetText(longName + L"4.Entry"), L"4");
    EXPECT_EQ(language.GetText(L"Big.Value"), longValue);
}

class Expansion : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteLanguageFile(dir, L"LNG\\0000.LNG",
                          L"[MainWindow]\r\nTitle=Varnox\r\n"
                          L"[Dialog]\r\nYes=&Yes\r\n"
                          L"[WipeMethod]\r\nMethod2Name=Zeros\r\n"
                          L"[Self]\r\nLoop=x$[Self.Loop]\r\nPing=$[Self.Pong]\r\nPong=$[Self.Ping]\r\n"
                          L"Many=$[Self.Many]$[Self.Many]$[Self.Many]$[Self.Many]$[Self.Many]\r\n"
                          L"Nested=<$[MainWindow.Title]>\r\n");
        language.SelectLanguage(0x0409);
    }
    std::wstring Text(const std::wstring& key, const TextVariables& variables = {})
    {
        return language.GetText(key, variables);
    }

    TempDir dir;
    UnicodeLanguage language{dir.Path(), L"Varnox"};
};

TEST_F(Expansion, VariablesAndTextReferences)
{
    EXPECT_EQ(Text(L"Wiped $(FileCount) files", {{L"FileCount", L"3"}}), L"Wiped 3 files");
    EXPECT_EQ(Text(L"$(Missing)", {{L"FileCount", L"3"}}), L"$(Missing)");
    EXPECT_EQ(Text(L"$[Dialog.Yes]"), L"&Yes");
    EXPECT_EQ(Text(L"$[WipeMethod.Method$(N)Name]", {{L"N", L"2"}}), L"Zeros");
    EXPECT_EQ(Text(L"$[$(K)]", {{L"K", L"MainWindow.Title"}}), L"Varnox");
    EXPECT_EQ(Text(L"[$[Self.Nested]]"), L"[<Varnox>]");
    EXPECT_EQ(Text(L"$[No.Such.Key]!"), L"No.Such.Key!");
}

TEST_F(Expansion, InsertedValuesAreNotExpandedAgain)
{
    EXPECT_EQ(Text(L"$(A)$(B)", {{L"A", L"$(B)"}, {L"B", L"x"}}), L"$(B)x");
    EXPECT_EQ(Text(L"$(A)", {{L"A", L"$[MainWindow.Title]"}}), L"$[MainWindow.Title]");
}

TEST_F(Expansion, ShowVarsListsEveryVariableInOrder)
{
    EXPECT_EQ(Text(L"$(DEBUG.SHOWVARS)", {{L"B", L"2"}, {L"A", L"1"}}), L"A='1' B='2' ");
    EXPECT_EQ(Text(L"[$(DEBUG.SHOWVARS)]"), L"[]");
}

TEST_F(Expansion, MissingVariableKeepsItsInnerPartUnexpanded)
{
    EXPECT_EQ(Text(L"$($(A))", {{L"A", L"B"}}), L"$($(A))");
    EXPECT_EQ(Text(L"$($(A))", {{L"A", L"B"}, {L"B", L"found"}}), L"found");
}

TEST_F(Expansion, UnbalancedBracketsArePlainText)
{
    EXPECT_EQ(Text(L"a ) b ] c $(X]"), L"a ) b ] c $(X]");
    EXPECT_EQ(Text(L"$(X] $(Y)", {{L"Y", L"y"}}), L"$(X] $(Y)");  // the first opener never closes
    EXPECT_EQ(Text(L"50$ $( open"), L"50$ $( open");
    EXPECT_EQ(Text(L"$[MainWindow.Title"), L"$[MainWindow.Title");
    EXPECT_EQ(Text(L"$(A))", {{L"A", L"1"}}), L"1)");
    EXPECT_EQ(Text(L"$"), L"$");
}

TEST_F(Expansion, SelfReferencesStopAtTheNestingLimit)
{
    std::wstring loop = Text(L"Self.Loop");
    EXPECT_LT(loop.size(), 100u);
    EXPECT_EQ(loop.substr(loop.size() - 12), L"$[Self.Loop]");
    EXPECT_EQ(loop.find_first_not_of(L'x'), loop.size() - 12);
    std::wstring ping = Text(L"Self.Ping");
    EXPECT_TRUE(ping == L"$[Self.Ping]" || ping == L"$[Self.Pong]") << std::string(ping.begin(), ping.end());
    // Five references to itself at every level: bounded work, no hang.
    std::wstring many = Text(L"Self.Many");
    EXPECT_NE(many.find(L"$[Self.Many]"), std::wstring::npos);
}

TEST_F(Expansion, ALookupReadsAndInsertsNoMoreThanItsLimit)
{
    // A text that refers 4,096 times to one of a million characters: each
    // reference is read only while the limit (4 Mi characters) allows it.
    std::wstring references;
    for (int i = 0; i < 4096; ++i)
        references += L"$[Big.Text]";
    WriteLanguageFile(dir, L"LNG\\0000.LNG",
                      L"[Big]\r\nText=" + std::wstring(1 << 20, L'b') + L"\r\nMany=" + references + L"\r\n");
    language.SelectLanguage(0x0409);
    std::wstring many = Text(L"Big.Many");
    size_t inserted = std::count(many.begin(), many.end(), L'b');
    EXPECT_LE(2 * inserted, 4u << 20) << "what was read and inserted";
    EXPECT_EQ(many.size() - inserted, (4096 - inserted / (1 << 20)) * 11);
}

TEST(LanguageDefinitions, RecordsSortedMergedNamesAndWritesOnlyOnChange)
{
    TempDir dir;
    WriteLanguageFile(dir, L"LNG\\0000.LNG", L"[Log]\r\nFileWiped=$[Log.Inner]\r\nInner=x\r\n");
    UnicodeLanguage language(dir.Path(), L"Varnox");
    language.GetText(L"Log.FileWiped", {{L"Path", L"p"}});
    EXPECT_TRUE(language.DefinitionFilePath().empty());  // recording starts off

    language.SetRecordDefinitions(true);
    std::wstring def = dir / L"LNG\\Varnox_LNG.DEF";
    EXPECT_EQ(language.DefinitionFilePath(), def);
    language.GetText(L"Log.FileWiped", {{L"Path", L"p"}, {L"Passes", L"3"}});
    language.GetText(L"Log.FileWiped", {{L"Path", L"p"}});
    language.GetText(L"NoDot");
    language.GetText(L"Main.Empty");

    wchar_t value[256];
    GetPrivateProfileStringW(L"Log", L"FileWiped", L"?", value, 256, def.c_str());
    EXPECT_STREQ(value, L"Passes,Path");
    GetPrivateProfileStringW(L"Log", L"Inner", L"?", value, 256, def.c_str());
    EXPECT_STREQ(value, L"Passes,Path");  // nested texts are recorded with the same variables
    GetPrivateProfileStringW(L"Main", L"Empty", L"?", value, 256, def.c_str());
    EXPECT_STREQ(value, L"");
    wchar_t sections[256] = {};
    GetPrivateProfileSectionNamesW(sections, 256, def.c_str());
    EXPECT_STREQ(sections, L"Log");

    // Unchanged entries are not written again: the file keeps an old time stamp.
    HANDLE file = CreateFileW(def.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    FILETIME old{0x10000000, 0x01C00000};
    SetFileTime(file, nullptr, nullptr, &old);
    CloseHandle(file);
    language.GetText(L"Log.FileWiped", {{L"Passes", L"1"}});
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(def.c_str(), GetFileExInfoStandard, &data);
    EXPECT_EQ(CompareFileTime(&data.ftLastWriteTime, &old), 0);
    language.GetText(L"Log.FileWiped", {{L"Offset", L"1"}});
    GetPrivateProfileStringW(L"Log", L"FileWiped", L"?", value, 256, def.c_str());
    EXPECT_STREQ(value, L"Offset,Passes,Path");
}

TEST(LanguageFont, AttributesAreReadLikeTheToolkitReadsThem)
{
    TempDir dir;
    WriteLanguageFile(dir, L"LNG\\0000.LNG",
                      L"[Font]\r\nName=Verdana\r\nSize=$0C\r\nCharset=0xEE\r\nColor=$FF\r\nBold=true\r\nItalic=True\r\n"
                      L"[Bad]\r\nSize=abc\r\nColor=abc\r\nCharset=12x\r\nBold=TRUE\r\n"
                      L"[Hex]\r\nColor=0xFF\r\nSize=-3\r\n[Big]\r\nColor=$80000005\r\nSize=99999999999\r\n");
    UnicodeLanguage language(dir.Path(), L"Varnox");
    language.SelectLanguage(0x0409);
    LanguageFont defaults;

    const LanguageFont& font = language.GetFont(L"Font");
    EXPECT_EQ(font.Name, L"Verdana");
    EXPECT_EQ(font.Size, 12);
    EXPECT_EQ(font.Charset, 0xEE);
    EXPECT_EQ(font.Color, 0xFFu);
    EXPECT_TRUE(font.Bold);
    EXPECT_FALSE(font.Italic);  // "True" is not "true"
    EXPECT_EQ(&language.GetFont(L"Font"), &font);  // cached

    const LanguageFont& bad = language.GetFont(L"Bad");
    EXPECT_EQ(bad.Name, defaults.Name);
    EXPECT_EQ(bad.Size, defaults.Size);
    EXPECT_EQ(bad.Color, defaults.Color);
    EXPECT_EQ(bad.Charset, defaults.Charset);
    EXPECT_FALSE(bad.Bold);

    EXPECT_EQ(language.GetFont(L"Hex").Color, 0xFFu);
    EXPECT_EQ(language.GetFont(L"Hex").Size, defaults.Size);
    EXPECT_EQ(language.GetFont(L"Big").Color, 0x80000005u);
    EXPECT_EQ(ResolveColor(0x80000005u), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(language.GetFont(L"Big").Size, defaults.Size);
    EXPECT_EQ(language.GetFont(L"Missing").Name, defaults.Name);

    LOGFONTW logFont = font.MakeLogFont(96);
    EXPECT_EQ(logFont.lfHeight, -16);
    EXPECT_EQ(logFont.lfWeight, FW_BOLD);
    EXPECT_STREQ(logFont.lfFaceName, L"Verdana");
    EXPECT_NE(font.Handle(), nullptr);
}

TEST(LanguageFont, IntegerParsing)
{
    int32_t value = 42;
    EXPECT_TRUE(ParseLanguageInteger(L"-8", value));
    EXPECT_EQ(value, -8);
    EXPECT_TRUE(ParseLanguageInteger(L"$ff", value));
    EXPECT_EQ(value, 255);
    EXPECT_TRUE(ParseLanguageInteger(L"0X10", value));
    EXPECT_EQ(value, 16);
    value = 42;
    for (const wchar_t* bad : {L"", L"$", L"0x", L"1.5", L"12 ", L"abc", L"2147483648", L"$100000000"})
        EXPECT_FALSE(ParseLanguageInteger(bad, value)) << bad;
    EXPECT_EQ(value, 42);
}

}  // namespace
