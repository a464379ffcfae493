// The KESTO.OEM the build makes from data/branding/ (linked in as a resource):
// it must hold every required value with its kind, and pictures that decode
// and fit the toolbar.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "settings/Oem.h"
#include "ui/Utils.h"

namespace {

const char* const Buttons[] = {"ButtonWipe", "ButtonDriveWipe", "ButtonFreeSpaceWipe", "ButtonOptions", "ButtonRefresh",
                               "ButtonLog",  "ButtonHelp",      "ButtonAbout",         "ButtonExit"};

class DefaultBrandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        HRSRC resource = FindResourceW(nullptr, L"DEFAULTBRAND", MAKEINTRESOURCEW(10));  // RT_RCDATA
        ASSERT_NE(resource, nullptr);
        const char* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, resource)));
        std::istringstream in(std::string(bytes, SizeofResource(nullptr, resource)));
        ASSERT_TRUE(brand.Load(in));
    }
    void TearDown() override { CoUninitialize(); }

    void ExpectKind(const std::string& path, OEMValueKind kind)
    {
        COEMConfigValue* value = brand.FindValue(path);
        ASSERT_NE(value, nullptr) << path;
        EXPECT_EQ(value->GetKind(), kind) << path;
    }

    static SIZE PictureSize(const OwnedBitmap& bitmap)
    {
        BITMAP info{};
        GetObjectW(bitmap.get(), sizeof(info), &info);
        return SIZE{info.bmWidth, info.bmHeight};
    }

    COEMConfig brand;
};

TEST_F(DefaultBrandTest, HoldsEveryRequiredValue)
{
    for (const char* path : {"Settings/ConfigStorageType", "Settings/ButtonHeight", "Settings/ButtonWidth",
                             "Settings/SplashRounding", "Settings/SplashDisplayMS", "Settings/DefaultWidth",
                             "Settings/DefaultHeight"})
        ExpectKind(path, OEMValueKind::Integer);
    for (const char* path : {"UpdateLanguageDef", "Settings/FlatButtons", "Settings/ButtonHints",
                             "Settings/SecondConfirmation"})
        ExpectKind(path, OEMValueKind::Boolean);
    ExpectKind("Settings/ConfigRegistryKey", OEMValueKind::String);
    for (const char* button : Buttons)
        ExpectKind(std::string("Settings/") + button + "Position", OEMValueKind::Integer);

    EXPECT_EQ(brand.FindValue("Settings/ConfigStorageType")->GetInt(), 1);
    EXPECT_EQ(brand.FindValue("Settings/ConfigRegistryKey")->GetString(), "Software\\Varnox");
}

TEST_F(DefaultBrandTest, ButtonsTakeDistinctSlotsThatFitTheWindow)
{
    const int width = brand.FindValue("Settings/ButtonWidth")->GetInt();
    const int windowWidth = brand.FindValue("Settings/DefaultWidth")->GetInt();
    std::set<int> left, right;
    for (const char* button : Buttons) {
        int slot = brand.FindValue(std::string("Settings/") + button + "Position")->GetInt();
        EXPECT_TRUE((slot >= 0 ? left : right).insert(slot).second) << button;
    }
    ASSERT_FALSE(left.empty());
    ASSERT_FALSE(right.empty());
    // The last left slot ends before the first right slot starts, with the
    // window frame's few pixels to spare.
    EXPECT_LT((*left.rbegin() + 1) * width, windowWidth - 20 + *right.begin() * width);
}

TEST_F(DefaultBrandTest, PicturesDecodeAndGlyphsFitTheButtons)
{
    const int width = brand.FindValue("Settings/ButtonWidth")->GetInt();
    const int height = brand.FindValue("Settings/ButtonHeight")->GetInt();
    for (const char* button : Buttons) {
        OwnedBitmap glyph = LoadBrandingGraphic(brand, std::string("Graphics/") + button);
        ASSERT_NE(glyph, nullptr) << button;
        SIZE size = PictureSize(glyph);
        // Normal and disabled look side by side, room for a caption below.
        EXPECT_EQ(size.cx, 2 * size.cy) << button;
        EXPECT_LE(size.cx / 2, width - 8) << button;
        EXPECT_LE(size.cy, height - 20) << button;
        // The toolbar takes the bottom-left pixel as the transparent colour;
        // it is Windows' button face in both halves (Wine's is a shade
        // lighter), so smooth edges blend into the face.
        DIBSECTION section{};
        ASSERT_EQ(GetObjectW(glyph.get(), sizeof(section), &section), static_cast<int>(sizeof(section)));
        const auto* pixels = static_cast<const uint32_t*>(section.dsBm.bmBits);
        EXPECT_EQ(pixels[(size.cy - 1) * size.cx], 0xFFF0F0F0u) << button;
        EXPECT_EQ(pixels[(size.cy - 1) * size.cx + size.cx / 2], 0xFFF0F0F0u) << button;
    }
    for (const char* picture : {"Graphics/Splash", "Graphics/About", "Graphics/Exclamation"}) {
        OwnedBitmap bitmap = LoadBrandingGraphic(brand, picture);
        ASSERT_NE(bitmap, nullptr) << picture;
        EXPECT_GE(PictureSize(bitmap).cx, 32) << picture;
    }
}

}  // namespace
