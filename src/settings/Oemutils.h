#pragma once
// Helpers around the branding file: the little-endian field reader and writer
// its loader and saver share, the readable text description the branding
// tool builds files from, and the tree dump.
#include <cstdint>
#include <istream>
#include <ostream>
#include <string>

#include "settings/Oem.h"

// Reads fields from a stream and knows how many bytes remain, so no declared
// length is believed before the bytes are there.
class OEMByteReader {
public:
    explicit OEMByteReader(std::istream& in);

    [[nodiscard]] bool ReadU8(uint8_t& value);
    [[nodiscard]] bool ReadU16(uint16_t& value);
    [[nodiscard]] bool ReadU32(uint32_t& value);
    // `length` bytes; fails without allocating when fewer remain.
    [[nodiscard]] bool ReadBytes(uint32_t length, std::string& bytes);
    uint64_t Remaining() const { return remaining; }

private:
    bool ReadRaw(void* target, uint32_t length);

    std::istream& in;
    uint64_t remaining = 0;
};

class OEMByteWriter {
public:
    explicit OEMByteWriter(std::ostream& out) : out(out) {}

    void WriteU8(uint8_t value) { WriteRaw(&value, 1); }
    void WriteU16(uint16_t value);
    void WriteU32(uint32_t value);
    void WriteRaw(const void* bytes, size_t length);
    bool Good() const { return out.good(); }

private:
    std::ostream& out;
};

// The text description of a branding file, one item a line:
//   group NAME        ... end
//   string NAME TEXT  (TEXT may be in double quotes to keep outer spaces)
//   int NAME NUMBER
//   bool NAME true|false
//   data NAME FILE    (an image or any file, relative to `baseFolder`)
// '#' starts a comment line. On failure `error` says which line and why.
bool ParseOEMDescription(const std::string& description, const std::wstring& baseFolder, COEMConfigGroup& root,
                         std::string& error);

// Every path with its kind and value, one a line, data values as their length.
std::string DumpOEMTree(const COEMConfigGroup& root);

// Loads a branding file from disk; false when it cannot be opened or read.
bool LoadOEMFile(const std::wstring& path, COEMConfig& config);
bool SaveOEMFile(const std::wstring& path, const COEMConfig& config);
