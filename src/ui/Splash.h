#pragma once
// The branding's splash picture, shown in the middle of the screen while the
// main window is built: a plain borderless popup with its own window class
// (named after the executable), optionally with rounded corners, removed by
// its own timer when its display time has run out. It is first shown
// without an owner and then attached to the main window, so that it never
// outlives it.
#include <windows.h>
#include <cstdint>

// Shows `picture` (the splash takes it over) for `displayMs` milliseconds
// from now, with corners rounded by a `rounding` x `rounding` ellipse (0:
// square). A display time of 0 or less shows nothing; more than a minute
// counts as a minute. Handles the splash's messages for up to 500 ms, so it
// is drawn, and returns the milliseconds spent doing so.
int64_t ShowSplash(HBITMAP picture, int32_t displayMs, int32_t rounding);
// Re-creates the splash as a popup owned by `mainWindow` for the rest of its
// display time (again handling its messages for up to 500 ms); nothing when
// no splash is due any more.
void ReparentSplash(HWND mainWindow);
void HideSplash();

// The splash window showing, or null.
HWND SplashWindow();
// Milliseconds until the showing splash goes, 0 when none is showing.
int64_t SplashTimeLeftMs();
