#pragma once
// Screenshots of the wipe windows in each of their states, driven as a user
// drives them: files the tool makes in its own temporary folder, volume jobs
// on the engine tests' simulated volume.
#include <windows.h>
#include <string>

// Copies what the screen shows of `window` to the PNG file `path`.
using WipeShotCapture = bool (*)(HWND window, const std::wstring& path);

// Writes FOLDER\wipe-list-*, file-wipe-*, drive-wipe-* and free-space-wipe-*
// with `suffix` (".png", "-144dpi.png"); returns the number of failures.
int ShootWipeWindows(const std::wstring& folder, const std::wstring& suffix, WipeShotCapture capture);
