// Volume and free-space targets. Not available in this build: such a target
// counts as failed and nothing is touched.
#include "engine/Wiperthread.h"

void WiperThread::WipeVolume()
{
    state.State = StateWiping;
    state.FailedCount += 1;
    fileList.At(state.TargetIndex)->Success = 0;
}

void WiperThread::WipeFreeSpace()
{
    state.State = StateWiping;
    state.FailedCount += 1;
    fileList.At(state.TargetIndex)->Success = 0;
}
