#pragma once
// Every file, volume and file-system call a wipe job makes goes through this
// one interface, so that tests can fail any call on purpose and simulate a
// volume. Each operation mirrors the Win32 call it is named after: the same
// arguments, the same result, and on failure the thread's last error set.
// Paths are the user's; an implementation makes the extended form itself.
#include <windows.h>
#include <cstdint>
#include <string>
#include "platform/HandleHolder.h"

class WipeIo : public HandleCloser {
public:
    virtual ~WipeIo() = default;

    // CreateFileW; INVALID_HANDLE_VALUE on failure.
    virtual HANDLE Open(const std::wstring& path, DWORD access, DWORD share, DWORD disposition,
                        DWORD flagsAndAttributes) = 0;
    // SetFilePointerEx from the beginning of the file.
    virtual bool Seek(HANDLE file, int64_t offset) = 0;
    virtual bool Read(HANDLE file, void* buffer, DWORD bytes, DWORD& done) = 0;
    virtual bool Write(HANDLE file, const void* buffer, DWORD bytes, DWORD& done) = 0;
    virtual bool Flush(HANDLE file) = 0;
    // GetFileSizeEx.
    virtual bool Size(HANDLE file, int64_t& size) = 0;
    // SetEndOfFile at the current file pointer.
    virtual bool SetEnd(HANDLE file) = 0;
    bool Close(HANDLE handle) override = 0;
    virtual bool Delete(const std::wstring& path) = 0;
    virtual bool RemoveDir(const std::wstring& path) = 0;
    // GetFileAttributesW; INVALID_FILE_ATTRIBUTES on failure.
    virtual DWORD Attributes(const std::wstring& path) = 0;

    // GetDiskFreeSpaceW of a root such as C:\.
    virtual bool DiskFreeSpace(const std::wstring& root, DWORD& sectorsPerCluster, DWORD& bytesPerSector,
                               DWORD& freeClusters, DWORD& totalClusters) = 0;
    // GetDiskFreeSpaceExW: free bytes for the caller, total bytes, free bytes of the volume.
    virtual bool DiskFreeSpaceEx(const std::wstring& root, uint64_t& callerFreeBytes, uint64_t& totalBytes,
                                 uint64_t& totalFreeBytes) = 0;
    // GetTempFileNameW; the number it returns, 0 on failure. `name` receives the full path.
    virtual UINT TempFileName(const std::wstring& directory, const std::wstring& prefix, UINT unique,
                              std::wstring& name) = 0;
    // DeviceIoControl without overlapped I/O: partition information, drive
    // geometry, dismount, volume bitmap, retrieval pointers, move file and
    // compression requests.
    virtual bool Control(HANDLE device, DWORD code, const void* input, DWORD inputSize, void* output,
                         DWORD outputSize, DWORD& returned) = 0;

    virtual DWORD LastError() = 0;
};

// The production implementation: each operation is the Win32 call itself.
class Win32WipeIo : public WipeIo {
public:
    HANDLE Open(const std::wstring& path, DWORD access, DWORD share, DWORD disposition,
                DWORD flagsAndAttributes) override;
    bool Seek(HANDLE file, int64_t offset) override;
    bool Read(HANDLE file, void* buffer, DWORD bytes, DWORD& done) override;
    bool Write(HANDLE file, const void* buffer, DWORD bytes, DWORD& done) override;
    bool Flush(HANDLE file) override;
    bool Size(HANDLE file, int64_t& size) override;
    bool SetEnd(HANDLE file) override;
    bool Close(HANDLE handle) override;
    bool Delete(const std::wstring& path) override;
    bool RemoveDir(const std::wstring& path) override;
    DWORD Attributes(const std::wstring& path) override;
    bool DiskFreeSpace(const std::wstring& root, DWORD& sectorsPerCluster, DWORD& bytesPerSector,
                       DWORD& freeClusters, DWORD& totalClusters) override;
    bool DiskFreeSpaceEx(const std::wstring& root, uint64_t& callerFreeBytes, uint64_t& totalBytes,
                         uint64_t& totalFreeBytes) override;
    UINT TempFileName(const std::wstring& directory, const std::wstring& prefix, UINT unique,
                      std::wstring& name) override;
    bool Control(HANDLE device, DWORD code, const void* input, DWORD inputSize, void* output,
                 DWORD outputSize, DWORD& returned) override;
    DWORD LastError() override;
};

// The process-wide production instance; it has no state.
WipeIo& SystemWipeIo();
