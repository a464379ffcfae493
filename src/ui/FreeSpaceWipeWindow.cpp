#include "ui/FreeSpaceWipeWindow.h"

void TFormFreeSpaceWipe::Execute(const std::wstring&, int32_t, int32_t) {}
