#include "ui/Utils.h"

#include "settings/Imagedecoder.h"
#include "targets/Fileinfo.h"

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
