#include "ui/HelpWindow.h"

void TFormHelp::Execute(const std::wstring&) {}

std::wstring HelpURL() { return std::wstring(); }
