#pragma once
// The application's nine windows. The program entry creates them once, in
// this order (the main window first), and they live until the application
// ends; the others are dialogs shown through their Execute and hidden again.
// Windows reach each other through this table; tests fill in the windows
// they create.

class TFormMain;
class TFormOptions;
class TFormLog;
class TFormAbout;
class TFormHelp;
class TFormWipeList;
class TFormFileWipe;
class TFormDriveWipe;
class TFormFreeSpaceWipe;

struct ApplicationForms {
    TFormMain* Main = nullptr;
    TFormOptions* Options = nullptr;
    TFormLog* Log = nullptr;
    TFormAbout* About = nullptr;
    TFormHelp* Help = nullptr;
    TFormWipeList* WipeList = nullptr;
    TFormFileWipe* FileWipe = nullptr;
    TFormDriveWipe* DriveWipe = nullptr;
    TFormFreeSpaceWipe* FreeSpaceWipe = nullptr;
};

ApplicationForms& Forms();
