#include "ui/Utils.h"

#include "platform/Shellfolder.h"
#include "settings/Imagedecoder.h"
#include "targets/Fileinfo.h"
#include "ui/toolkit/Application.h"

#include <algorithm>

std::wstring FormatFileTime(const FILETIME& time)
{
    FILETIME local;
    SYSTEMTIME fields;
    wchar_t date[128], clock[128];
    if (!FileTimeToLocalFileTime(&time, &local) || !FileTimeToSystemTime(&local, &fields) ||
        !GetDateFormatW(LOCALE_USER_DEFAULT, 0, &fields, nullptr, date, 128) ||
        !GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &fields, nullptr, clock, 128))
        return std::wstring();
    return std::wstring(date) + L" " + clock;
}

std::wstring FormatFileTime(uint64_t time)
{
    FILETIME fileTime{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
    return FormatFileTime(fileTime);
}

std::wstring FormatSizeKB(int64_t size)
{
    if (size == 0)
        return L"0 kB";
    int64_t kilobytes = size / 1024;
    if (kilobytes == 0)
        kilobytes = 1;
    std::wstring digits = std::to_wstring(kilobytes);
    std::wstring grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += L' ';
        grouped += digits[i];
    }
    return grouped + L" kB";
}

OwnedBitmap LoadBrandingGraphic(COEMConfig& branding, const std::string& key)
{
    COEMConfigValue* value = branding.FindValue(key);
    if (!value || value->GetKind() != OEMValueKind::Data || value->GetDataSize() == 0)
        return nullptr;
    return OwnedBitmap(DecodeImage(value->GetData(), value->GetDataSize()));
}

OwnedBitmap LoadBrandingGraphic(const std::string& key)
{
    return LoadBrandingGraphic(OEMConfig(), key);
}

SystemIconCache& IconCache()
{
    // The branding tree must outlive the cache: statics die in reverse order
    // of their construction.
    OEMConfig();
    static SystemIconCache cache;
    return cache;
}

void InstallFileInfoDisplayLookup()
{
    IconCache();
    SetFileInfoDisplayLookup(LookUpFileInfoDisplay);
}

void InstallMessageDialogPresenter()
{
    UnicodeLanguage::SetMessageDialogPresenter([](const MessageDialogContent& content) {
        return tk::Application::Instance().ShowMessageDialog(ToMessageDialogSpec(content));
    });
}

tk::FontSpec ToFontSpec(const LanguageFont& font)
{
    tk::FontSpec spec;
    spec.Name = font.Name;
    spec.Size = font.Size;
    spec.Bold = font.Bold;
    spec.Italic = font.Italic;
    spec.Charset = static_cast<BYTE>(font.Charset);
    spec.Color = font.Color == (0x80000000u | COLOR_WINDOWTEXT) ? CLR_INVALID : ResolveColor(font.Color);
    return spec;
}

tk::MessageDialogSpec ToMessageDialogSpec(const MessageDialogContent& content)
{
    static const tk::MessageDialogSpec::Icon icons[] = {
        tk::MessageDialogSpec::Icon::Warning, tk::MessageDialogSpec::Icon::Error,
        tk::MessageDialogSpec::Icon::Information, tk::MessageDialogSpec::Icon::Question};
    tk::MessageDialogSpec spec;
    spec.caption = content.caption;
    spec.text = content.text;
    spec.icon = icons[std::min<size_t>(static_cast<size_t>(content.type), 3)];
    for (const auto& [result, caption] : content.buttons)
        spec.buttons.push_back({result, caption, result != MessageDialogContent::kHelpResult});
    spec.defaultResult = content.defaultResult;
    spec.escapeResult = content.escapeResult;
    if (content.font != nullptr) {
        spec.font = content.font->Handle();
        spec.textColor = ResolveColor(content.font->Color);
    }
    spec.background = ResolveColor(content.color);
    return spec;
}

std::wstring DefaultLogPath()
{
    ShellFolder documents(CSIDL_PERSONAL);
    const std::wstring& folder = documents.fileSystemPath.empty() ? documents.parsingName : documents.fileSystemPath;
    return folder + L"\\Varnox.log";
}
