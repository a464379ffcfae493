#pragma once
// The progress window of a free-space wipe: every free run of the volume is
// covered by a temporary file that is wiped and deleted; files stay untouched.
#include "ui/VolumeWipeWindow.h"

class TFormFreeSpaceWipe : public TFormVolumeWipe {
public:
    // Jobs reach the volume through `io` (a simulated volume in tests).
    explicit TFormFreeSpaceWipe(WipeIo& io = SystemWipeIo(), JobSystem& jobSystem = SystemJobSystem());

protected:
    std::wstring GetWindowName() const override { return L"FreeSpaceWipeWindow"; }
};
