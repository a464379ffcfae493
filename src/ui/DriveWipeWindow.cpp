#include "ui/DriveWipeWindow.h"

TFormDriveWipe::TFormDriveWipe(WipeIo& io, JobSystem& jobSystem)
    : TFormVolumeWipe(TargetVolume, L"Log.DriveWiped", io, jobSystem)
{
}
