#include "ui/VolumeWipeWindow.h"

#include "log/Log.h"
#include "settings/Unicodelanguage.h"
#include "targets/Fileinfo.h"

TFormVolumeWipe::TFormVolumeWipe(uint8_t targetType, const wchar_t* logKey, WipeIo& io, JobSystem& jobSystem)
    : TFormWipe(io, jobSystem), targetType(targetType), logKey(logKey)
{
    ButtonStart.OnClick = [this] { ButtonStartClick(); };
}

TFormVolumeWipe::~TFormVolumeWipe()
{
    // The job borrows the target list.
    DiscardJob();
}

void TFormVolumeWipe::Execute(const std::wstring& root, int32_t method, int32_t rounds)
{
    RootPath = root;
    PrepareJob(WipeWindowState::Ready, method, rounds);
    UpdateHeader();
    UpdateProgress();
    targetList.reset();
    ShowModal();
    // The job went with the window's closing; its list goes now.
    targetList.reset();
}

void TFormVolumeWipe::ButtonStartClick()
{
    if (state != WipeWindowState::Ready || SelectedMethod() < 0)
        return;
    std::wstring question = WindowText(L"Confirmation", MakeVariables());
    if (Language().MessageDialog(question, MessageDialogType::Warning, DialogButton::Yes | DialogButton::No,
                                 Color()) != ModalResult::Yes)
        return;
    targetList = std::make_unique<FileList>();
    targetList->AddCopy(FileInfo(RootPath));
    StartJob(targetType, *targetList);
}

TextVariables TFormVolumeWipe::MakeVariables() const
{
    TextVariables variables;
    variables[L"WipeMethod"] = std::to_wstring(SelectedMethod());
    variables[L"RootPath"] = RootPath;
    if (state == WipeWindowState::Running || state == WipeWindowState::Suspended ||
        state == WipeWindowState::Finished)
        AddStateVariables(variables, stateData);
    return variables;
}

std::wstring TFormVolumeWipe::StateSuffix() const
{
    switch (state) {
    case WipeWindowState::Running:
        return L"Wiping";
    case WipeWindowState::Suspended:
        return L"Suspended";
    case WipeWindowState::Finished: {
        // Never "completed" for a volume the engine did not report wiped.
        const FileInfo* target = targetList ? targetList->At(0) : nullptr;
        bool cancelled = stateData.State == StateCancelled;
        bool errors = JobHadErrors() || (!cancelled && (!target || !target->Success));
        if (cancelled)
            return errors ? L"CancelledWithErrors" : L"Cancelled";
        return errors ? L"CompletedWithErrors" : L"Completed";
    }
    default:
        return L"Ready";
    }
}

int TFormVolumeWipe::BarPosition() const
{
    const int64_t current = stateData.TargetWrite.Current + stateData.TargetRead.Current;
    const int64_t total = stateData.TargetWrite.Total + stateData.TargetRead.Total;
    switch (state) {
    case WipeWindowState::Running:
    case WipeWindowState::Suspended:
        return Percent(current, total);
    case WipeWindowState::Finished:
        // A cancelled job shows how far it got, not a full bar.
        return stateData.State == StateCancelled ? Percent(current, total) : 100;
    default:
        return 0;
    }
}

void TFormVolumeWipe::UpdateHeader()
{
    LabelHeader.SetCaption(WindowText(L"Header" + StateSuffix(), MakeVariables()));
    PBFileProgress.SetPosition(BarPosition());
}

void TFormVolumeWipe::UpdateProgress()
{
    LabelProgress.SetCaption(WindowText(L"Progress" + StateSuffix(), MakeVariables()));
}

void TFormVolumeWipe::OnTargetDeleted(int32_t index)
{
    // Only a volume the engine left marked as wiped is logged as wiped.
    const FileInfo* target = targetList ? targetList->At(index) : nullptr;
    if (!target || !target->Success)
        return;
    RecordJobEvent(LogCategory::Info, target->Path, logKey,
                   {{L"WipeMethod", std::to_wstring(JobMethod())}, {L"RoundCount", std::to_wstring(JobRounds())}});
}
