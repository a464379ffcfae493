#pragma once
// Every absolute path reaches the file system in the extended "\\?\" form.
// Without it the system rewrites the path first: it strips a trailing dot or
// space from the last name (so "a." would open "a", a different file) and
// refuses paths of MAX_PATH characters and more. The user's path is what we
// keep and log; this form is made at the system call only.
#include <string>

// `path` in the extended form when it is an absolute drive or UNC path, with
// "/" read as "\", and empty, "." and ".." names resolved as the system would
// (never above the drive or the share). Relative paths, paths already in the
// extended form and device paths ("\\.\") are returned unchanged.
std::wstring ExtendedPath(const std::wstring& path);
