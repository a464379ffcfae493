#include "ui/Splash.h"

void ShowSplash(HBITMAP picture, int32_t, int32_t) { DeleteObject(picture); }
void ReparentSplash(HWND) {}
void HideSplash() {}
