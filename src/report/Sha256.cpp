#include "report/Sha256.h"

#include <bcrypt.h>
#include <winternl.h>
#include <cstdint>

namespace {

DWORD ErrorOf(NTSTATUS status)
{
    // The provider answers in NTSTATUS; what the user sees is a Win32 error.
    ULONG error = RtlNtStatusToDosError(status);
    return error != 0 ? error : ERROR_GEN_FAILURE;
}

}  // namespace

std::wstring Sha256Hex(const void* data, size_t size, DWORD& error)
{
    error = ERROR_SUCCESS;
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    NTSTATUS status = BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0);
    if (!BCRYPT_SUCCESS(status)) {
        error = ErrorOf(status);
        return {};
    }
    BCRYPT_HASH_HANDLE hash = nullptr;
    UCHAR digest[32] = {};
    status = BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0);
    const auto* bytes = static_cast<const UCHAR*>(data);
    // The call takes a 32-bit length: a report larger than that goes in pieces.
    while (BCRYPT_SUCCESS(status) && size > 0) {
        ULONG piece = static_cast<ULONG>(size < 0x40000000 ? size : 0x40000000);
        status = BCryptHashData(hash, const_cast<UCHAR*>(bytes), piece, 0);
        bytes += piece;
        size -= piece;
    }
    if (BCRYPT_SUCCESS(status))
        status = BCryptFinishHash(hash, digest, sizeof(digest), 0);
    if (hash)
        BCryptDestroyHash(hash);
    BCryptCloseAlgorithmProvider(algorithm, 0);
    if (!BCRYPT_SUCCESS(status)) {
        error = ErrorOf(status);
        return {};
    }
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring hex;
    for (UCHAR byte : digest) {
        hex += digits[byte >> 4];
        hex += digits[byte & 15];
    }
    return hex;
}
