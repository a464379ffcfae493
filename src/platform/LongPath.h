#pragma once
// Paths of MAX_PATH characters and more only reach the file system in the
// extended "\\?\" form. The user's path is what we keep and log; this form is
// made at the system call only.
#include <string>

// Returns `path` in the extended form when it is long enough to need it and is
// an absolute drive or UNC path; any other path is returned unchanged.
std::wstring ExtendedPath(const std::wstring& path);
