#pragma once
// The options dialog: language, default wipe method, rounds per method,
// logging. (Being built: an empty dialog until then.)
#include "ui/toolkit/Form.h"

class TFormOptions : public tk::Form {
public:
    // True when closed with OK (the settings are then stored).
    bool Execute();
};
