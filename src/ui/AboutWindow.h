#pragma once
// The about window: the branding picture. (Being built: an empty dialog
// until then.)
#include "ui/toolkit/Form.h"

class TFormAbout : public tk::Form {
public:
    void Execute();
};
