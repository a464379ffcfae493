#pragma once
// What a report tells of one job beyond its targets, gathered while the job
// runs: when it started and ended, what the volume was at the start, and
// every log record the job caused, with the text the log has. The wipe
// windows and the command line keep one journal per job; the report is made
// from it, the job's targets and its final state, never from a window.
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/WipeIo.h"
#include "engine/Wipestatedata.h"
#include "log/Log.h"
#include "platform/TextVariables.h"
#include "report/ReportSystem.h"

// A volume as it was when a volume or free-space job started. What the
// system does not give stays empty (texts) or unknown (flags).
struct VolumeFacts {
    std::wstring root;          // "C:\"
    std::wstring label;
    std::wstring fileSystem;
    bool informationKnown = false;  // label, file system and serial number were read
    DWORD serialNumber = 0;
    bool spaceKnown = false;
    uint64_t capacity = 0;      // bytes
    uint64_t freeAtStart = 0;   // bytes
    std::wstring deviceModel;   // empty: the device did not say
    std::wstring deviceSerial;
};

// Reads `root` as a report tells it: capacity and free space through the
// job's own `io` (what the job itself will see), the rest through `system`.
VolumeFacts ReadVolumeFacts(WipeIo& io, ReportSystem& system, const std::wstring& root);

// One log record of a job, as the log has it.
struct JobRecord {
    LogCategory category = LogCategory::Info;
    std::wstring target;      // as the job named it (what the targets' paths are compared with)
    std::wstring key;         // the "Log." key it was made from
    std::wstring text;        // the record's text in the log
    TextVariables variables;  // kept only for the keys a step of the report counts (JobSteps)
};

class JobJournal {
public:
    // A job of `targetType` with `method` and `rounds` starts now; whatever
    // the journal held of an earlier job is forgotten.
    void Begin(uint8_t targetType, int32_t method, int32_t rounds);
    // The volume of a volume or free-space job, read before it starts.
    void SetVolume(const VolumeFacts& facts);
    // Adds the record to `log` and keeps it as the log has it.
    void Record(Logger& log, LogCategory category, const std::wstring& target, const std::wstring& key,
                const TextVariables& variables = {});
    // The job has ended now, with its final state.
    void End(const WipeStateData& final);
    // Items of a file job's selection that its scan could not read: not
    // targets, but the report counts them.
    void SetUnreadable(int32_t count) { unreadable = count; }

    bool Begun() const { return begun; }
    bool Ended() const { return ended; }
    uint8_t TargetType() const { return targetType; }
    int32_t Method() const { return method; }
    int32_t Rounds() const { return rounds; }
    const FILETIME& StartTime() const { return start; }  // UTC
    const FILETIME& EndTime() const { return end; }
    const WipeStateData& Final() const { return final; }
    bool HasVolume() const { return hasVolume; }
    const VolumeFacts& Volume() const { return volume; }
    const std::vector<JobRecord>& Records() const { return records; }
    int32_t Unreadable() const { return unreadable; }

private:
    bool begun = false;
    bool ended = false;
    uint8_t targetType = TargetFiles;
    int32_t method = 0;
    int32_t rounds = 0;
    FILETIME start{};
    FILETIME end{};
    WipeStateData final;
    bool hasVolume = false;
    VolumeFacts volume;
    std::vector<JobRecord> records;
    int32_t unreadable = 0;
};
