#pragma once
// The log window: the in-memory log as a list, with clearing. (Being built:
// an empty dialog until then.)
#include "ui/toolkit/Form.h"

class TFormLog : public tk::Form {
public:
    void Execute();
};
