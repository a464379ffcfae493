#include "ui/AboutWindow.h"

void TFormAbout::Execute() {}
