#pragma once
// What the drive and free-space wipe windows share: a job with one target,
// the volume root, confirmed in a message box, shown with one progress bar,
// and one log record when the engine reports the volume wiped completely.
#include <cstdint>
#include <memory>
#include <string>

#include "ui/WipeWindow.h"

class TFormVolumeWipe : public TFormWipe {
public:
    ~TFormVolumeWipe() override;
    // `root`: a volume root such as "C:\". Returns when the window has closed.
    void Execute(const std::wstring& root, int32_t method, int32_t rounds);

    std::wstring RootPath;
    // The job's targets (the root alone) from Start until the window closes; null otherwise.
    const FileList* TargetList() const { return targetList.get(); }
    // The variables of the window's texts as they stand.
    TextVariables MakeVariables() const;

protected:
    // `targetType`: Volume or FreeSpace; `logKey`: the record of a wiped volume.
    TFormVolumeWipe(uint8_t targetType, const wchar_t* logKey, WipeIo& io, JobSystem& jobSystem);

    void UpdateHeader() override;
    void UpdateProgress() override;
    void OnTargetDeleted(int32_t index) override;
    void ButtonStartClick();

private:
    // What follows "Header" and "Progress" in the keys of the current state.
    std::wstring StateSuffix() const;
    int BarPosition() const;

    std::unique_ptr<FileList> targetList;
    const uint8_t targetType;
    const std::wstring logKey;
};
