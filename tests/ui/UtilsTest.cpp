#include <gtest/gtest.h>

#include "platform/Shellfolder.h"
#include "settings/Oem.h"
#include "ui/Utils.h"

namespace {

TEST(FormatSizeKB, WholeKilobytesGroupedBySpaces)
{
    const struct {
        int64_t size;
        const wchar_t* text;
    } rows[] = {{0, L"0 kB"},           {1, L"1 kB"},           {1023, L"1 kB"},
                {1024, L"1 kB"},        {2047, L"1 kB"},        {2048, L"2 kB"},
                {1023999, L"999 kB"},   {1024000, L"1 000 kB"}, {1048576, L"1 024 kB"},
                {5000000000, L"4 882 812 kB"}, {1024LL * 1000000000, L"1 000 000 000 kB"}};
    for (const auto& row : rows)
        EXPECT_EQ(FormatSizeKB(row.size), row.text) << row.size;
}

TEST(FormatFileTime, LocalDateAndTimeOrNothing)
{
    SYSTEMTIME fields{2024, 3, 0, 15, 12, 30, 45, 0};
    FILETIME utc;
    ASSERT_TRUE(SystemTimeToFileTime(&fields, &utc));
    std::wstring text = FormatFileTime(utc);
    EXPECT_NE(text.find(L"2024"), std::wstring::npos);
    EXPECT_NE(text.find(L"45"), std::wstring::npos);
    EXPECT_NE(text.find(L' '), std::wstring::npos);
    // Beyond the calendar the system converts.
    EXPECT_EQ(FormatFileTime(0xFFFFFFFFFFFFFFFFull), L"");
}

TEST(LoadBrandingGraphic, OnlyDecodableDataValuesArePictures)
{
    COEMConfig branding;
    COEMConfigGroup* graphics = branding.AddGroup("Graphics");
    graphics->AddValue("Number")->SetInt(5);
    graphics->AddValue("Empty")->SetData(nullptr, 0);
    graphics->AddValue("Text")->SetData("not an image", 12);
    // Smallest 1x1 24-bit BMP.
    const uint8_t bmp[] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0,
                           0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 0};
    graphics->AddValue("Pixel")->SetData(bmp, sizeof(bmp));
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    EXPECT_EQ(LoadBrandingGraphic(branding, "Graphics/Number"), nullptr);
    EXPECT_EQ(LoadBrandingGraphic(branding, "Graphics/Empty"), nullptr);
    EXPECT_EQ(LoadBrandingGraphic(branding, "Graphics/Text"), nullptr);
    EXPECT_EQ(LoadBrandingGraphic(branding, "Graphics/Absent"), nullptr);
    EXPECT_EQ(LoadBrandingGraphic(branding, "Graphics"), nullptr);
    OwnedBitmap pixel = LoadBrandingGraphic(branding, "Graphics/Pixel");
    ASSERT_NE(pixel, nullptr);
    BITMAP info{};
    GetObjectW(pixel.get(), sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, 1);
    CoUninitialize();
}

TEST(ApplicationInstances, AreSingleAndBrandingComesFirst)
{
    EXPECT_EQ(&OEMConfig(), &OEMConfig());
    EXPECT_EQ(&IconCache(), &IconCache());
    EXPECT_NE(IconCache().ImageList(), nullptr);
}

}  // namespace

TEST(Utils, TheDefaultLogFileLiesInTheDocumentsFolder)
{
    ShellFolder documents(CSIDL_PERSONAL);
    ASSERT_FALSE(documents.fileSystemPath.empty());
    std::wstring folder = documents.fileSystemPath;
    if (folder.back() == L'\\')
        folder.pop_back();
    EXPECT_EQ(DefaultLogPath(), folder + L"\\Varnox.log");
    EXPECT_EQ(DefaultLogPath().find(L"\\\\"), std::wstring::npos) << "no doubled backslash";
}
