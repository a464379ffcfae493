#include "settings/Unicodelanguage.h"
#include "platform/ExecutablePath.h"

#include <shlobj.h>
#include <algorithm>
#include <set>
#include <vector>

namespace {

constexpr DWORD kProfileBufferSize = 0x20000;
// A list that does not fit even this is read as far as it fits.
constexpr DWORD kMaxProfileBufferSize = 0x4000000;
constexpr DWORD kDefinitionBufferSize = 4096;
// Nested references deeper than this stay unexpanded: a text that refers to
// itself must neither hang nor overflow the stack.
constexpr int kMaxNesting = 8;
// Bounds the work of one GetText, so that texts referring to each other many
// times over cannot multiply without end: references, and characters read
// from referenced texts or inserted.
constexpr int kMaxReferences = 4096;
constexpr size_t kMaxInsertedChars = 4 * 1024 * 1024;

std::wstring HexName(uint32_t value)
{
    wchar_t name[16];
    swprintf(name, 16, L"%04X.LNG", value & 0xFFFF);
    return name;
}

bool FileExists(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring ReplaceLineBreaks(std::wstring text)
{
    for (size_t pos = text.find(L"\\n"); pos != std::wstring::npos; pos = text.find(L"\\n", pos + 1))
        text.replace(pos, 2, 1, L'\n');
    return text;
}

// A double-NUL-terminated list of strings as the profile functions return it.
std::vector<std::wstring> SplitNulList(const wchar_t* buffer, DWORD length)
{
    std::vector<std::wstring> items;
    DWORD pos = 0;
    while (pos < length && buffer[pos] != L'\0') {
        DWORD end = pos;
        while (end < length && buffer[end] != L'\0')
            ++end;
        items.emplace_back(buffer + pos, end - pos);
        pos = end + 1;
    }
    return items;
}

// A double-NUL-terminated list that `read` (a profile function with its
// buffer and size) fills. The profile functions cut a list that does not fit
// and say so only by returning the size less 2, so the buffer grows until it fits.
template <typename Read>
std::vector<std::wstring> ReadProfileList(const Read& read)
{
    for (DWORD size = kProfileBufferSize;; size *= 2) {
        std::vector<wchar_t> buffer(size);
        DWORD length = read(buffer.data(), size);
        if (length + 2 < size || size >= kMaxProfileBufferSize)
            return SplitNulList(buffer.data(), std::min(length, size));
    }
}

}  // namespace

struct UnicodeLanguage::Expansion {
    const TextVariables& variables;
    int referencesLeft = kMaxReferences;
    size_t charsLeft = kMaxInsertedChars;
};

UnicodeLanguage::UnicodeLanguage() : executableFolder(::ExecutableFolder()), executableBaseName(::ExecutableBaseName())
{
    SelectLanguage(0);
}

UnicodeLanguage::UnicodeLanguage(const std::wstring& folder, const std::wstring& baseName)
    : executableFolder(folder), executableBaseName(baseName)
{
    SelectLanguage(0);
}

std::wstring UnicodeLanguage::LocateFile(const std::wstring& fileName) const
{
    std::wstring own = executableFolder + L"\\LNG\\" + executableBaseName + L"\\" + fileName;
    if (!executableBaseName.empty() && FileExists(own))
        return own;
    std::wstring shared = executableFolder + L"\\LNG\\" + fileName;
    if (FileExists(shared))
        return shared;
    return {};
}

bool UnicodeLanguage::LoadFile(const std::wstring& fileName)
{
    std::wstring path = LocateFile(fileName);
    if (path.empty())
        return false;
    std::vector<std::wstring> sections = ReadProfileList([&path](wchar_t* buffer, DWORD size) {
        return GetPrivateProfileSectionNamesW(buffer, size, path.c_str());
    });
    if (sections.empty())
        return false;
    for (const std::wstring& section : sections) {
        std::vector<std::wstring> entries = ReadProfileList([&](wchar_t* buffer, DWORD size) {
            return GetPrivateProfileSectionW(section.c_str(), buffer, size, path.c_str());
        });
        for (const std::wstring& entry : entries) {
            size_t equals = entry.find(L'=');
            if (equals == std::wstring::npos)
                continue;
            texts[section + L"." + entry.substr(0, equals)] = ReplaceLineBreaks(entry.substr(equals + 1));
        }
    }
    return true;
}

void UnicodeLanguage::SelectLanguage(int32_t languageId)
{
    uint32_t id = languageId == 0 ? GetThreadLocale() : static_cast<uint32_t>(languageId);
    texts.clear();
    LoadFile(L"0000.LNG");
    currentLanguage = 1033;
    if (LoadFile(HexName(id & 0x3FF)))
        currentLanguage = static_cast<int32_t>(id & 0xFFFF);
    if (LoadFile(HexName(id)))
        currentLanguage = static_cast<int32_t>(id);
    fonts.clear();
}

std::wstring UnicodeLanguage::GetText(const std::wstring& key) const
{
    return GetText(key, TextVariables{});
}

std::wstring UnicodeLanguage::GetText(const std::wstring& key, const TextVariables& variables) const
{
    Expansion expansion{variables};
    return TextOf(key, expansion, 0);
}

std::wstring UnicodeLanguage::TextOf(const std::wstring& key, Expansion& expansion, int depth) const
{
    auto found = texts.find(key);
    if (recordDefinitions)
        RecordDefinition(key, expansion.variables);
    return Expand(found != texts.end() ? found->second : key, expansion, depth);
}

// One left-to-right scan with a stack of open references; an outermost
// reference is replaced as soon as its closing bracket is found, its inner
// part expanded first. The result is built as the scan goes, so no
// replacement moves the rest of the text.
std::wstring UnicodeLanguage::Expand(const std::wstring& text, Expansion& expansion, int depth) const
{
    if (depth >= kMaxNesting)
        return text;
    std::wstring result;
    size_t copied = 0;  // text[copied, start) is not in the result yet
    std::vector<wchar_t> open;  // '[' text reference, '(' variable reference
    size_t start = 0;
    for (size_t pos = 0; pos < text.size(); ++pos) {
        if (text[pos] == L'$' && pos + 1 < text.size() && (text[pos + 1] == L'[' || text[pos + 1] == L'(')) {
            if (open.empty())
                start = pos;
            open.push_back(text[++pos]);
            continue;
        }
        wchar_t c = text[pos];
        bool closes = !open.empty() && ((c == L']' && open.back() == L'[') || (c == L')' && open.back() == L'('));
        if (!closes)
            continue;
        open.pop_back();
        if (!open.empty() || expansion.referencesLeft <= 0)
            continue;
        --expansion.referencesLeft;
        std::wstring name = Expand(text.substr(start + 2, pos - start - 2), expansion, depth + 1);
        std::wstring replacement;
        if (c == L']') {
            // A text is read only while the limit allows it: a crafted file
            // must not make one lookup scan megabytes thousands of times.
            auto found = texts.find(name);
            size_t size = found != texts.end() ? found->second.size() : name.size();
            if (size > expansion.charsLeft)
                continue;
            expansion.charsLeft -= size;
            replacement = TextOf(name, expansion, depth + 1);
        } else if (name == L"DEBUG.SHOWVARS") {
            for (const auto& [variable, value] : expansion.variables)
                replacement += variable + L"='" + value + L"' ";
        } else if (auto value = expansion.variables.find(name); value != expansion.variables.end()) {
            replacement = value->second;
        } else {
            continue;
        }
        if (replacement.size() > expansion.charsLeft)
            continue;
        expansion.charsLeft -= replacement.size();
        result.append(text, copied, start - copied);
        result += replacement;
        copied = pos + 1;
    }
    result.append(text, copied, std::wstring::npos);
    return result;
}

void UnicodeLanguage::SetRecordDefinitions(bool record)
{
    if (record == recordDefinitions)
        return;
    recordDefinitions = record;
    if (record) {
        std::wstring folder = executableFolder + L"\\LNG";
        SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
        definitionFilePath = folder + L"\\" + executableBaseName + L"_LNG.DEF";
    }
}

void UnicodeLanguage::RecordDefinition(const std::wstring& key, const TextVariables& variables) const
{
    size_t dot = key.find(L'.');
    if (dot == std::wstring::npos || definitionFilePath.empty())
        return;
    std::wstring section = key.substr(0, dot);
    std::wstring entry = key.substr(dot + 1);
    MutexHolder hold(definitionLock);
    std::vector<wchar_t> buffer(kDefinitionBufferSize);
    DWORD length = GetPrivateProfileStringW(section.c_str(), entry.c_str(), L"\x0001", buffer.data(),
                                            kDefinitionBufferSize, definitionFilePath.c_str());
    std::wstring current(buffer.data(), length);
    std::set<std::wstring> names;
    if (current != L"\x0001") {
        size_t from = 0;
        while (from <= current.size()) {
            size_t comma = current.find(L',', from);
            if (comma == std::wstring::npos)
                comma = current.size();
            if (comma > from)
                names.insert(current.substr(from, comma - from));
            from = comma + 1;
        }
    }
    for (const auto& variable : variables)
        names.insert(variable.first);
    std::wstring joined;
    for (const std::wstring& name : names)
        joined += (joined.empty() ? L"" : L",") + name;
    if (joined != current)
        WritePrivateProfileStringW(section.c_str(), entry.c_str(), joined.c_str(), definitionFilePath.c_str());
}

bool UnicodeLanguage::ListLanguages(LanguageList& list) const
{
    list.emplace_back(L"<Default>", 0);
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((executableFolder + L"\\LNG\\????.LNG").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = entry.cFileName;
            // "?" also matches fewer characters; only four hexadecimal digits name a language.
            if (name.size() != 8 || name.find_first_not_of(L"0123456789ABCDEFabcdef") != 4)
                continue;
            uint32_t id = std::wcstoul(name.substr(0, 4).c_str(), nullptr, 16);
            if (id == 0)
                continue;
            wchar_t language[128] = {}, native[128] = {}, country[128] = {};
            LCID primary = id & 0x3FF;
            GetLocaleInfoW(primary, LOCALE_SENGLANGUAGE, language, 128);
            GetLocaleInfoW(primary, LOCALE_SNATIVELANGNAME, native, 128);
            std::wstring display = std::wstring(language) + L"(" + native;
            if (id == primary) {
                display += L")";
            } else {
                GetLocaleInfoW(id, LOCALE_SENGCOUNTRY, country, 128);
                display += std::wstring(L") / ") + country;
            }
            list.emplace_back(display, static_cast<int32_t>(id));
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    return !list.empty();
}

UnicodeLanguage& Language()
{
    static UnicodeLanguage language;
    return language;
}
