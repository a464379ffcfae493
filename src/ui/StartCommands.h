#pragma once
// What the program does with its command line once its windows exist, and
// the texts it writes about the command line itself.
#include <string>

#include "ui/CommandLine.h"

class TFormMain;
class UnicodeLanguage;

// Opens what a start with windows asks for over the main window: the file
// wipe window for the paths that exist (those that do not are named in an
// error box), or the drive or free-space window for a drive that exists.
// Browse does nothing. A drive job this process hands to an elevated Varnox
// leaves that one alone on the screen: the main window closes.
void OpenStartRequest(TFormMain& main, const StartRequest& request);

// The usage, after what is wrong for BadUsage, in the language's words.
std::wstring UsageText(const UnicodeLanguage& language, const StartRequest& request);

// Where the starts of one selection from Explorer's menu meet (GatherStarts).
std::wstring ExplorerMeetingName();
