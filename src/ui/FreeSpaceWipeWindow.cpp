#include "ui/FreeSpaceWipeWindow.h"

TFormFreeSpaceWipe::TFormFreeSpaceWipe(WipeIo& io, JobSystem& jobSystem)
    : TFormVolumeWipe(TargetFreeSpace, L"Log.FreeSpaceWiped", io, jobSystem)
{
}
