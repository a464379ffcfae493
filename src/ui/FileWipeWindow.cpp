#include "ui/FileWipeWindow.h"

#include "log/Log.h"
#include "settings/Unicodelanguage.h"
#include "ui/Forms.h"
#include "ui/Utils.h"
#include "ui/WipeListWindow.h"

namespace {

constexpr UINT kScanPollMilliseconds = 100;

// The word that stands in for a newer one in language files that lack it.
const wchar_t* OlderWord(const std::wstring& word)
{
    if (word == L"ReadyWithErrors")
        return L"Ready";
    if (word == L"CancelledWithErrors")
        return L"CompletedWithErrors";
    if (word == L"Cancelled")
        return L"Completed";
    return L"";
}

}  // namespace

TFormFileWipe::TFormFileWipe(WipeIo& io, JobSystem& jobSystem, ScanFileSystem* scanFileSystem)
    : TFormWipe(io, jobSystem), scanFileSystem(scanFileSystem)
{
    using namespace tk;
    SetClientSize(712, 195);
    LabelOverallProgressPrefix.SetBounds(8, 72, 0, 13);
    PBOverallProgress.SetBounds(129, 69, 575, 17);
    PBOverallProgress.SetAnchors(akLeft | akTop | akRight);
    PBOverallProgress.SetRange(0, 100);
    LabelWipeMethod.SetTop(94);
    CBWipeMethod.SetTop(92);
    LabelWipePasses.SetTop(127);
    LabelWipePassesCount.SetTop(127);
    TBWipePasses.SetTop(119);
    for (Button* button : {&ButtonStart, &ButtonPauseResume, &ButtonCancel, &ButtonClose, &ButtonSaveReport})
        button->SetTop(163);
    ButtonClose.SetLeft(628);
    ButtonSaveReport.SetLeft(502);
    ButtonStart.OnClick = [this] { ButtonStartClick(); };
    Timer1.SetInterval(kScanPollMilliseconds);
    Timer1.OnTimer = [this] { Timer1Timer(); };
}

TFormFileWipe::~TFormFileWipe()
{
    Timer1.SetEnabled(false);
    // The job borrows the builder's list.
    DiscardJob();
}

FileList* TFormFileWipe::TargetList() const
{
    return fileListBuilder ? &fileListBuilder->GetFileList() : nullptr;
}

int32_t TFormFileWipe::ScanFailures() const
{
    return fileListBuilder ? fileListBuilder->ScanFailureCount() : 0;
}

void TFormFileWipe::Execute(int32_t method, int32_t rounds)
{
    // The scan starts at once.
    fileListBuilder = std::make_unique<FileListBuilder>(nullptr, scanFileSystem);
    for (const std::wstring& path : Selection)
        fileListBuilder->AddPath(path);
    PrepareJob(WipeWindowState::Building, method, rounds);
    UpdateHeader();
    UpdateProgress();
    Timer1.SetEnabled(true);
    ShowModal();
    Timer1.SetEnabled(false);
    // The job went with the window's closing; the builder ends its scan and frees the list.
    fileListBuilder.reset();
}

void TFormFileWipe::Timer1Timer()
{
    if (fileListBuilder && state == WipeWindowState::Building && fileListBuilder->IsComplete()) {
        state = fileListBuilder->GetFileList().Count() > 0 ? WipeWindowState::Ready : WipeWindowState::Finished;
        Timer1.SetEnabled(false);
    }
    UpdateHeader();
    UpdateProgress();
    UpdateButtons();
}

void TFormFileWipe::ButtonStartClick()
{
    TFormWipeList* wipeList = Forms().WipeList;
    if (state != WipeWindowState::Ready || SelectedMethod() < 0 || !fileListBuilder || !wipeList)
        return;
    FileList& list = fileListBuilder->GetFileList();
    if (!wipeList->Execute(list, SelectedMethod(), true))
        return;
    StartJob(TargetFiles, list);
}

void TFormFileWipe::UpdateTexts()
{
    TFormWipe::UpdateTexts();
    LabelOverallProgressPrefix.SetCaption(WindowText(L"OverallProgressPrefix"));
}

TextVariables TFormFileWipe::MakeVariables() const
{
    TextVariables variables;
    const FileList* list = TargetList();
    variables[L"WipeMethod"] = std::to_wstring(SelectedMethod());
    variables[L"FileCount"] = std::to_wstring(list ? list->Files.size() : 0);
    variables[L"DirCount"] = std::to_wstring(list ? list->Directories.size() : 0);
    variables[L"FileSize"] = std::to_wstring(list ? list->TotalSize : 0);
    variables[L"FileSizeK"] = FormatSizeKB(list ? static_cast<int64_t>(list->TotalSize) : 0);
    variables[L"ScanFailureCount"] = std::to_wstring(ScanFailures());
    bool jobState = state == WipeWindowState::Running || state == WipeWindowState::Suspended ||
                    state == WipeWindowState::Finished;
    if (jobState && list && list->Count() > 0) {
        AddStateVariables(variables, stateData);
        if (const FileInfo* target = list->At(stateData.TargetIndex))
            variables[L"TargetName"] = target->Path;
    }
    return variables;
}

std::wstring TFormFileWipe::StateKey(const std::wstring& part) const
{
    const FileList* list = TargetList();
    bool empty = !list || list->Count() == 0;
    std::wstring word;
    switch (state) {
    case WipeWindowState::Building:
        word = empty ? L"BuildingNoTargets" : L"Building";
        break;
    case WipeWindowState::Ready:
        // Selected items the scan could not read are not in the list.
        word = ScanFailures() > 0 ? L"ReadyWithErrors" : L"Ready";
        break;
    case WipeWindowState::Running:
        word = stateData.State == StateDeleting ? L"Deleting" : L"Wiping";
        break;
    case WipeWindowState::Suspended:
        word = L"Suspended";
        break;
    case WipeWindowState::Finished: {
        bool errors = JobHadErrors() || ScanFailures() > 0;
        if (empty)
            word = L"CompletedNoTargets";
        else if (stateData.State == StateCancelled)
            word = errors ? L"CancelledWithErrors" : L"Cancelled";
        else
            word = errors ? L"CompletedWithErrors" : L"Completed";
        break;
    }
    }
    return WindowKey(part + word, part + OlderWord(word));
}

void TFormFileWipe::UpdateHeader()
{
    const FileList* list = TargetList();
    int fileBar = 0, overallBar = 0;
    const int64_t overallCurrent = stateData.TotalWrite.Current + stateData.TotalRead.Current;
    const int64_t overallTotal = stateData.TotalWrite.Total + stateData.TotalRead.Total;
    if (state == WipeWindowState::Running || state == WipeWindowState::Suspended) {
        fileBar = Percent(stateData.TargetWrite.Current + stateData.TargetRead.Current,
                          stateData.TargetWrite.Total + stateData.TargetRead.Total);
        overallBar = Percent(overallCurrent, overallTotal);
    } else if (state == WipeWindowState::Finished && list && list->Count() > 0) {
        // A cancelled job shows how far it got.
        overallBar = stateData.State == StateCancelled ? Percent(overallCurrent, overallTotal) : 100;
    }
    PBFileProgress.SetPosition(fileBar);
    PBOverallProgress.SetPosition(overallBar);
    LabelHeader.SetCaption(Language().GetText(StateKey(L"Header"), MakeVariables()));
}

void TFormFileWipe::UpdateProgress()
{
    LabelProgress.SetCaption(Language().GetText(StateKey(L"Progress"), MakeVariables()));
}

void TFormFileWipe::OnFinished(const WipeStateData& data)
{
    TFormWipe::OnFinished(data);
    FileList* list = TargetList();
    if (Discarding() || !list || !Forms().WipeList)
        return;
    // Shown from within the job's report, so this window shows the final texts behind it.
    Forms().WipeList->Execute(*list, JobMethod(), false);
}

void TFormFileWipe::OnTargetDeleted(int32_t index)
{
    const FileList* list = TargetList();
    const FileInfo* target = list ? list->At(index) : nullptr;
    // Never a record of a target the job does not count as destroyed.
    if (!target || !target->Success)
        return;
    if (target->IsFile)
        RecordJobEvent(LogCategory::Info, target->Path, L"Log.FileWiped",
                       {{L"WipeMethod", std::to_wstring(JobMethod())}, {L"RoundCount", std::to_wstring(JobRounds())}});
    else
        RecordJobEvent(LogCategory::Info, target->Path, L"Log.DirDeleted");
}
