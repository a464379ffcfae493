#pragma once
// SHA-256 by the system's cryptography provider (BCrypt): the checksum at the
// end of every report.
#include <windows.h>
#include <string>

// The digest of `size` bytes as 64 lowercase hexadecimal digits; empty, with
// `error` set, when the provider cannot give one.
std::wstring Sha256Hex(const void* data, size_t size, DWORD& error);
