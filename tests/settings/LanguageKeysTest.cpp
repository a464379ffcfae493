// Every key the program can ask for must be in every shipped language file,
// with texts that use only the variables supplied with the key; every
// key-like literal in the sources must be in the key list.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>
#include "settings/LanguageKeys.h"
#include "settings/Unicodelanguage.h"
#include "support/TempDir.h"

namespace {

// The repository as Wine sees a host path.
std::wstring SourcePath(const std::wstring& relative)
{
    std::string root = VARNOX_SOURCE_DIR;
    std::wstring path = L"\\\\?\\unix";
    for (char c : root)
        path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return path + L"\\" + relative;
}

std::vector<std::wstring> FilesIn(const std::wstring& folder, const std::wstring& pattern)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"\\" + pattern).c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(entry.cFileName);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return names;
}

std::set<std::wstring> ListedKeys()
{
    std::set<std::wstring> keys;
    for (const LanguageKey& key : AllLanguageKeys())
        keys.insert(key.key);
    return keys;
}

// Every "section.entry" key of an INI file, read with the profile functions.
std::set<std::wstring> KeysInFile(const std::wstring& path)
{
    std::set<std::wstring> keys;
    std::vector<wchar_t> sections(0x20000), entries(0x20000);
    DWORD length = GetPrivateProfileSectionNamesW(sections.data(), 0x20000, path.c_str());
    for (const wchar_t* section = sections.data(); section < sections.data() + length && *section;
         section += wcslen(section) + 1) {
        DWORD size = GetPrivateProfileSectionW(section, entries.data(), 0x20000, path.c_str());
        for (const wchar_t* entry = entries.data(); entry < entries.data() + size && *entry;
             entry += wcslen(entry) + 1) {
            std::wstring line = entry;
            keys.insert(std::wstring(section) + L"." + line.substr(0, line.find(L'=')));
        }
    }
    return keys;
}

TEST(LanguageKeys, ListHasNoDuplicates)
{
    EXPECT_EQ(ListedKeys().size(), AllLanguageKeys().size());
    EXPECT_EQ(WipeMethodNameKey(13), L"WipeMethod.Method13Name");
}

TEST(LanguageKeys, EveryShippedFileDefinesEveryKeyAndUsesOnlyItsVariables)
{
    std::wstring folder = SourcePath(L"data\\LNG");
    std::vector<std::wstring> files = FilesIn(folder, L"*.LNG");
    ASSERT_GE(files.size(), 2u) << "no language files found in the repository";
    const std::set<std::wstring> listed = ListedKeys();
    for (const std::wstring& name : files) {
        SCOPED_TRACE(std::string(name.begin(), name.end()));
        // Each file on its own, as the base file of a fresh manager.
        TempDir dir;
        CreateDirectoryW((dir / L"LNG").c_str(), nullptr);
        ASSERT_TRUE(CopyFileW((folder + L"\\" + name).c_str(), (dir / L"LNG\\0000.LNG").c_str(), FALSE));
        UnicodeLanguage language(dir.Path(), L"Check");
        language.SelectLanguage(0x0409);

        std::set<std::wstring> inFile = KeysInFile(dir / L"LNG\\0000.LNG");
        for (const std::wstring& key : listed)
            EXPECT_TRUE(language.HasText(key)) << "missing: " << std::string(key.begin(), key.end());
        for (const std::wstring& key : inFile)
            EXPECT_TRUE(listed.count(key)) << "not asked for: " << std::string(key.begin(), key.end());

        language.SetRecordDefinitions(true);
        for (const LanguageKey& key : AllLanguageKeys()) {
            TextVariables variables;
            for (const std::wstring& variable : key.variables)
                variables[variable] = variable == L"State" ? L"Cancelled" : L"1";
            std::wstring text = language.GetText(key.key, variables);
            EXPECT_EQ(text.find(L"$("), std::wstring::npos) << "unknown variable in " << std::string(key.key.begin(), key.key.end());
            EXPECT_EQ(text.find(L"$["), std::wstring::npos) << "unresolved text in " << std::string(key.key.begin(), key.key.end());
        }
        // Texts referred to from other texts were asked for too; they must exist.
        for (const std::wstring& key : KeysInFile(language.DefinitionFilePath()))
            EXPECT_TRUE(language.HasText(key)) << "referenced but missing: " << std::string(key.begin(), key.end());
    }
}

TEST(LanguageKeys, ShippedFilesReadWithTheirNonAsciiTexts)
{
    UnicodeLanguage language(SourcePath(L"data"), L"Varnox");
    language.SelectLanguage(0x0407);
    EXPECT_EQ(language.GetLanguageId(), 0x0407);
    EXPECT_EQ(language.GetText(L"MainWindow.ColumnSize"), L"Gr\u00F6\u00DFe");
    EXPECT_EQ(language.GetText(L"Log.FileWiped", {{L"WipeMethod", L"2"}, {L"RoundCount", L"3"}}),
              L"Datei \u00FCberschrieben und gel\u00F6scht (L\u00F6schverfahren: Nullen (1 Schritt), Durchg\u00E4nge: 3).");
    language.SelectLanguage(0x0409);
    EXPECT_EQ(language.GetText(L"MainWindow.ColumnSize"), L"Size");
    EXPECT_NE(language.GetText(L"WipeListWindow.SecondConfirmation").find(L'\n'), std::wstring::npos);
    LanguageList list;
    language.ListLanguages(list);
    EXPECT_EQ(list, (LanguageList{{L"<Default>", 0}, {L"German(Deutsch)", 7}}));
}

// Literal keys in the code: L"Section.Item" where Section is a section of the
// key list. Each must be a listed key, or the start of listed keys that the
// code completes at run time (L"WipeMethod.Method" + number + L"Name").
std::vector<std::wstring> KeyLiterals(const std::string& source, const std::set<std::wstring>& sections)
{
    std::vector<std::wstring> literals;
    for (size_t pos = source.find("L\""); pos != std::string::npos; pos = source.find("L\"", pos + 2)) {
        size_t end = source.find('"', pos + 2);
        if (end == std::string::npos)
            break;
        std::string literal = source.substr(pos + 2, end - pos - 2);
        size_t dot = literal.find('.');
        bool keyLike = dot != std::string::npos && dot + 1 < literal.size() &&
                       literal.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789.") ==
                           std::string::npos;
        std::wstring wide(literal.begin(), literal.end());
        if (keyLike && sections.count(wide.substr(0, dot)))
            literals.push_back(wide);
    }
    return literals;
}

void CollectSources(const std::wstring& folder, std::vector<std::wstring>& files)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CollectSources(folder + L"\\" + name, files);
        else if (name.size() > 2 && (name.ends_with(L".cpp") || name.ends_with(L".h")))
            files.push_back(folder + L"\\" + name);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
}

TEST(LanguageKeys, EveryKeyLiteralInTheSourcesIsListed)
{
    const std::set<std::wstring> listed = ListedKeys();
    std::set<std::wstring> sections;
    for (const std::wstring& key : listed)
        sections.insert(key.substr(0, key.find(L'.')));
    std::vector<std::wstring> files;
    CollectSources(SourcePath(L"src"), files);
    ASSERT_GT(files.size(), 10u);
    size_t checked = 0;
    for (const std::wstring& file : files) {
        std::string source;
        ASSERT_TRUE(ReadWholeFile(file, source));
        for (const std::wstring& literal : KeyLiterals(source, sections)) {
            auto next = listed.lower_bound(literal);
            bool known = next != listed.end() && next->compare(0, literal.size(), literal) == 0;
            EXPECT_TRUE(known) << "key not in the key list: " << std::string(literal.begin(), literal.end());
            ++checked;
        }
    }
    EXPECT_GT(checked, 3u);  // the builder's and the dialog's keys at least
}

}  // namespace
