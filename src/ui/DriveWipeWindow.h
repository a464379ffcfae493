#pragma once
// The progress window of a whole-drive wipe. (Being built: an empty dialog
// until then.)
#include "ui/toolkit/Form.h"
#include <cstdint>
#include <string>

class TFormDriveWipe : public tk::Form {
public:
    // `root`: a volume root such as "C:\".
    void Execute(const std::wstring& root, int32_t method, int32_t rounds);
};
