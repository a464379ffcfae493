#include "ui/LogWindow.h"

void TFormLog::Execute() {}
