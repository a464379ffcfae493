// oemtool: builds a branding file from its text description and prints the
// tree of an existing one. Both go through the code the application loads with.
//   oemtool build <description> <out.OEM>
//   oemtool dump <file.OEM>
// Exit code 0 on success, 2 with a one-line reason otherwise.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "settings/Oem.h"
#include "settings/Oemutils.h"

namespace {

int Fail(const std::string& reason)
{
    fprintf(stderr, "oemtool: %s\n", reason.c_str());
    return 2;
}

std::string Narrow(const std::wstring& text)
{
    int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(length, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length, nullptr, nullptr);
    return narrow;
}

int Build(const std::wstring& descriptionPath, const std::wstring& outPath)
{
    std::ifstream file(std::filesystem::path(descriptionPath), std::ios::binary);
    if (!file)
        return Fail("cannot open " + Narrow(descriptionPath));
    std::ostringstream description;
    description << file.rdbuf();
    size_t slash = descriptionPath.find_last_of(L"\\/");
    std::wstring folder = slash == std::wstring::npos ? std::wstring() : descriptionPath.substr(0, slash);

    COEMConfig config;
    std::string error;
    if (!ParseOEMDescription(description.str(), folder, config, error))
        return Fail(Narrow(descriptionPath) + ": " + error);
    if (!SaveOEMFile(outPath, config)) {
        DeleteFileW(outPath.c_str());
        return Fail("cannot write " + Narrow(outPath));
    }
    // What was written must read back as what was described.
    COEMConfig check;
    if (!LoadOEMFile(outPath, check) || DumpOEMTree(check) != DumpOEMTree(config)) {
        DeleteFileW(outPath.c_str());
        return Fail("written file does not read back: " + Narrow(outPath));
    }
    return 0;
}

int Dump(const std::wstring& path)
{
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    if (!file)
        return Fail("cannot open " + Narrow(path));
    COEMConfig config;
    if (!config.Load(file))
        return Fail("not a valid branding file: " + Narrow(path));
    fputs(DumpOEMTree(config).c_str(), stdout);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"build" && argc == 4)
        return Build(argv[2], argv[3]);
    if (command == L"dump" && argc == 3)
        return Dump(argv[2]);
    return Fail("usage: oemtool build <description> <out.OEM> | oemtool dump <file.OEM>");
}
