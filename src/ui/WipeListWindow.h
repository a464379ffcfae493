#pragma once
// The summary of a file wipe: every target before (confirmation) or what
// was destroyed after (done). (Being built: an empty dialog until then.)
#include "targets/Filelist.h"
#include "ui/toolkit/Form.h"
#include <cstdint>

class TFormWipeList : public tk::Form {
public:
    // True only when confirmed with OK (confirmation mode).
    bool Execute(FileList& list, int32_t method, bool confirmation);
};
