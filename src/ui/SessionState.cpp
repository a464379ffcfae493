#include "ui/SessionState.h"

namespace {

std::atomic<int> runningJobs{0};
std::atomic<bool> secondConfirmation{false};

}  // namespace

RunningWipeJob::RunningWipeJob() { ++runningJobs; }

RunningWipeJob::~RunningWipeJob() { --runningJobs; }

int RunningWipeJobs() { return runningJobs.load(); }

bool SecondConfirmationWanted() { return secondConfirmation.load(); }

void SetSecondConfirmationWanted(bool wanted) { secondConfirmation.store(wanted); }
