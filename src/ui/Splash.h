#pragma once
// The splash picture shown while the main window is built. (Being built:
// these do nothing until then.)
#include <windows.h>
#include <cstdint>

// Shows `picture` (the splash takes it over) for `displayMs` milliseconds
// with corners rounded by `rounding` pixels.
void ShowSplash(HBITMAP picture, int32_t displayMs, int32_t rounding);
// Attaches the showing splash to the main window, once it exists.
void ReparentSplash(HWND mainWindow);
void HideSplash();
