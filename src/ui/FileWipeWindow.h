#pragma once
// The progress window of a file and folder wipe. (Being built: an empty
// dialog until then.)
#include "ui/toolkit/Form.h"
#include <cstdint>
#include <string>
#include <vector>

class TFormFileWipe : public tk::Form {
public:
    // The full paths the user selected; filled by the main window before Execute.
    std::vector<std::wstring> Selection;
    void Execute(int32_t method, int32_t rounds);
};
