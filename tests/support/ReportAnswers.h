#pragma once
// What a report asks the system, answered by a test: fixed names, a volume
// and a device that describe themselves, and a Documents folder of the
// test's own, so that no test asks a real device or writes to the user's Documents.
#include "report/ReportSystem.h"

class AnsweredReportSystem : public ReportSystem {
public:
    std::wstring documents;
    std::wstring label = L"Backup & <Archive>";
    std::wstring deviceModel = L"ACME Disk 2000";
    std::wstring ComputerName() override { return L"TEST-PC"; }
    std::wstring UserName() override { return L"TEST\\tester"; }
    std::wstring WindowsVersion() override { return L"Windows 11 Pro 23H2 (10.0.22631)"; }
    std::wstring DocumentsFolder() override { return documents; }
    bool VolumeInformation(const std::wstring&, std::wstring& name, std::wstring& fileSystem, DWORD& serial) override
    {
        name = label;
        fileSystem = L"NTFS";
        serial = 0x1234ABCD;
        return true;
    }
    bool Device(const std::wstring&, std::wstring& model, std::wstring& serial) override
    {
        model = deviceModel;
        serial = L"SN-0042";
        return !deviceModel.empty();
    }
};
