#include "ui/FileWipeWindow.h"

void TFormFileWipe::Execute(int32_t, int32_t) {}
