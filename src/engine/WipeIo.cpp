#include "engine/WipeIo.h"

#include "platform/LongPath.h"

HANDLE Win32WipeIo::Open(const std::wstring& path, DWORD access, DWORD share, DWORD disposition,
                         DWORD flagsAndAttributes)
{
    return CreateFileW(ExtendedPath(path).c_str(), access, share, nullptr, disposition, flagsAndAttributes,
                       nullptr);
}

bool Win32WipeIo::Seek(HANDLE file, int64_t offset)
{
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    return SetFilePointerEx(file, distance, nullptr, FILE_BEGIN) != 0;
}

bool Win32WipeIo::Read(HANDLE file, void* buffer, DWORD bytes, DWORD& done)
{
    done = 0;
    return ReadFile(file, buffer, bytes, &done, nullptr) != 0;
}

bool Win32WipeIo::Write(HANDLE file, const void* buffer, DWORD bytes, DWORD& done)
{
    done = 0;
    return WriteFile(file, buffer, bytes, &done, nullptr) != 0;
}

bool Win32WipeIo::Flush(HANDLE file)
{
    return FlushFileBuffers(file) != 0;
}

bool Win32WipeIo::Size(HANDLE file, int64_t& size)
{
    LARGE_INTEGER value{};
    if (!GetFileSizeEx(file, &value))
        return false;
    size = value.QuadPart;
    return true;
}

bool Win32WipeIo::SetEnd(HANDLE file)
{
    return SetEndOfFile(file) != 0;
}

bool Win32WipeIo::Close(HANDLE handle)
{
    return CloseHandle(handle) != 0;
}

bool Win32WipeIo::Delete(const std::wstring& path)
{
    return DeleteFileW(ExtendedPath(path).c_str()) != 0;
}

bool Win32WipeIo::RemoveDir(const std::wstring& path)
{
    return RemoveDirectoryW(ExtendedPath(path).c_str()) != 0;
}

DWORD Win32WipeIo::Attributes(const std::wstring& path)
{
    return GetFileAttributesW(ExtendedPath(path).c_str());
}

bool Win32WipeIo::DiskFreeSpace(const std::wstring& root, DWORD& sectorsPerCluster, DWORD& bytesPerSector,
                                DWORD& freeClusters, DWORD& totalClusters)
{
    return GetDiskFreeSpaceW(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters,
                             &totalClusters) != 0;
}

bool Win32WipeIo::DiskFreeSpaceEx(const std::wstring& root, uint64_t& callerFreeBytes, uint64_t& totalBytes,
                                  uint64_t& totalFreeBytes)
{
    ULARGE_INTEGER callerFree{}, total{}, totalFree{};
    if (!GetDiskFreeSpaceExW(root.c_str(), &callerFree, &total, &totalFree))
        return false;
    callerFreeBytes = callerFree.QuadPart;
    totalBytes = total.QuadPart;
    totalFreeBytes = totalFree.QuadPart;
    return true;
}

UINT Win32WipeIo::TempFileName(const std::wstring& directory, const std::wstring& prefix, UINT unique,
                               std::wstring& name)
{
    wchar_t buffer[MAX_PATH] = {};
    UINT result = GetTempFileNameW(directory.c_str(), prefix.c_str(), unique, buffer);
    name = result != 0 ? buffer : L"";
    return result;
}

bool Win32WipeIo::Control(HANDLE device, DWORD code, const void* input, DWORD inputSize, void* output,
                          DWORD outputSize, DWORD& returned)
{
    returned = 0;
    return DeviceIoControl(device, code, const_cast<void*>(input), inputSize, output, outputSize, &returned,
                           nullptr) != 0;
}

DWORD Win32WipeIo::LastError()
{
    return GetLastError();
}

WipeIo& SystemWipeIo()
{
    static Win32WipeIo io;
    return io;
}
