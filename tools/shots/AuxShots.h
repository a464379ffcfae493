#pragma once
// Screenshots of the options, log, about and help windows and the splash,
// the application's own windows with the shipped texts, branding and help.
#include <windows.h>
#include <functional>
#include <string>

// Copies what the screen shows of a window into a picture named `name`.
using CaptureWindow = std::function<bool(HWND window, const std::wstring& name)>;

// The program's folder (KESTO.OEM, LNG\ and Help\ as beside Varnox.exe)
// comes from VARNOX_SHOT_APP. Returns the number of pictures that could not
// be taken.
int ShootAuxiliaryWindows(const CaptureWindow& capture);
