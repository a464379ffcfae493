#include "ui/OptionsWindow.h"

bool TFormOptions::Execute() { return false; }
