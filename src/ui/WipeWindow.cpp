#include "ui/WipeWindow.h"

#include "log/Log.h"
#include "platform/SystemError.h"
#include "report/ReportFiles.h"
#include "settings/LanguageKeys.h"
#include "settings/Unicodelanguage.h"
#include "settings/Vxuserconfig.h"
#include "settings/WipeMethodCount.h"
#include "ui/Utils.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/Components.h"

namespace {

constexpr int32_t kDefaultMethod = 2;
constexpr int kMinRounds = 1;
constexpr int kMaxRounds = 10;

const wchar_t* StateWord(uint8_t state)
{
    switch (state) {
    case StateWiping: return L"Wiping";
    case StateDeleting: return L"Deleting";
    case StateSuspended: return L"Suspended";
    case StateCompleted: return L"Completed";
    case StateCancelled: return L"Cancelled";
    default: return L"";
    }
}

const wchar_t* TargetTypeWord(uint8_t targetType)
{
    switch (targetType) {
    case TargetFiles: return L"Files";
    case TargetVolume: return L"Volume";
    case TargetFreeSpace: return L"FreeSpace";
    default: return L"";
    }
}

void AddPair(TextVariables& variables, const std::wstring& name, const ProgressPair& pair)
{
    variables[name + L"Current"] = std::to_wstring(pair.Current);
    variables[name + L"CurrentK"] = FormatSizeKB(pair.Current);
    variables[name + L"Total"] = std::to_wstring(pair.Total);
    variables[name + L"TotalK"] = FormatSizeKB(pair.Total);
}

}  // namespace

void AddStateVariables(TextVariables& variables, const WipeStateData& state)
{
    variables[L"State"] = StateWord(state.State);
    variables[L"TargetType"] = TargetTypeWord(state.TargetType);
    variables[L"TargetIndex"] = std::to_wstring(int64_t(state.TargetIndex) + 1);
    variables[L"TargetCount"] = std::to_wstring(state.TargetCount);
    variables[L"WipeMethod"] = std::to_wstring(state.WipeMethod);
    variables[L"RoundIndex"] = std::to_wstring(int64_t(state.RoundIndex) + 1);
    variables[L"RoundCount"] = std::to_wstring(state.RoundCount);
    variables[L"PassIndex"] = std::to_wstring(int64_t(state.PassIndex) + 1);
    variables[L"PassCount"] = std::to_wstring(state.PassCount);
    AddPair(variables, L"TargetWrite", state.TargetWrite);
    AddPair(variables, L"TargetRead", state.TargetRead);
    AddPair(variables, L"TotalWrite", state.TotalWrite);
    AddPair(variables, L"TotalRead", state.TotalRead);
    variables[L"FileDeletions"] = std::to_wstring(state.FileDeletions);
    variables[L"DirDeletions"] = std::to_wstring(state.DirDeletions);
    variables[L"PartialCount"] = std::to_wstring(state.PartialCount);
    variables[L"FailedCount"] = std::to_wstring(state.FailedCount);
}

int Percent(int64_t current, int64_t total)
{
    if (total == 0)
        return 100;
    // In 128 bits: byte counts of very large volumes times 100 leave 64 bits.
    return static_cast<int>(static_cast<__int128>(current) * 100 / total);
}

TFormWipe::TFormWipe(WipeIo& io, JobSystem& jobSystem) : io(io), jobSystem(jobSystem)
{
    using namespace tk;
    SetBorderStyle(BorderStyle::Dialog);
    SetBorderIcons(0);
    SetPosition(Position::MainFormCenter);
    SetClientSize(712, 185);
    LabelHeader.SetBounds(6, 8, 698, 16);
    LabelHeader.SetAnchors(akLeft | akTop | akRight);
    LabelHeader.SetAlignment(TextAlignment::Center);
    LabelHeader.SetWordWrap(true);
    LabelHeader.SetAutoSize(false);
    LabelProgress.SetBounds(6, 27, 698, 13);
    LabelProgress.SetAnchors(akLeft | akTop | akRight);
    LabelProgress.SetAlignment(TextAlignment::Center);
    LabelProgress.SetAutoSize(false);
    LabelItemProgressPrefix.SetBounds(8, 49, 0, 13);
    PBFileProgress.SetBounds(129, 46, 575, 17);
    PBFileProgress.SetAnchors(akLeft | akTop | akRight);
    PBFileProgress.SetRange(0, 100);
    LabelWipeMethod.SetBounds(8, 84, 0, 13);
    LabelWipeMethod.SetAnchors(akLeft | akBottom);
    CBWipeMethod.SetBounds(129, 82, 575, 21);
    CBWipeMethod.SetAnchors(akLeft | akRight | akBottom);
    CBWipeMethod.SetDropDownCount(kWipeMethodCount);
    CBWipeMethod.OnChange = [this] { CBWipeMethodChange(); };
    LabelWipePasses.SetBounds(8, 117, 0, 13);
    LabelWipePasses.SetAnchors(akLeft | akBottom);
    TBWipePasses.SetBounds(120, 109, 563, 34);
    TBWipePasses.SetAnchors(akLeft | akRight | akBottom);
    TBWipePasses.SetRange(kMinRounds, kMaxRounds);
    TBWipePasses.SetPageSize(1);
    TBWipePasses.SetPosition(kMinRounds);
    TBWipePasses.OnChange = [this] { TBWipePassesChange(); };
    LabelWipePassesCount.SetBounds(689, 117, 0, 13);
    LabelWipePassesCount.SetAnchors(akRight | akBottom);
    ButtonStart.SetBounds(8, 152, 75, 25);
    ButtonStart.SetAnchors(akLeft | akBottom);
    ButtonPauseResume.SetBounds(89, 152, 75, 25);
    ButtonPauseResume.SetAnchors(akLeft | akBottom);
    ButtonPauseResume.OnClick = [this] { ButtonPauseResumeClick(); };
    ButtonCancel.SetBounds(170, 152, 75, 25);
    ButtonCancel.SetAnchors(akLeft | akBottom);
    ButtonCancel.OnClick = [this] { ButtonCancelClick(); };
    ButtonClose.SetBounds(629, 152, 75, 25);
    ButtonClose.SetAnchors(akRight | akBottom);
    ButtonClose.OnClick = [this] { ButtonCloseClick(); };
    ButtonSaveReport.SetBounds(503, 152, 120, 25);
    ButtonSaveReport.SetAnchors(akRight | akBottom);
    ButtonSaveReport.SetVisible(false);
    ButtonSaveReport.OnClick = [this] { ButtonSaveReportClick(); };
}

TFormWipe::~TFormWipe()
{
    // The derived windows discard their job first (it borrows their list).
    DiscardJob();
}

void TFormWipe::UpdateButtons()
{
    bool running = state == WipeWindowState::Running || state == WipeWindowState::Suspended;
    bool preparing = state == WipeWindowState::Building || state == WipeWindowState::Ready;
    ButtonStart.SetEnabled(state == WipeWindowState::Ready);
    ButtonPauseResume.SetEnabled(running);
    ButtonCancel.SetEnabled(running);
    ButtonClose.SetEnabled(!running);
    CBWipeMethod.SetEnabled(preparing);
    TBWipePasses.SetEnabled(preparing);
    ButtonSaveReport.SetVisible(state == WipeWindowState::Finished && report != nullptr);
}

void TFormWipe::UpdateTexts()
{
    UnicodeLanguage& language = Language();
    const std::wstring name = GetWindowName();
    SetFont(ToFontSpec(language.GetFont(L"Font")));
    LabelHeader.SetFont(ToFontSpec(language.GetFont(name + L"HeaderFont")));
    SetCaption(WindowText(L"Title"));
    ButtonStart.SetCaption(WindowText(L"Start"));
    ButtonPauseResume.SetCaption(WindowText(L"Pause"));
    ButtonCancel.SetCaption(WindowText(L"Cancel"));
    ButtonClose.SetCaption(WindowText(L"Close"));
    ButtonSaveReport.SetCaption(WindowText(L"SaveReport"));
    LabelItemProgressPrefix.SetCaption(WindowText(L"ItemProgressPrefix"));
    LabelWipeMethod.SetCaption(WindowText(L"WipeMethod"));
    LabelWipePasses.SetCaption(WindowText(L"WipePasses"));
    LabelWipePassesCount.SetCaption(std::to_wstring(TBWipePasses.Position()));
    CBWipeMethod.Clear();
    for (int32_t method = 0; method < kWipeMethodCount; ++method)
        CBWipeMethod.AddItem(language.GetText(WipeMethodNameKey(method)));
}

void TFormWipe::OnProgress(const WipeStateData& data)
{
    if (discarding)
        return;
    stateData = data;
    UpdateHeader();
    UpdateProgress();
}

void TFormWipe::OnFinished(const WipeStateData& data)
{
    if (discarding)
        return;
    state = WipeWindowState::Finished;
    running.reset();
    OnProgress(data);
    journal.End(data);
    MakeReport();
    UpdateButtons();
}

void TFormWipe::OnLog(uint8_t category, const std::wstring& path, const std::wstring& messageKey,
                      const TextVariables& variables)
{
    if (static_cast<LogCategory>(category) == LogCategory::Error)
        ++errorRecords;
    // Records are kept even while the window goes: they are what the job did.
    RecordJobEvent(static_cast<LogCategory>(category), path, messageKey, variables);
}

void TFormWipe::RecordJobEvent(LogCategory category, const std::wstring& target, const std::wstring& key,
                               const TextVariables& variables)
{
    journal.Record(AppLog(), category, target, key, variables);
}

VxUserConfig& TFormWipe::Settings() const { return config ? *config : UserConfig(); }

void TFormWipe::MakeReport()
{
    if (!jobList || !journal.Begun())
        return;
    journal.SetUnreadable(UnreadableItems());
    report = std::make_unique<JobReport>(MakeJobReport(journal, *jobList, *reportSystem));
    ReportSettings settings = ReadReportSettings(Settings(), *reportSystem);
    if (!settings.enabled)
        return;
    std::wstring path;
    DWORD error = WriteJobReport(*report, Language(), settings.folder, path);
    if (error != ERROR_SUCCESS)
        ReportWriteFailure(path, error);
}

void TFormWipe::ReportWriteFailure(const std::wstring& path, DWORD error)
{
    TextVariables variables;
    AddSystemError(variables, error);
    variables[L"ReportFile"] = path;
    // Not a record of the job: its result stays what the job made it.
    AppLog().Add(LogCategory::Error, path, L"Log.ReportWriteError", variables);
    Language().MessageDialog(Language().GetText(L"Report.WriteFailed", variables), MessageDialogType::Error,
                             DialogButton::OK, Color());
}

void TFormWipe::ButtonSaveReportClick()
{
    if (!report)
        return;
    tk::SaveDialog dialog;
    dialog.Title = Language().GetText(L"Report.SaveDialogTitle");
    dialog.Filter = Language().GetText(L"Report.SaveDialogFilter");
    dialog.DefaultExt = L"html";
    dialog.FilterIndex = 1;
    dialog.InitialDir = ReadReportSettings(Settings(), *reportSystem).folder;
    dialog.FileName = ReportBaseName(*report) + L".html";
    if (!dialog.Execute(this))
        return;
    // The name's own extension decides; any other name, the type chosen in the dialog.
    ReportFormat format =
        FormatForPath(dialog.FileName, dialog.FilterIndex == 2 ? ReportFormat::Csv : ReportFormat::Html);
    DWORD error = WriteReportFile(dialog.FileName, ReportBytes(*report, Language(), format));
    if (error != ERROR_SUCCESS)
        ReportWriteFailure(dialog.FileName, error);
}

void TFormWipe::ButtonPauseResumeClick()
{
    if (!wiperThread)
        return;
    if (state == WipeWindowState::Suspended) {
        state = WipeWindowState::Running;
        ButtonPauseResume.SetCaption(WindowText(L"Pause"));
        wiperThread->Resume();
    } else if (state == WipeWindowState::Running) {
        state = WipeWindowState::Suspended;
        wiperThread->Pause();
        ButtonPauseResume.SetCaption(WindowText(L"Resume"));
    }
    UpdateHeader();
    UpdateProgress();
}

void TFormWipe::ButtonCancelClick()
{
    // The window stays Running or Suspended until the job reports its end.
    if (wiperThread)
        wiperThread->Cancel();
}

void TFormWipe::ButtonCloseClick() { Close(); }

void TFormWipe::FormCloseQuery(bool& canClose)
{
    canClose = state != WipeWindowState::Running && state != WipeWindowState::Suspended;
}

void TFormWipe::FormClose()
{
    // The job's destructor waits for its worker and delivers what it posted.
    wiperThread.reset();
    running.reset();
}

void TFormWipe::TBWipePassesChange() { LabelWipePassesCount.SetCaption(std::to_wstring(TBWipePasses.Position())); }

void TFormWipe::CBWipeMethodChange()
{
    UpdateHeader();
    UpdateProgress();
}

void TFormWipe::DoCloseQuery(bool& canClose)
{
    FormCloseQuery(canClose);
    if (canClose)
        tk::Form::DoCloseQuery(canClose);
}

void TFormWipe::DoClose()
{
    FormClose();
    tk::Form::DoClose();
}

void TFormWipe::PrepareJob(WipeWindowState initialState, int32_t method, int32_t rounds)
{
    state = initialState;
    stateData = WipeStateData();
    errorRecords = 0;
    report.reset();
    jobList = nullptr;
    journal = JobJournal();
    UpdateTexts();
    // Settings from an edited or older configuration may name no method.
    CBWipeMethod.SetItemIndex(method >= 0 && method < CBWipeMethod.Count() ? method : kDefaultMethod);
    TBWipePasses.SetPosition(rounds);
    // Also when the position stays: the label shows what the job will run.
    TBWipePassesChange();
    UpdateButtons();
}

DWORD TFormWipe::RefusalFor(uint8_t targetType) const
{
    // A volume is only ever written after a person said so; unattended runs
    // bring a simulated one.
    if (targetType != TargetFiles && &io == &SystemWipeIo() && tk::Application::Instance().Unattended())
        return ERROR_ACCESS_DENIED;
    return ERROR_SUCCESS;
}

void TFormWipe::StartJob(uint8_t targetType, FileList& list)
{
    state = WipeWindowState::Running;
    UpdateButtons();
    jobMethod = SelectedMethod();
    jobRounds = TBWipePasses.Position();
    jobList = &list;
    report.reset();
    journal.Begin(targetType, jobMethod, jobRounds);
    DWORD error = RefusalFor(targetType);
    // The volume as it is before the job touches it; never a real one a test refused.
    if (error == ERROR_SUCCESS && targetType != TargetFiles && list.Count() > 0)
        journal.SetVolume(ReadVolumeFacts(io, *reportSystem, list.At(0)->Path));
    if (error == ERROR_SUCCESS) {
        running = std::make_unique<RunningWipeJob>();
        wiperThread = std::make_unique<WiperThread>(jobMethod, targetType, jobRounds, list, eventHandler, io, jobSystem);
        error = wiperThread->StartError();
        if (error == ERROR_SUCCESS)
            return;
        // A job without a worker still delivers its record and its end here;
        // one without a window delivers nothing.
        wiperThread.reset();
        running.reset();
    }
    ReportStartFailure(targetType, list, error);
}

void TFormWipe::ReportStartFailure(uint8_t targetType, FileList& list, DWORD error)
{
    TextVariables variables;
    AddSystemError(variables, error);
    if (state != WipeWindowState::Finished) {
        for (int32_t index = 0; index < list.Count(); ++index) {
            list.At(index)->Success = 0;
            list.At(index)->Outcome = OutcomeFailed;
        }
        RecordJobEvent(LogCategory::Error, list.Count() > 0 ? list.At(0)->Path : std::wstring(), L"Log.JobStartError",
                       variables);
        WipeStateData final;
        final.State = StateCompleted;
        final.TargetType = targetType;
        final.TargetCount = list.Count();
        final.WipeMethod = jobMethod;
        final.RoundCount = jobRounds;
        final.FailedCount = list.Count();
        OnFinished(final);
    }
    Language().MessageDialog(Language().GetText(L"Log.JobStartError", variables), MessageDialogType::Error,
                             DialogButton::OK, Color());
}

bool TFormWipe::JobHadErrors() const
{
    if (stateData.FailedCount > 0 || errorRecords > 0)
        return true;
    // A cancel leaves the target it interrupted partly wiped, and says so.
    return stateData.State != StateCancelled && stateData.PartialCount > 0;
}

void TFormWipe::DiscardJob()
{
    discarding = true;
    wiperThread.reset();
    running.reset();
    discarding = false;
}

std::wstring TFormWipe::WindowKey(const std::wstring& suffix, const std::wstring& fallback) const
{
    std::wstring key = GetWindowName() + L"." + suffix;
    if (!fallback.empty() && !Language().HasText(key))
        return GetWindowName() + L"." + fallback;
    return key;
}

std::wstring TFormWipe::WindowText(const std::wstring& suffix, const TextVariables& variables) const
{
    return Language().GetText(WindowKey(suffix), variables);
}
