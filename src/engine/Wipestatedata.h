#pragma once
// The complete, copyable state of a wipe job, as the progress windows show it.
#include <cstdint>

struct ProgressPair {
    int64_t Current = 0;
    int64_t Total = 0;
};

enum WipeState : uint8_t {
    StateWiping = 0,
    StateDeleting = 1,
    StateSuspended = 2,
    StateCompleted = 3,
    StateCancelled = 4,
};

enum WipeTargetType : uint8_t {
    TargetFiles = 0,
    TargetVolume = 1,
    TargetFreeSpace = 2,
};

struct WipeStateData {
    uint8_t State = 0;
    uint8_t TargetType = 0;
    int32_t TargetIndex = 0;
    int32_t TargetCount = 0;
    int32_t WipeMethod = 0;
    int32_t RoundIndex = 0;
    int32_t RoundCount = 0;
    int32_t PassIndex = 0;
    int32_t PassCount = 0;
    ProgressPair TargetWrite;       // bytes written to the current target / to be written
    ProgressPair TargetRead;        // bytes read back from it for verification / to be read
    ProgressPair TotalWrite;
    ProgressPair TotalRead;
    int32_t FileDeletions = 0;
    int32_t DirDeletions = 0;
    int32_t PartialCount = 0;       // opened but not completely wiped, or wiped but not deleted
    int32_t FailedCount = 0;        // could not be opened or analysed, or directories not removed
    uint8_t VerifyPass = 0;
};
