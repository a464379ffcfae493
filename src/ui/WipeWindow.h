#pragma once
// The common base of the three wipe progress windows: it owns the job,
// receives its reports, keeps the window's own state, and does what all three
// share: Pause/Resume, Cancel and Close and the rules that enable them, the
// method list and the rounds track bar, the fixed captions, the text
// variables made from the job's state, and the job's log records.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/WipeIo.h"
#include "engine/Wiperthread.h"
#include "engine/Wipestatedata.h"
#include "platform/TextVariables.h"
#include "report/JobReport.h"
#include "targets/Filelist.h"
#include "ui/SessionState.h"
#include "ui/toolkit/Form.h"
#include "ui/toolkit/InputControls.h"
#include "ui/toolkit/StdControls.h"

class VxUserConfig;

// The window's own state, distinct from the job's State.
enum class WipeWindowState : uint8_t {
    Building = 0,   // the target list is being built (file wipe window only)
    Ready = 1,      // targets known, no job started
    Running = 2,
    Suspended = 3,  // paused by the user
    Finished = 4,   // the job has ended, or the scan found nothing
};

// Passes the job's reports on to the window they are bound to.
template <class Window>
class WiperThreadEventHandlerImpl final : public WiperThreadEventHandler {
public:
    explicit WiperThreadEventHandlerImpl(Window& window) : window(window) {}
    void OnProgress(const WipeStateData& state) override { window.OnProgress(state); }
    void OnFinished(const WipeStateData& state) override { window.OnFinished(state); }
    void OnLog(uint8_t category, const std::wstring& path, const std::wstring& messageKey,
               const TextVariables& variables) override
    {
        window.OnLog(category, path, messageKey, variables);
    }
    void OnTargetDeleted(int32_t index) override { window.OnTargetDeleted(index); }

private:
    Window& window;
};

// The job's state as text variables (State, TargetIndex, TotalWriteCurrentK ...).
void AddStateVariables(TextVariables& variables, const WipeStateData& state);
// current * 100 / total, truncated; 100 when total is 0.
int Percent(int64_t current, int64_t total);

class TFormWipe : public tk::Form {
public:
    // Jobs reach files and volumes through `io` and run on `jobSystem`; both
    // must outlive the window. The program's windows use the system's; tests
    // hand in a simulated volume. A volume or free-space job never runs on
    // the system's I/O while nobody attends the program (a test), so no test
    // can reach a real volume by forgetting its simulated one.
    explicit TFormWipe(WipeIo& io = SystemWipeIo(), JobSystem& jobSystem = SystemJobSystem());
    ~TFormWipe() override;

    tk::Label LabelHeader{this};
    tk::Label LabelProgress{this};
    tk::Label LabelItemProgressPrefix{this};
    tk::ProgressBar PBFileProgress{this};
    tk::Label LabelWipeMethod{this};
    tk::ComboBox CBWipeMethod{this};
    tk::Label LabelWipePasses{this};
    tk::TrackBar TBWipePasses{this};
    tk::Label LabelWipePassesCount{this};
    tk::Button ButtonStart{this};
    tk::Button ButtonPauseResume{this};
    tk::Button ButtonCancel{this};
    tk::Button ButtonClose{this};
    // Shown once a job has ended: a copy of its report wherever the user wants it.
    tk::Button ButtonSaveReport{this};

    WipeWindowState State() const { return state; }
    const WipeStateData& StateData() const { return stateData; }
    bool HasJob() const { return wiperThread != nullptr; }
    // The report of the job that ended last in this showing, null before.
    const JobReport* Report() const { return report.get(); }
    // What reports ask the system (tests answer it); it must outlive the window.
    void UseReportSystem(ReportSystem& system) { reportSystem = &system; }
    // Where the report settings are read: the store the main window read the
    // job's method from (the application's until set); it must outlive the window.
    void UseConfig(VxUserConfig& store) { config = &store; }

protected:
    friend class WiperThreadEventHandlerImpl<TFormWipe>;

    virtual std::wstring GetWindowName() const = 0;
    virtual void UpdateButtons();
    virtual void UpdateTexts();
    virtual void UpdateHeader() {}
    virtual void UpdateProgress() {}
    virtual void OnProgress(const WipeStateData& data);
    virtual void OnFinished(const WipeStateData& data);
    virtual void OnLog(uint8_t category, const std::wstring& path, const std::wstring& messageKey,
                       const TextVariables& variables);
    virtual void OnTargetDeleted(int32_t) {}
    // Selected items the file window's scan could not read (counted in its report).
    virtual int32_t UnreadableItems() const { return 0; }

    void ButtonPauseResumeClick();
    void ButtonCancelClick();
    void ButtonCloseClick();
    void FormCloseQuery(bool& canClose);
    void FormClose();
    void TBWipePassesChange();
    void CBWipeMethodChange();
    void ButtonSaveReportClick();
    void DoCloseQuery(bool& canClose) override;
    void DoClose() override;

    // Prepares a showing: forgets the last job's state, selects the method
    // (method 2 when `method` is none of the list's) and the rounds (1 to 10).
    void PrepareJob(WipeWindowState initialState, int32_t method, int32_t rounds);
    // The method the user chose, -1 when none.
    int32_t SelectedMethod() const { return CBWipeMethod.ItemIndex(); }
    // Running, then the job over `list`. A job that cannot start ends at once:
    // every target failed, the error logged and shown, the window Finished.
    void StartJob(uint8_t targetType, FileList& list);
    // The method and rounds of the job started last (what its log records name).
    int32_t JobMethod() const { return jobMethod; }
    int32_t JobRounds() const { return jobRounds; }
    // Destroys the job without reporting anything more (the window is going).
    void DiscardJob();
    // Whether the job went wrong anywhere: a target failed, or it logged an
    // error. What a cancel alone leaves unfinished is no error.
    bool JobHadErrors() const;
    // True while the job is destroyed without reporting (the window is going).
    bool Discarding() const { return discarding; }
    // A log record of the job: to the log, and kept for its report.
    void RecordJobEvent(LogCategory category, const std::wstring& target, const std::wstring& key,
                        const TextVariables& variables = {});

    // The window's text of `suffix` ("HeaderReady"), or of `fallback` when the
    // language files lack it (texts added later than a translation).
    std::wstring WindowKey(const std::wstring& suffix, const std::wstring& fallback = std::wstring()) const;
    std::wstring WindowText(const std::wstring& suffix, const TextVariables& variables = {}) const;

    WiperThreadEventHandlerImpl<TFormWipe> eventHandler{*this};
    WipeWindowState state = WipeWindowState::Building;
    WipeStateData stateData;
    std::unique_ptr<WiperThread> wiperThread;

private:
    // Why a job of this kind must not run here, or ERROR_SUCCESS.
    DWORD RefusalFor(uint8_t targetType) const;
    void ReportStartFailure(uint8_t targetType, FileList& list, DWORD error);
    // The ended job's report, made from its journal and targets, written where the options say.
    void MakeReport();
    // One error box and one log record; the job's result stays as it is.
    void ReportWriteFailure(const std::wstring& path, DWORD error);

    WipeIo& io;
    JobSystem& jobSystem;
    int32_t jobMethod = 0;
    int32_t jobRounds = 0;
    int32_t errorRecords = 0;  // error records of the current job
    // Held while the job runs: ending the Windows session waits for it.
    std::unique_ptr<RunningWipeJob> running;
    bool discarding = false;
    FileList* jobList = nullptr;  // the targets of the job started last
    JobJournal journal;
    std::unique_ptr<JobReport> report;
    ReportSystem* reportSystem = &SystemReportSystem();
    VxUserConfig* config = nullptr;
    VxUserConfig& Settings() const;
};
