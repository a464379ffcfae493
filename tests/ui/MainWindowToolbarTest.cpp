// The branded toolbar: slots from either edge, glyphs, hints, and the
// translation of the window after a change of language.
#include <gtest/gtest.h>

#include <objbase.h>

#include <sstream>

#include "ui/MainWindowHarness.h"
#include "ui/toolkit/Application.h"

namespace {

class MainWindowToolbar : public ::testing::Test {
protected:
    void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override { CoUninitialize(); }
};

int ToolbarWidth(TFormMain& window)
{
    RECT area;
    GetClientRect(window.PanelToolBar.Handle(), &area);
    return area.right;
}

std::wstring ColumnCaption(tk::ListView& list, int column)
{
    wchar_t text[64] = {};
    LVCOLUMNW info{};
    info.mask = LVCF_TEXT;
    info.pszText = text;
    info.cchTextMax = 64;
    SendMessageW(list.Handle(), LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&info));
    return text;
}

// The glyph of the default brand's wipe button (linked into the tests).
void AddWipeGlyph(COEMConfig& brand)
{
    HRSRC resource = FindResourceW(nullptr, L"DEFAULTBRAND", MAKEINTRESOURCEW(10));
    ASSERT_NE(resource, nullptr);
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, resource)));
    std::istringstream in(std::string(bytes, SizeofResource(nullptr, resource)));
    COEMConfig standard;
    ASSERT_TRUE(standard.Load(in));
    COEMConfigValue* glyph = standard.FindValue("Graphics/ButtonWipe");
    ASSERT_NE(glyph, nullptr);
    brand.AddGroup("Graphics")->AddValue("ButtonWipe")->SetData(glyph->GetData(), glyph->GetDataSize());
}

TEST_F(MainWindowToolbar, SlotsCountFromTheLeftOrFromTheRightEdge)
{
    MainWindowHarness harness(AddWipeGlyph);
    TFormMain& window = harness.Start();
    RECT toolbar = window.PanelToolBar.BoundsPx();
    EXPECT_EQ(toolbar.bottom - toolbar.top, 56);
    EXPECT_EQ(window.ButtonWipe.BoundsPx().left, 0);
    EXPECT_EQ(window.ButtonDriveWipe.BoundsPx().left, 70);
    EXPECT_EQ(window.ButtonOptions.BoundsPx().left, 350);
    RECT exit = window.ButtonExit.BoundsPx();
    EXPECT_EQ(exit.right, ToolbarWidth(window));
    EXPECT_EQ(exit.right - exit.left, 70);
    EXPECT_EQ(exit.bottom - exit.top, 56);
    EXPECT_EQ(window.ButtonHelp.BoundsPx().left, ToolbarWidth(window) - 3 * 70);

    // Widened, the right-hand buttons follow the edge and the others stay.
    RECT bounds = window.OuterBoundsPx();
    bounds.right += 200;
    window.SetOuterBoundsPx(bounds);
    EXPECT_EQ(window.ButtonExit.BoundsPx().right, ToolbarWidth(window));
    EXPECT_EQ(window.ButtonAbout.BoundsPx().right, ToolbarWidth(window) - 70);
    EXPECT_EQ(window.ButtonWipe.BoundsPx().left, 0);
    EXPECT_EQ(window.ButtonOptions.BoundsPx().left, 350);
}

TEST_F(MainWindowToolbar, GlyphsHoldTheNormalAndTheDisabledLook)
{
    MainWindowHarness harness(AddWipeGlyph);
    TFormMain& window = harness.Start();
    ASSERT_NE(window.ButtonWipe.Glyph(), nullptr);
    EXPECT_EQ(window.ButtonWipe.NumGlyphs(), 2);
    BITMAP glyph{};
    GetObjectW(window.ButtonWipe.Glyph(), sizeof(glyph), &glyph);
    // Nothing is selected yet, so the wipe button shows its disabled half.
    EXPECT_FALSE(window.ButtonWipe.Enabled());
    EXPECT_EQ(window.ButtonWipe.GlyphSourceRect().left, glyph.bmWidth / 2);
    EXPECT_EQ(window.ButtonExit.Glyph(), nullptr);
    EXPECT_EQ(window.ButtonExit.GlyphSourceRect().right, 0);
}

TEST_F(MainWindowToolbar, HintsAreShownOnlyWhenTheBrandingAsks)
{
    MainWindowHarness withHints;
    EXPECT_EQ(withHints.Start().ButtonWipe.Hint(), L"Wipe the selection");
    EXPECT_EQ(withHints.Window().ButtonLog.Hint(), L"The log");

    MainWindowHarness withoutHints([](COEMConfig& brand) { brand.FindValue("Settings/ButtonHints")->SetBool(false); });
    TFormMain& window = withoutHints.Start();
    EXPECT_TRUE(window.ButtonWipe.Hint().empty());
    EXPECT_EQ(window.ButtonWipe.Caption(), L"Wipe");
}

TEST_F(MainWindowToolbar, ALanguageChangeTranslatesTheWindowWithoutARestart)
{
    MainWindowHarness harness;
    TFormMain& window = harness.Start();
    EXPECT_EQ(window.Caption(), L"Varnox Test");
    EXPECT_EQ(tk::Application::Instance().Title(), L"Varnox Test");
    EXPECT_EQ(ColumnCaption(window.LV, 1), L"Modified");

    harness.WriteInt(L"Config", L"Language", 7);
    window.ApplyLanguage();
    EXPECT_EQ(window.ButtonWipe.Caption(), L"Löschen");
    EXPECT_EQ(window.ButtonWipe.Hint(), L"Auswahl löschen");
    EXPECT_EQ(window.ButtonExit.Caption(), L"Exit") << "texts the translation lacks come from the base file";
    EXPECT_EQ(ColumnCaption(window.LV, 1), L"Geändert");
    EXPECT_EQ(ColumnCaption(window.LV, 3), L"Größe");
    EXPECT_EQ(window.Caption(), L"Varnox Probe");
    EXPECT_EQ(tk::Application::Instance().Title(), L"Varnox Probe");
    EXPECT_EQ(window.Font().Size, 10);
}

}  // namespace
