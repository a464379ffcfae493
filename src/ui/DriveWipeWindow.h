#pragma once
// The progress window of a whole-drive wipe: the volume is dismounted and
// overwritten sector by sector through its raw device.
#include "ui/VolumeWipeWindow.h"

class TFormDriveWipe : public TFormVolumeWipe {
public:
    // Jobs reach the volume through `io` (a simulated volume in tests).
    explicit TFormDriveWipe(WipeIo& io = SystemWipeIo(), JobSystem& jobSystem = SystemJobSystem());

protected:
    std::wstring GetWindowName() const override { return L"DriveWipeWindow"; }
};
