#pragma once
// Every language key the program can ask for, with the variables it is asked
// with. The language files must define each of them (a test checks every
// shipped file, and that every key-like literal in the sources is listed
// here); translators read the variables from this list. Keys made at run
// time are built with the helpers below, from the same tables.
#include <string>
#include <vector>

struct LanguageKey {
    std::wstring key;
    std::vector<std::wstring> variables;
};

// Window names that prefix the keys of the three wipe progress windows.
inline constexpr const wchar_t* kWipeWindowNames[] = {L"FileWipeWindow", L"DriveWipeWindow", L"FreeSpaceWipeWindow"};

// "WipeMethod.Method<i>Name" and "WipeMethod.Method<i>Description".
std::wstring WipeMethodNameKey(int method);
std::wstring WipeMethodDescriptionKey(int method);

// Every key, in no particular order.
const std::vector<LanguageKey>& AllLanguageKeys();
