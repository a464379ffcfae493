#pragma once
// What a report asks the system: who and where (computer, Windows version,
// user, the Documents folder) and what a volume and its device call
// themselves. Each operation is the Win32 call it names; tests derive and
// answer them, so that no test asks a real device.
#include <windows.h>
#include <cstdint>
#include <string>

class ReportSystem {
public:
    virtual ~ReportSystem() = default;

    // GetComputerNameExW (the DNS host name, else the NetBIOS name).
    virtual std::wstring ComputerName();
    // GetUserNameExW as DOMAIN\user, else GetUserNameW.
    virtual std::wstring UserName();
    // "Windows 10 Pro 22H2 (10.0.19045)": the product name the registry gives
    // and the version RtlGetVersion reports.
    virtual std::wstring WindowsVersion();
    // The user's Documents folder, by its file-system path; empty when unknown.
    virtual std::wstring DocumentsFolder();
    // GetVolumeInformationW of a root such as "C:\".
    virtual bool VolumeInformation(const std::wstring& root, std::wstring& label, std::wstring& fileSystem,
                                   DWORD& serialNumber);
    // IOCTL_STORAGE_QUERY_PROPERTY (the device descriptor) through a handle on
    // the volume opened for no access at all: the device's vendor and product
    // as its model, and its serial number, as far as it gives them.
    virtual bool Device(const std::wstring& root, std::wstring& model, std::wstring& serialNumber);
};

// The process-wide production instance; it has no state.
ReportSystem& SystemReportSystem();
