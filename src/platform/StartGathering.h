#pragma once
// Explorer starts a program once for every selected item, all at nearly the
// same time. The first of such starts gathers the items of the others and
// goes on alone; each other start hands its items over and ends. The hand-over
// is acknowledged, so an item is either gathered or stays with its own start:
// none is lost between two.
#include <windows.h>
#include <string>
#include <vector>

struct GatheringTimes {
    DWORD quietMs = 500;     // gathering ends when no start has come for this long
    DWORD longestMs = 10000; // and at the latest after this
    DWORD handOverMs = 5000; // a start that finds no gatherer for this long goes on alone
};

// `meeting` names the meeting point (one per program and session). Returns
// every gathered item, this start's first, when this start goes on; empty
// when its items were handed to another start, which then carries them out.
std::vector<std::wstring> GatherStarts(const std::wstring& meeting, const std::vector<std::wstring>& items,
                                       const GatheringTimes& times = {});
