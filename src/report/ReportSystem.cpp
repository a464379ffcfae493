#include "report/ReportSystem.h"

#include <winioctl.h>
#include <shlobj.h>
#define SECURITY_WIN32
#include <secext.h>
#include <vector>

#include "platform/HandleHolder.h"
#include "platform/Shellfolder.h"

namespace {

std::wstring Trimmed(std::wstring text)
{
    size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos)
        return {};
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

std::wstring RegistryText(const wchar_t* value)
{
    wchar_t buffer[256] = {};
    DWORD size = sizeof(buffer) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", value, RRF_RT_REG_SZ,
                     nullptr, buffer, &size) != ERROR_SUCCESS)
        return {};
    return Trimmed(buffer);
}

// An ASCII string of the device descriptor at `offset`, blanks trimmed.
std::wstring DescriptorText(const std::vector<BYTE>& reply, DWORD returned, DWORD offset)
{
    if (offset == 0 || offset >= returned)
        return {};
    std::wstring text;
    for (DWORD i = offset; i < returned && reply[i] != 0; ++i)
        text += static_cast<wchar_t>(reply[i]);
    return Trimmed(text);
}

}  // namespace

std::wstring ReportSystem::ComputerName()
{
    wchar_t name[256] = {};
    DWORD size = 256;
    if (GetComputerNameExW(ComputerNameDnsHostname, name, &size) && name[0] != 0)
        return name;
    size = 256;
    return GetComputerNameW(name, &size) ? name : L"";
}

std::wstring ReportSystem::UserName()
{
    wchar_t name[512] = {};
    ULONG size = 512;
    if (GetUserNameExW(NameSamCompatible, name, &size) && name[0] != 0)
        return name;
    DWORD plainSize = 512;
    return GetUserNameW(name, &plainSize) ? name : L"";
}

std::wstring ReportSystem::WindowsVersion()
{
    // GetVersionEx lies to programs without a manifest entry for each
    // release; RtlGetVersion does not.
    using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    auto rtlGetVersion =
        reinterpret_cast<RtlGetVersionFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    std::wstring version;
    if (rtlGetVersion && rtlGetVersion(&info) == 0)
        version = std::to_wstring(info.dwMajorVersion) + L"." + std::to_wstring(info.dwMinorVersion) + L"." +
                  std::to_wstring(info.dwBuildNumber);
    std::wstring product = RegistryText(L"ProductName");
    std::wstring release = RegistryText(L"DisplayVersion");
    if (!release.empty())
        product += L" " + release;
    if (product.empty())
        return version;
    return version.empty() ? product : product + L" (" + version + L")";
}

std::wstring ReportSystem::DocumentsFolder()
{
    ShellFolder documents(CSIDL_PERSONAL);
    std::wstring folder = documents.fileSystemPath;
    while (!folder.empty() && folder.back() == L'\\')
        folder.pop_back();
    return folder;
}

bool ReportSystem::VolumeInformation(const std::wstring& root, std::wstring& label, std::wstring& fileSystem,
                                     DWORD& serialNumber)
{
    wchar_t name[MAX_PATH + 1] = {}, system[MAX_PATH + 1] = {};
    DWORD maximumLength = 0, flags = 0;
    if (!GetVolumeInformationW(root.c_str(), name, MAX_PATH + 1, &serialNumber, &maximumLength, &flags, system,
                               MAX_PATH + 1))
        return false;
    label = name;
    fileSystem = system;
    return true;
}

bool ReportSystem::Device(const std::wstring& root, std::wstring& model, std::wstring& serialNumber)
{
    // No access rights: enough to ask, never enough to write, and allowed
    // without administrator rights.
    std::wstring device = L"\\\\.\\" + root.substr(0, 2);
    HANDLE volume = CreateFileW(device.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                nullptr);
    if (volume == INVALID_HANDLE_VALUE)
        return false;
    HandleHolder holder(volume);
    STORAGE_PROPERTY_QUERY query{};
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;
    std::vector<BYTE> reply(4096);
    DWORD returned = 0;
    if (!DeviceIoControl(volume, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof(query), reply.data(),
                         static_cast<DWORD>(reply.size()), &returned, nullptr) ||
        returned < sizeof(STORAGE_DEVICE_DESCRIPTOR))
        return false;
    const auto* descriptor = reinterpret_cast<const STORAGE_DEVICE_DESCRIPTOR*>(reply.data());
    std::wstring vendor = DescriptorText(reply, returned, descriptor->VendorIdOffset);
    std::wstring product = DescriptorText(reply, returned, descriptor->ProductIdOffset);
    model = vendor.empty() ? product : product.empty() ? vendor : vendor + L" " + product;
    serialNumber = DescriptorText(reply, returned, descriptor->SerialNumberOffset);
    return true;
}

ReportSystem& SystemReportSystem()
{
    static ReportSystem system;
    return system;
}
