#include <gtest/gtest.h>

#include <sstream>

#include "settings/Oem.h"
#include "settings/Oemutils.h"
#include "support/TempDir.h"

namespace {

// Little-endian byte builder for hand-made branding files.
struct Bytes {
    std::string data;
    Bytes& U8(uint8_t v) { data += static_cast<char>(v); return *this; }
    Bytes& U16(uint16_t v) { return U8(v & 0xFF).U8(v >> 8); }
    Bytes& U32(uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
    Bytes& Raw(const std::string& s) { data += s; return *this; }
    Bytes& Head(uint16_t count, uint32_t version = 0x00010000) { return U32(0xABCD1234).U32(version).U16(count); }
    Bytes& End() { return U32(0xABCD1234); }
    Bytes& Node(uint16_t kind, const std::string& name) { return U16(kind).U16(static_cast<uint16_t>(name.size())).Raw(name); }
    Bytes& Int(const std::string& name, int32_t v) { return Node(2, name).U32(static_cast<uint32_t>(v)); }
    Bytes& Str(const std::string& name, const std::string& s)
    {
        return Node(1, name).U16(static_cast<uint16_t>(s.size())).Raw(s);
    }
    Bytes& Group(const std::string& name, uint16_t count) { return Node(0, name).U16(count); }
};

bool LoadBytes(COEMConfig& config, const std::string& bytes)
{
    std::istringstream in(bytes);
    return config.Load(in);
}

TEST(OEMConfig, FourteenByteFileLoadsAsAnEmptyTree)
{
    COEMConfig config;
    std::string file = Bytes().Head(0).End().data;
    ASSERT_EQ(file.size(), 14u);
    EXPECT_TRUE(LoadBytes(config, file));
    EXPECT_TRUE(config.Children().empty());
    EXPECT_EQ(config.FindNode(""), &config);
    EXPECT_EQ(config.GetPath(), "/");
}

TEST(OEMConfig, WrongHeadFailsWithoutTouchingTheTree)
{
    COEMConfig config;
    ASSERT_TRUE(LoadBytes(config, Bytes().Head(1).Int("Kept", 7).End().data));
    EXPECT_FALSE(LoadBytes(config, Bytes().Head(0, 0x00020000).End().data));
    EXPECT_FALSE(LoadBytes(config, Bytes().U32(0x1234ABCD).U32(0x00010000).U16(0).End().data));
    ASSERT_NE(config.FindValue("Kept"), nullptr);
    EXPECT_EQ(config.FindValue("Kept")->GetInt(), 7);
}

TEST(OEMConfig, TruncationOrUnknownKindLeavesTheTreeEmpty)
{
    std::string whole = Bytes().Head(2).Int("A", 1).Group("G", 1).Str("S", "hello").End().data;
    for (size_t cut = 15; cut < whole.size() - 4; ++cut) {
        COEMConfig config;
        EXPECT_FALSE(LoadBytes(config, whole.substr(0, cut))) << cut;
        EXPECT_TRUE(config.Children().empty()) << cut;
    }
    COEMConfig config;
    EXPECT_FALSE(LoadBytes(config, Bytes().Head(2).Int("A", 1).Node(5, "X").U32(0).End().data));
    EXPECT_TRUE(config.Children().empty());
}

TEST(OEMConfig, MissingEndMagicFailsButKeepsWhatWasRead)
{
    COEMConfig config;
    EXPECT_FALSE(LoadBytes(config, Bytes().Head(1).Int("A", 1).U32(0).data));
    EXPECT_NE(config.FindValue("A"), nullptr);
}

TEST(OEMConfig, HostileLengthsFailWithoutAllocating)
{
    COEMConfig config;
    // A 4 GB data block, a 64 KB name and text, 65535 children: none present.
    EXPECT_FALSE(LoadBytes(config, Bytes().Head(1).Node(4, "D").U32(0xFFFFFFFF).End().data));
    EXPECT_FALSE(LoadBytes(config, Bytes().Head(1).U16(2).U16(0xFFFF).Raw("x").End().data));
    EXPECT_FALSE(LoadBytes(config, Bytes().Head(1).Node(1, "S").U16(0xFFFF).Raw("abc").End().data));
    EXPECT_FALSE(LoadBytes(config, Bytes().Head(0xFFFF).Int("A", 1).End().data));
    EXPECT_FALSE(LoadBytes(config, Bytes().Head(1).Group("G", 0xFFFF).End().data));
    EXPECT_TRUE(config.Children().empty());
}

TEST(OEMConfig, DeepNestingFailsCleanly)
{
    Bytes deep;
    deep.Head(1);
    for (int i = 0; i < 10000; ++i)
        deep.Group("G", 1);
    deep.Int("Leaf", 1).End();
    COEMConfig config;
    EXPECT_FALSE(LoadBytes(config, deep.data));
    EXPECT_TRUE(config.Children().empty());

    // Nesting up to the bound is fine.
    Bytes allowed;
    allowed.Head(1);
    std::string path;
    for (int i = 0; i < COEMConfig::MaxNestingDepth; ++i) {
        allowed.Group("G", 1);
        path += "G/";
    }
    allowed.Int("Leaf", 5).End();
    ASSERT_TRUE(LoadBytes(config, allowed.data));
    ASSERT_NE(config.FindValue(path + "Leaf"), nullptr);
    EXPECT_EQ(config.FindValue(path + "Leaf")->GetInt(), 5);
}

TEST(OEMConfig, PathsIgnoreOuterAndDoubledSlashes)
{
    COEMConfig config;
    ASSERT_TRUE(LoadBytes(config, Bytes().Head(1).Group("Settings", 1).Int("ButtonWidth", 64).End().data));
    COEMConfigValue* value = config.FindValue("Settings/ButtonWidth");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(config.FindValue("/Settings/ButtonWidth/"), value);
    EXPECT_EQ(config.FindValue("Settings//ButtonWidth"), value);
    EXPECT_EQ(config.FindValue("Settings"), nullptr);
    EXPECT_NE(config.FindNode("Settings"), nullptr);
    EXPECT_EQ(config.FindValue("Settings/ButtonWidth/More"), nullptr);
    EXPECT_EQ(config.FindValue("settings/ButtonWidth"), nullptr);
    EXPECT_EQ(value->GetPath(), "//Settings/ButtonWidth");
}

TEST(OEMConfig, DuplicateNamesKeepTheFirst)
{
    COEMConfig config;
    ASSERT_TRUE(LoadBytes(config, Bytes()
                                      .Head(2)
                                      .Group("Settings", 1).Int("A", 1)
                                      .Group("Settings", 2).Int("A", 2).Int("B", 3)
                                      .End()
                                      .data));
    EXPECT_EQ(config.FindValue("Settings/A")->GetInt(), 1);
    EXPECT_EQ(config.FindValue("Settings/B"), nullptr);
    EXPECT_EQ(config.Children().size(), 2u);
    EXPECT_EQ(config.Groups().size(), 1u);
}

TEST(OEMConfig, ReadersGiveNeutralResultsForOtherKinds)
{
    COEMConfig config;
    ASSERT_TRUE(LoadBytes(config, Bytes()
                                      .Head(5)
                                      .Str("S", std::string("ab\0cd", 5))
                                      .Int("I", -5)
                                      .Node(3, "B").U8(7)
                                      .Node(4, "Empty").U32(0)
                                      .Node(4, "D").U32(3).Raw("xyz")
                                      .End()
                                      .data));
    COEMConfigValue& s = *config.FindValue("S");
    EXPECT_EQ(s.GetString(), "ab");
    EXPECT_EQ(s.GetInt(), 0);
    EXPECT_EQ(config.FindValue("I")->GetInt(), -5);
    EXPECT_FALSE(config.FindValue("I")->GetBool());
    EXPECT_TRUE(config.FindValue("B")->GetBool());
    EXPECT_EQ(config.FindValue("B")->GetInt(), 0);
    EXPECT_EQ(config.FindValue("Empty")->GetKind(), OEMValueKind::Data);
    EXPECT_EQ(config.FindValue("Empty")->GetDataSize(), 0u);
    EXPECT_EQ(config.FindValue("Empty")->GetData(), nullptr);
    EXPECT_EQ(config.FindValue("D")->GetDataSize(), 3u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(config.FindValue("D")->GetData()), 3), "xyz");
    EXPECT_EQ(config.FindValue("D")->GetString(), "");
    config.FindValue("D")->SetInt(4);
    EXPECT_EQ(config.FindValue("D")->GetData(), nullptr);
}

TEST(OEMDescription, BuildSaveLoadAndDumpRoundTrip)
{
    TempDir dir;
    dir.WriteFile(L"pic.bin", std::string("\x01\x02\x00\x03", 4));
    const std::string description =
        "# brand\n"
        "bool UpdateLanguageDef false\n"
        "group Settings\n"
        "  int ButtonWidth 64\n"
        "  int Position -1\n"
        "  string ConfigRegistryKey \"Software\\Varnox\"\n"
        "  bool FlatButtons true\n"
        "end\n"
        "group Graphics\n"
        "  data Splash pic.bin\n"
        "end\n";
    COEMConfig built;
    std::string error;
    ASSERT_TRUE(ParseOEMDescription(description, dir.Path(), built, error)) << error;
    std::wstring file = dir / L"out.OEM";
    ASSERT_TRUE(SaveOEMFile(file, built));
    COEMConfig loaded;
    ASSERT_TRUE(LoadOEMFile(file, loaded));
    EXPECT_EQ(DumpOEMTree(loaded), DumpOEMTree(built));
    EXPECT_EQ(DumpOEMTree(loaded),
              "//UpdateLanguageDef bool false\n"
              "//Settings group\n"
              "//Settings/ButtonWidth int 64\n"
              "//Settings/Position int -1\n"
              "//Settings/ConfigRegistryKey string \"Software\\Varnox\"\n"
              "//Settings/FlatButtons bool true\n"
              "//Graphics group\n"
              "//Graphics/Splash data 4 bytes\n");
}

TEST(OEMDescription, ErrorsNameTheLine)
{
    COEMConfig config;
    std::string error;
    EXPECT_FALSE(ParseOEMDescription("group A\nint X twelve\nend\n", L"", config, error));
    EXPECT_EQ(error.rfind("line 2:", 0), 0u) << error;
    EXPECT_FALSE(ParseOEMDescription("group A\n", L"", config, error));
    EXPECT_FALSE(ParseOEMDescription("end\n", L"", config, error));
    EXPECT_FALSE(ParseOEMDescription("data Pic missing.png\n", L"C:\\nowhere", config, error));
    EXPECT_FALSE(ParseOEMDescription("bool B yes\n", L"", config, error));
    EXPECT_FALSE(ParseOEMDescription("float F 1.5\n", L"", config, error));
    std::string deep;
    for (int i = 0; i <= COEMConfig::MaxNestingDepth; ++i)
        deep += "group G\n";
    EXPECT_FALSE(ParseOEMDescription(deep, L"", config, error));
}

}  // namespace
