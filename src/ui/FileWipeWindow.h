#pragma once
// The progress window of a file and folder wipe. It expands the selection in
// the background, shows the growing counts, asks the wipe list window for
// confirmation, runs the job with a bar for the current item and one for all,
// logs every destroyed file and folder, and lists them when the job ends.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "targets/Filelistbuilder.h"
#include "ui/WipeWindow.h"
#include "ui/toolkit/Components.h"

class TFormFileWipe : public TFormWipe {
public:
    // Jobs reach the files through `io`, the scan through `scanFileSystem`
    // (null: the system's); tests and benchmarks hand in their own.
    explicit TFormFileWipe(WipeIo& io = SystemWipeIo(), JobSystem& jobSystem = SystemJobSystem(),
                           ScanFileSystem* scanFileSystem = nullptr);
    ~TFormFileWipe() override;

    // The full paths the user selected; filled by the main window before Execute.
    std::vector<std::wstring> Selection;
    // Runs the whole dialog; returns when the window has closed.
    void Execute(int32_t method, int32_t rounds);

    tk::Label LabelOverallProgressPrefix{this};
    tk::ProgressBar PBOverallProgress{this};
    tk::Timer Timer1;

    // The scan's targets during a showing, null otherwise.
    FileList* TargetList() const;
    // Selected items the scan could not read (their contents are not targets).
    int32_t ScanFailures() const;
    // The variables of the window's texts as they stand.
    TextVariables MakeVariables() const;

protected:
    std::wstring GetWindowName() const override { return L"FileWipeWindow"; }
    void UpdateTexts() override;
    void UpdateHeader() override;
    void UpdateProgress() override;
    void OnFinished(const WipeStateData& data) override;
    void OnTargetDeleted(int32_t index) override;
    int32_t UnreadableItems() const override { return ScanFailures(); }
    void ButtonStartClick();
    void Timer1Timer();

private:
    // The key of the current state: "Header" or "Progress" followed by the
    // state's word, or by an older word where the language files lack the newer.
    std::wstring StateKey(const std::wstring& part) const;

    ScanFileSystem* scanFileSystem;
    std::unique_ptr<FileListBuilder> fileListBuilder;
};
