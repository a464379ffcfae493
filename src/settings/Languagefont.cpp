// Fonts described in the language files.
#include "settings/Unicodelanguage.h"

#include <cwctype>

LanguageFont::~LanguageFont()
{
    if (handle)
        DeleteObject(handle);
}

LOGFONTW LanguageFont::MakeLogFont(int dpi) const
{
    LOGFONTW font{};
    font.lfHeight = -MulDiv(Size, dpi, 72);
    font.lfWeight = Bold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = Italic ? TRUE : FALSE;
    font.lfCharSet = static_cast<BYTE>(Charset);
    font.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(font.lfFaceName, Name.c_str(), LF_FACESIZE);
    return font;
}

HFONT LanguageFont::Handle() const
{
    if (!handle) {
        HDC screen = GetDC(nullptr);
        int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
        if (screen)
            ReleaseDC(nullptr, screen);
        LOGFONTW font = MakeLogFont(dpi > 0 ? dpi : 96);
        handle = CreateFontIndirectW(&font);
    }
    return handle;
}

COLORREF ResolveColor(uint32_t color)
{
    if (color & 0x80000000)
        return GetSysColor(static_cast<int>(color & 0xFF));
    return color & 0x00FFFFFF;
}

bool ParseLanguageInteger(const std::wstring& text, int32_t& value)
{
    size_t pos = 0;
    while (pos < text.size() && std::iswspace(text[pos]))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == L'-' || text[pos] == L'+'))
        negative = text[pos++] == L'-';
    int base = 10;
    if (pos < text.size() && text[pos] == L'$') {
        base = 16;
        ++pos;
    } else if (pos + 1 < text.size() && text[pos] == L'0' && (text[pos + 1] == L'x' || text[pos + 1] == L'X')) {
        base = 16;
        pos += 2;
    }
    if (pos == text.size())
        return false;
    uint64_t number = 0;
    for (; pos < text.size(); ++pos) {
        wchar_t c = text[pos];
        int digit;
        if (c >= L'0' && c <= L'9')
            digit = c - L'0';
        else if (base == 16 && c >= L'a' && c <= L'f')
            digit = c - L'a' + 10;
        else if (base == 16 && c >= L'A' && c <= L'F')
            digit = c - L'A' + 10;
        else
            return false;
        number = number * base + digit;
        if (number > 0xFFFFFFFFull)
            return false;
    }
    // Decimal numbers are signed 32-bit; hexadecimal ones may use all 32 bits (colours).
    if (base == 10 && number > (negative ? 0x80000000ull : 0x7FFFFFFFull))
        return false;
    uint32_t bits = static_cast<uint32_t>(number);
    value = static_cast<int32_t>(negative ? 0u - bits : bits);
    return true;
}

const LanguageFont& UnicodeLanguage::GetFont(const std::wstring& fontKey)
{
    auto cached = fonts.find(fontKey);
    if (cached != fonts.end())
        return *cached->second;
    auto font = std::make_unique<LanguageFont>();
    auto attribute = [&](const wchar_t* name, std::wstring& text) {
        std::wstring key = fontKey + L"." + name;
        if (!HasText(key))
            return false;
        text = GetText(key);
        return true;
    };
    std::wstring text;
    int32_t number = 0;
    if (attribute(L"Name", text) && !text.empty())
        font->Name = text;
    if (attribute(L"Size", text) && ParseLanguageInteger(text, number) && number > 0)
        font->Size = number;
    if (attribute(L"Charset", text) && ParseLanguageInteger(text, number) && number >= 0 && number <= 255)
        font->Charset = number;
    if (attribute(L"Color", text) && ParseLanguageInteger(text, number))
        font->Color = static_cast<uint32_t>(number);
    if (attribute(L"Bold", text))
        font->Bold = text == L"true";
    if (attribute(L"Italic", text))
        font->Italic = text == L"true";
    return *fonts.emplace(fontKey, std::move(font)).first->second;
}
