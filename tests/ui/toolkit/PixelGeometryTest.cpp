// Sizes that are stored or measured in pixels stay pixels at every DPI,
// while design-time layouts scale.
#include "ui/toolkit/Application.h"
#include "ui/toolkit/Form.h"
#include "ui/toolkit/Gdi.h"
#include "ui/toolkit/ListView.h"
#include "ui/toolkit/StdControls.h"
#include "ui/toolkit/TreeView.h"
#include <gtest/gtest.h>

using namespace tk;

namespace {

class PaneForm : public Form {
public:
    TreeView TV{this};
    ListView LV{this};

    PaneForm()
    {
        SetClientSize(651, 566);
        TV.SetAlign(Align::Left);
        TV.SetWidth(201);
        LV.SetAlign(Align::Client);
        LV.AddColumn(L"Name", 150);
        LV.AddColumn(L"Modified", 100);
    }
};

class PixelGeometry : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { SetDpiOverride(GetParam()); }
    void TearDown() override { SetDpiOverride(0); }
};

}  // namespace

TEST_P(PixelGeometry, RememberedLayoutComesBackUnscaled)
{
    // What a first run stores, at this DPI.
    RECT stored;
    int storedTree, storedColumn;
    {
        PaneForm form;
        form.SetOuterBoundsPx(RECT{40, 50, 40 + 300, 50 + 280});
        form.TV.SetDockedSizePx(300);
        form.LV.SetColumnWidthPx(1, 300);
        EXPECT_EQ(form.LV.ColumnWidthPx(1), 300) << "before the window exists";
        form.CreateHandle();
        EXPECT_EQ(form.Dpi(), GetParam());
        stored = form.OuterBoundsPx();
        storedTree = form.TV.DockedSizePx();
        storedColumn = form.LV.ColumnWidthPx(1);
        EXPECT_EQ(stored.right - stored.left, 300);
        EXPECT_EQ(stored.bottom - stored.top, 280);
        EXPECT_EQ(storedTree, 300);
        EXPECT_EQ(form.TV.BoundsPx().right - form.TV.BoundsPx().left, 300);
        EXPECT_EQ(storedColumn, 300);
        EXPECT_EQ(static_cast<int>(SendMessageW(form.LV.Handle(), LVM_GETCOLUMNWIDTH, 1, 0)), 300);
    }
    // Restored after the windows exist, as a window restores its layout.
    PaneForm form;
    form.CreateHandle();
    form.SetOuterBoundsPx(stored);
    form.TV.SetDockedSizePx(storedTree);
    form.LV.SetColumnWidthPx(1, storedColumn);
    RECT restored = form.OuterBoundsPx();
    EXPECT_TRUE(EqualRect(&restored, &stored));
    RECT window;
    GetWindowRect(form.Handle(), &window);
    EXPECT_TRUE(EqualRect(&window, &stored));
    EXPECT_EQ(form.TV.DockedSizePx(), 300);
    EXPECT_EQ(form.LV.ColumnWidthPx(1), 300);
}

TEST_P(PixelGeometry, DesignUnitsScaleAndPicturesDoNot)
{
    PaneForm form;
    form.CreateHandle();
    int scaled = MulDiv(150, GetParam(), 96);
    EXPECT_EQ(form.LV.ColumnWidthPx(0), scaled) << "a design-time column width scales";
    EXPECT_EQ(form.TV.DockedSizePx(), MulDiv(201, GetParam(), 96));

    // A window sized to a 400 x 300 picture, before and after its window exists.
    for (bool early : {true, false}) {
        Form picture;
        picture.SetBorderStyle(BorderStyle::Dialog);
        if (early)
            picture.SetClientSizePx(400, 300);
        picture.CreateHandle();
        if (!early)
            picture.SetClientSizePx(400, 300);
        RECT client;
        GetClientRect(picture.Handle(), &client);
        EXPECT_EQ(client.right, 400) << (early ? "set early" : "set late");
        EXPECT_EQ(client.bottom, 300);
        EXPECT_EQ(picture.ClientWidthPx(), 400);
        EXPECT_EQ(picture.ClientHeightPx(), 300);
    }
}

INSTANTIATE_TEST_SUITE_P(Dpi, PixelGeometry, ::testing::Values(96, 144));

TEST(ToolkitPlacement, CentredOnAMainWindowThatIsPartlyOffScreen)
{
    Form main;
    main.SetOuterBoundsPx(RECT{-300, 100, -300 + 600, 100 + 400});
    Application::Instance().SetMainForm(&main);
    main.Show();
    Form child;
    child.SetPosition(Position::MainFormCenter);
    child.SetOuterBoundsPx(RECT{0, 0, 200, 100});
    child.Show();
    RECT placed = child.OuterBoundsPx();
    EXPECT_EQ(placed.left, -300 + (600 - 200) / 2) << "not clamped to the screen";
    EXPECT_EQ(placed.top, 100 + (400 - 100) / 2);
    child.Hide();
    main.Hide();
    Application::Instance().SetMainForm(nullptr);
}
