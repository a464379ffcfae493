#pragma once
// The help window: the help pages in the system browser. (Being built: an
// empty dialog until then.)
#include "ui/toolkit/Form.h"
#include <string>

class TFormHelp : public tk::Form {
public:
    void Execute(const std::wstring& url);
};

// The URL of the help start page: the executable's folder and the
// language's "HelpWindow.StartURL".
std::wstring HelpURL();
