#include "settings/Oemutils.h"

#include <windows.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

OEMByteReader::OEMByteReader(std::istream& in) : in(in)
{
    // The bytes left from here to the end bound every declared length.
    std::streampos start = in.tellg();
    if (start == std::streampos(-1))
        return;
    in.seekg(0, std::ios::end);
    std::streampos end = in.tellg();
    in.seekg(start);
    if (end != std::streampos(-1) && end > start)
        remaining = static_cast<uint64_t>(end - start);
}

bool OEMByteReader::ReadRaw(void* target, uint32_t length)
{
    if (length > remaining)
        return false;
    if (length > 0 && !in.read(static_cast<char*>(target), length))
        return false;
    remaining -= length;
    return true;
}

bool OEMByteReader::ReadU8(uint8_t& value)
{
    return ReadRaw(&value, 1);
}

bool OEMByteReader::ReadU16(uint16_t& value)
{
    uint8_t bytes[2];
    if (!ReadRaw(bytes, 2))
        return false;
    value = static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
    return true;
}

bool OEMByteReader::ReadU32(uint32_t& value)
{
    uint8_t bytes[4];
    if (!ReadRaw(bytes, 4))
        return false;
    value = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    return true;
}

bool OEMByteReader::ReadBytes(uint32_t length, std::string& bytes)
{
    if (length > remaining)
        return false;
    bytes.resize(length);
    return ReadRaw(bytes.data(), length);
}

void OEMByteWriter::WriteU16(uint16_t value)
{
    uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
    WriteRaw(bytes, 2);
}

void OEMByteWriter::WriteU32(uint32_t value)
{
    uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
                        static_cast<uint8_t>(value >> 24)};
    WriteRaw(bytes, 4);
}

void OEMByteWriter::WriteRaw(const void* bytes, size_t length)
{
    out.write(static_cast<const char*>(bytes), static_cast<std::streamsize>(length));
}

// ---- the text description ----------------------------------------------------

namespace {

std::string Trim(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Splits "word rest" at the first run of blanks.
std::string TakeWord(std::string& line)
{
    size_t end = line.find_first_of(" \t");
    std::string word = line.substr(0, end);
    line = end == std::string::npos ? std::string() : Trim(line.substr(end));
    return word;
}

std::wstring Widen(const std::string& text)
{
    int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(length, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

bool ReadFileBytes(const std::wstring& path, std::string& bytes)
{
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    if (!file)
        return false;
    std::ostringstream content;
    content << file.rdbuf();
    bytes = content.str();
    return !file.bad();
}

bool ParseValue(const std::string& type, const std::string& name, const std::string& argument,
                const std::wstring& baseFolder, COEMConfigGroup& group, std::string& error)
{
    if (type == "string") {
        std::string text = argument;
        if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
            text = text.substr(1, text.size() - 2);
        group.AddValue(name)->SetString(text);
    } else if (type == "int") {
        char* end = nullptr;
        errno = 0;
        long number = std::strtol(argument.c_str(), &end, 0);
        if (argument.empty() || *end != '\0' || errno != 0 || number < INT32_MIN || number > INT32_MAX) {
            error = "not a 32-bit integer: " + argument;
            return false;
        }
        group.AddValue(name)->SetInt(static_cast<int32_t>(number));
    } else if (type == "bool") {
        if (argument != "true" && argument != "false") {
            error = "a boolean is true or false: " + argument;
            return false;
        }
        group.AddValue(name)->SetBool(argument == "true");
    } else if (type == "data") {
        std::string bytes;
        std::wstring path = baseFolder.empty() ? Widen(argument) : baseFolder + L"\\" + Widen(argument);
        if (argument.empty() || !ReadFileBytes(path, bytes) || bytes.size() > UINT32_MAX) {
            error = "cannot read data file " + argument;
            return false;
        }
        group.AddValue(name)->SetData(bytes.data(), static_cast<uint32_t>(bytes.size()));
    } else {
        error = "unknown item " + type;
        return false;
    }
    return true;
}

}  // namespace

bool ParseOEMDescription(const std::string& description, const std::wstring& baseFolder, COEMConfigGroup& root,
                         std::string& error)
{
    std::vector<COEMConfigGroup*> open{&root};
    std::istringstream lines(description);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        line = Trim(line);
        if (line.empty() || line[0] == '#')
            continue;
        std::string type = TakeWord(line);
        std::string lineError;
        if (type == "end") {
            if (open.size() == 1)
                lineError = "end without group";
            else
                open.pop_back();
        } else {
            std::string name = TakeWord(line);
            if (name.empty())
                lineError = type + " without a name";
            else if (type == "group" && open.size() > COEMConfig::MaxNestingDepth)
                lineError = "groups nested deeper than the loader accepts";
            else if (type == "group")
                open.push_back(open.back()->AddGroup(name));
            else
                ParseValue(type, name, line, baseFolder, *open.back(), lineError);
        }
        if (!lineError.empty()) {
            error = "line " + std::to_string(number) + ": " + lineError;
            return false;
        }
    }
    if (open.size() != 1) {
        error = "group " + open.back()->GetName() + " has no end";
        return false;
    }
    return true;
}

// ---- dump and files -----------------------------------------------------------

namespace {

void DumpGroup(const COEMConfigGroup& group, std::string& out)
{
    for (const auto& child : group.Children()) {
        out += child->GetPath();
        if (child->IsGroup()) {
            out += " group\n";
            DumpGroup(static_cast<const COEMConfigGroup&>(*child), out);
            continue;
        }
        const auto& value = static_cast<const COEMConfigValue&>(*child);
        switch (value.GetKind()) {
        case OEMValueKind::String:
            out += " string \"" + value.GetString() + "\"\n";
            break;
        case OEMValueKind::Integer:
            out += " int " + std::to_string(value.GetInt()) + "\n";
            break;
        case OEMValueKind::Boolean:
            out += value.GetBool() ? " bool true\n" : " bool false\n";
            break;
        case OEMValueKind::Data:
            out += " data " + std::to_string(value.GetDataSize()) + " bytes\n";
            break;
        }
    }
}

}  // namespace

std::string DumpOEMTree(const COEMConfigGroup& root)
{
    std::string out;
    DumpGroup(root, out);
    return out;
}

bool LoadOEMFile(const std::wstring& path, COEMConfig& config)
{
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return file && config.Load(file);
}

bool SaveOEMFile(const std::wstring& path, const COEMConfig& config)
{
    std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    return file && config.Save(file) && (file.close(), !file.fail());
}
