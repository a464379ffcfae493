#pragma once
// Formatting shared by the windows, the branding pictures, and the two
// application-wide instances the user interface reaches from everywhere.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>

#include "settings/Oem.h"
#include "settings/Unicodelanguage.h"
#include "ui/Systemiconcache.h"
#include "ui/toolkit/MessageDialog.h"
#include "ui/toolkit/Types.h"

// A file time (UTC) as the user's short date and time, "" when unconvertible.
std::wstring FormatFileTime(const FILETIME& time);
std::wstring FormatFileTime(uint64_t time);
// Whole kilobytes, at least 1 for a non-empty size, digits grouped by spaces:
// "1 024 kB".
std::wstring FormatSizeKB(int64_t size);

struct BitmapDeleter {
    void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};
using OwnedBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, BitmapDeleter>;

// The picture of a branding data value ("Graphics/Splash"), or none when the
// value is absent, not data, empty or no decodable image.
OwnedBitmap LoadBrandingGraphic(const std::string& key);
OwnedBitmap LoadBrandingGraphic(COEMConfig& branding, const std::string& key);

// The application-wide icon cache (small icons), created right after the
// branding tree (OEMConfig()) and destroyed right before it.
SystemIconCache& IconCache();

// Called once at start-up: creates the instances in their order and lets
// every wipe target take its icon and type name from the shell.
void InstallFileInfoDisplayLookup();
// Called once at start-up (and by the user-interface tests): the language
// manager's message dialogs are shown through the application object, where
// tests can answer them.
void InstallMessageDialogPresenter();

// Where the log file lies unless the user chose another: "Varnox.log" in the
// user's Documents folder, by its file-system path (by its parsing name only
// when it has none). Start-up, shutdown and the options use this one path.
std::wstring DefaultLogPath();

// A font of the language files as the toolkit describes fonts. The window
// text colour stays the system's (it follows a change of the colour scheme).
tk::FontSpec ToFontSpec(const LanguageFont& font);
// What the toolkit shows for a translated message dialog.
tk::MessageDialogSetup ToMessageDialogSetup(const MessageDialogContent& content);
