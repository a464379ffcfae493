#include "ui/DriveWipeWindow.h"

void TFormDriveWipe::Execute(const std::wstring&, int32_t, int32_t) {}
