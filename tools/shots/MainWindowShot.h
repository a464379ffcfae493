#pragma once
// The real main window for the screenshots: the branding and language files
// of an installed copy, a sample folder listed and a few rows selected.
#include <windows.h>
#include <functional>
#include <string>

// `capture` copies a window to a PNG file. The program's folder and the
// sample folder come from VARNOX_SHOT_APP and VARNOX_SHOT_FOLDER; without
// them nothing is shot. Returns the number of failures.
int ShootMainWindow(const std::function<bool(HWND window, const std::wstring& path)>& capture,
                    const std::wstring& folder, const std::wstring& suffix);
