#pragma once
// One wipe target: a file, a directory, or the root of a volume.
#include <windows.h>
#include <cstdint>
#include <string>

// What a job did with a target: set by the job as it leaves the target, read
// once the job has ended (reports). Destroyed exactly when Success is set.
enum TargetOutcome : uint8_t {
    OutcomeNotStarted = 0,  // the job never reached it (a cancel)
    OutcomeDestroyed = 1,
    OutcomeKept = 2,        // overwritten wholly or in part, but not removed (a partial target)
    OutcomeFailed = 3,      // could not be opened, analysed or removed
};

class FileInfo {
public:
    // Reads attributes, size and last-write time of `path`. An item whose
    // attributes cannot be read is taken to be a directory with time 0.
    explicit FileInfo(const std::wstring& path);
    // Built from one entry of an enumeration of `directory`.
    FileInfo(const std::wstring& directory, const WIN32_FIND_DATAW& findData);
    FileInfo(const FileInfo&) = default;
    FileInfo& operator=(const FileInfo&) = default;

    std::wstring Path;
    std::wstring TypeName;          // shell type description (display only)
    FILETIME LastWriteTime{};       // 0 when it cannot be read
    int32_t IconIndex = -1;         // index in the system icon cache (display only)
    uint64_t Size = 0;              // 0 for a directory
    uint8_t IsFile = 0;
    uint8_t Success = 1;            // cleared by a job when the target is not destroyed completely
    uint8_t Outcome = OutcomeNotStarted;

private:
    void SetFromAttributes(DWORD attributes, DWORD sizeHigh, DWORD sizeLow, const FILETIME& lastWrite);
    void LookUpDisplayInfo();
};

// Icon and type name come from the shell through the user interface's icon
// cache, which this layer cannot see; the interface installs the lookup at
// start-up. Without one, IconIndex stays -1 and TypeName empty.
using FileInfoDisplayLookup = void (*)(const std::wstring& path, int32_t& iconIndex, std::wstring& typeName);
void SetFileInfoDisplayLookup(FileInfoDisplayLookup lookup);

// `directory` + `name` with exactly one backslash between them.
std::wstring JoinPath(const std::wstring& directory, const std::wstring& name);
