#pragma once
// Where the running program lies: its data files (branding, language files,
// help pages) lie beside it.
#include <string>

// The full path of the running executable as the system names it, whatever
// its length.
std::wstring ExecutablePath();
// Its folder, without a closing backslash, in a form the file functions
// reach: Wine names a program started from a host folder outside every drive
// (the build's tests and tools) "unix\...", which is reached as
// "\\?\unix\...".
std::wstring ExecutableFolder();
// Its file name without folder and extension ("Varnox").
std::wstring ExecutableBaseName();
