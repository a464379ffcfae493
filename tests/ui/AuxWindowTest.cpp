#include "AuxWindowTest.h"

#include "settings/LanguageFiles.h"
#include "settings/LanguageKeys.h"
#include "settings/WipeMethodCount.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/TestDriver.h"

#include <objbase.h>
#include <vector>

std::wstring TestBaseLanguage()
{
    std::wstring text =
        L"[Font]\r\nName=Tahoma\r\nSize=8\r\n"
        L"[OptionsWindow]\r\nTitle=Options-T\r\nLanguage=Language-T\r\nWipeMethod=Method-T\r\n"
        L"WipePasses=Rounds-T\r\nLogging=Logging-T\r\nLoggingEnabled=On-T\r\nLoggingDisabled=Off-T\r\n"
        L"LogFile=File-T\r\nLogFileBrowse=Browse-T\r\nOK=OK-T\r\nCancel=Cancel-T\r\n"
        L"SaveDialogTitle=Pick a log-T\r\nSaveDialogFilter=Logs-T|*.log\r\n"
        L"LogSaveFailed=kept in memory: $(LogFile) | $(SystemErrorCode) | $(SystemErrorMessage)\r\n"
        L"LogSaveFailedLoggingOff=not written: $(LogFile) | $(SystemErrorCode) | $(SystemErrorMessage)\r\n"
        L"[LogWindow]\r\nTitle=Log-T\r\nOK=OK-T\r\nLogClear=Clear-T\r\nColumnCategory=Category-T\r\n"
        L"ColumnTime=Time-T\r\nColumnTarget=Target-T\r\nColumnText=Text-T\r\nDebug=Debug-T\r\nInfo=Info-T\r\n"
        L"Error=Error-T\r\nClearConfirmation=Clear the log? $(LogFile)\r\n"
        L"[HelpWindow]\r\nTitle=Help-T\r\nStartURL=Help/index.htm\r\n"
        L"[AboutWindow]\r\nTitle=About-T\r\nClose=Close-T\r\n"
        L"[Log]\r\nFileWiped=Wiped-T\r\nDirDeleted=Folder removed-T\r\n"
        L"[WipeMethod]\r\n";
    for (int method = 0; method < kWipeMethodCount; ++method) {
        std::wstring number = std::to_wstring(method);
        text += L"Method" + number + L"Name=Method " + number + L"-T\r\n";
        text += L"Method" + number + L"Description=What method " + number + L" writes-T\r\n";
    }
    return text;
}

AuxWindowTest::AuxWindowTest()
{
    // Settings in an INI file below the test's folder, as the branding chooses.
    branding.AddGroup("Settings")->AddValue("ConfigStorageType")->SetInt(StoreAppDataIni);
    config = std::make_unique<VxUserConfig>(branding, dir.Path());
    WriteLanguageFile(dir, L"LNG\\0000.LNG", TestBaseLanguage());
    WriteLanguageFile(dir, L"LNG\\0007.LNG", L"[OptionsWindow]\r\nTitle=Optionen-T\r\n");
    language = std::make_unique<UnicodeLanguage>(dir.Path(), L"Varnox");
    language->SelectLanguage(0x0409);
    log = std::make_unique<Logger>(*language);
    main.SetCaption(L"Main window");
    main.SetOuterBoundsPx(RECT{100, 80, 100 + 800, 80 + 600});
    tk::Application::Instance().SetMainForm(&main);
    main.Show();
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
}

AuxWindowTest::~AuxWindowTest()
{
    CoUninitialize();
    main.Hide();
    tk::Application::Instance().SetMainForm(nullptr);
    tk::Application::Instance().SetMessageDialogHook(nullptr);
    tk::Application::Instance().SetSaveDialogHook(nullptr);
    tk::Application::Instance().ClearModalActions();
}

std::string AuxWindowTest::StoredSettings() const
{
    std::string content;
    ReadWholeFile(dir.Path() + L"\\Varnox\\Varnox.ini", content);
    // Written as UTF-16 after its byte-order mark; compared as text.
    std::string text;
    for (size_t at = 2; at + 1 < content.size(); at += 2)
        text += content[at];
    return text;
}

void AddTestPicture(COEMConfig& brand, const std::string& name, int width, int height)
{
    const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t pixels = stride * static_cast<uint32_t>(height);
    std::vector<uint8_t> file(54 + pixels, 0);
    auto put32 = [&](size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = static_cast<uint8_t>(value >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    file[26] = 1;
    file[28] = 24;
    put32(34, pixels);
    // A colour gradient, so that a picture on screen is told from a blank one.
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* pixel = &file[54 + static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 3];
            pixel[0] = static_cast<uint8_t>(x * 255 / width);
            pixel[1] = static_cast<uint8_t>(y * 255 / height);
            pixel[2] = 160;
        }
    auto found = brand.Groups().find("Graphics");
    COEMConfigGroup* graphics = found != brand.Groups().end() ? found->second : brand.AddGroup("Graphics");
    graphics->AddValue(name)->SetData(file.data(), static_cast<uint32_t>(file.size()));
}

bool ChooseEntry(tk::ComboBox& list, int index)
{
    if (!tk::Usable(list) || index < 0 || index >= list.Count())
        return false;
    HWND window = list.Handle();
    SendMessageW(window, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(window));
    return true;
}

bool Slide(tk::TrackBar& bar, int position)
{
    if (!tk::Usable(bar))
        return false;
    HWND window = bar.Handle();
    SendMessageW(window, TBM_SETPOS, TRUE, position);
    SendMessageW(GetParent(window), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
                 reinterpret_cast<LPARAM>(window));
    SendMessageW(GetParent(window), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(window));
    return true;
}
