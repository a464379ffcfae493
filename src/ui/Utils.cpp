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
        return tk::Application::Instance().ShowMessageDialog(ToMessageDialogSetup(content));
    });
}

tk::FontSpec ToFontSpec(const LanguageFont& font)
{
    tk::FontSpec setup;
    setup.Name = font.Name;
    setup.Size = font.Size;
    setup.Bold = font.Bold;
    setup.Italic = font.Italic;
    setup.Charset = static_cast<BYTE>(font.Charset);
    setup.Color = font.Color == (0x80000000u | COLOR_WINDOWTEXT) ? CLR_INVALID : ResolveColor(font.Color);
    return setup;
}

tk::MessageDialogSetup ToMessageDialogSetup(const MessageDialogContent& content)
{
    static const tk::MessageDialogSetup::Icon icons[] = {
        tk::MessageDialogSetup::Icon::Warning, tk::MessageDialogSetup::Icon::Error,
        tk::MessageDialogSetup::Icon::Information, tk::MessageDialogSetup::Icon::Question};
    tk::MessageDialogSetup setup;
    setup.caption = content.caption;
    setup.text = content.text;
    setup.icon = icons[std::min<size_t>(static_cast<size_t>(content.type), 3)];
    for (const auto& [result, caption] : content.buttons)
        setup.buttons.push_back({result, caption, result != MessageDialogContent::kHelpResult});
    setup.defaultResult = content.defaultResult;
    setup.escapeResult = content.escapeResult;
    if (content.font != nullptr) {
        setup.font = content.font->Handle();
        setup.textColor = ResolveColor(content.font->Color);
    }
    setup.background = ResolveColor(content.color);
    return setup;
}

std::wstring DefaultLogPath()
{
    ShellFolder documents(CSIDL_PERSONAL);
    std::wstring folder = documents.fileSystemPath.empty() ? documents.parsingName : documents.fileSystemPath;
    // Some systems give the folder with a trailing backslash.
    while (!folder.empty() && folder.back() == L'\\')
        folder.pop_back();
    return folder + L"\\Varnox.log";
}
