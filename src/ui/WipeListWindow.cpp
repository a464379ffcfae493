#include "ui/WipeListWindow.h"

bool TFormWipeList::Execute(FileList&, int32_t, bool) { return false; }
