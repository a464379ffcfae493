#pragma once
// What the windows share about the running session: whether a wipe job is
// running (ending the Windows session then waits for it), and the branding's
// choice of a second confirmation, checked once at start-up.
#include <atomic>

// A wipe window holds one of these for as long as its job runs.
class RunningWipeJob {
public:
    RunningWipeJob();
    ~RunningWipeJob();
    RunningWipeJob(const RunningWipeJob&) = delete;
    RunningWipeJob& operator=(const RunningWipeJob&) = delete;
};

// How many wipe jobs run now.
int RunningWipeJobs();

// Whether a file wipe asks a second time before it starts ("Settings/SecondConfirmation").
bool SecondConfirmationWanted();
// Set by the main window once the branding file has been checked.
void SetSecondConfirmationWanted(bool wanted);
