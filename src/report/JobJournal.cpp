#include "report/JobJournal.h"

#include "report/JobReport.h"

VolumeFacts ReadVolumeFacts(WipeIo& io, ReportSystem& system, const std::wstring& root)
{
    VolumeFacts facts;
    facts.root = root;
    uint64_t callerFree = 0;
    facts.spaceKnown = io.DiskFreeSpaceEx(root, callerFree, facts.capacity, facts.freeAtStart);
    if (!facts.spaceKnown)
        facts.capacity = facts.freeAtStart = 0;
    facts.informationKnown = system.VolumeInformation(root, facts.label, facts.fileSystem, facts.serialNumber);
    if (!system.Device(root, facts.deviceModel, facts.deviceSerial))
        facts.deviceModel.clear(), facts.deviceSerial.clear();
    return facts;
}

void JobJournal::Begin(uint8_t type, int32_t methodId, int32_t roundCount)
{
    *this = JobJournal();
    begun = true;
    targetType = type;
    method = methodId;
    rounds = roundCount;
    GetSystemTimeAsFileTime(&start);
}

void JobJournal::SetVolume(const VolumeFacts& facts)
{
    volume = facts;
    hasVolume = true;
}

void JobJournal::Record(Logger& log, LogCategory category, const std::wstring& target, const std::wstring& key,
                        const TextVariables& variables)
{
    LogEntry entry = log.Add(category, target, key, variables);
    JobRecord record{category, target, key, std::move(entry.text), {}};
    // A job of many targets has as many records; only what a step counts keeps its variables.
    if (StepUsesRecord(key))
        record.variables = variables;
    records.push_back(std::move(record));
}

void JobJournal::End(const WipeStateData& state)
{
    final = state;
    ended = true;
    GetSystemTimeAsFileTime(&end);
}
