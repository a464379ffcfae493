// The controls with behaviour of their own, on real windows.
#include "ui/toolkit/Components.h"
#include "ui/toolkit/Form.h"
#include "ui/toolkit/FrameControls.h"
#include "ui/toolkit/InputControls.h"
#include "ui/toolkit/ListView.h"
#include "ui/toolkit/PictureButton.h"
#include "ui/toolkit/TestDriver.h"
#include "ui/toolkit/TreeView.h"
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

using namespace tk;

namespace {

class PaneForm : public Form {
public:
    Panel PanelSelection{this};
    TreeView TV{&PanelSelection};
    Splitter SplitterHorizontal{&PanelSelection};
    ListView LV{&PanelSelection};
    StatusBar Status{this};

    PaneForm()
    {
        SetClientSize(651, 566);
        Status.SetPanelCount(3);
        PanelSelection.SetAlign(Align::Client);
        TV.SetAlign(Align::Left);
        TV.SetWidth(201);
        SplitterHorizontal.SetAlign(Align::Left);
        SplitterHorizontal.SetWidth(5);
        SplitterHorizontal.SetMinSize(80);
        LV.SetAlign(Align::Client);
        LV.SetMultiSelect(true);
        LV.AddColumn(L"Name", 150);
        LV.AddColumn(L"Size", 80);
    }
};

void Drag(Splitter& splitter, int fromX, int toX)
{
    HWND window = splitter.Handle();
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(fromX, 10));
    SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(toX, 10));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(toX, 10));
}

}  // namespace

TEST(ToolkitSplitter, DragResizesTheNeighbourWithinTheMinimum)
{
    PaneForm form;
    form.CreateHandle();
    ASSERT_EQ(form.SplitterHorizontal.Neighbour(), &form.TV);
    int statusTop = form.Status.BoundsPx().top;
    EXPECT_EQ(form.PanelSelection.BoundsPx().bottom, statusTop);
    EXPECT_EQ(form.LV.BoundsPx().left, 206);

    Drag(form.SplitterHorizontal, 2, 52);   // 50 pixels to the right
    EXPECT_EQ(form.TV.Width(), 251);
    EXPECT_EQ(form.SplitterHorizontal.BoundsPx().left, 251);
    EXPECT_EQ(form.LV.BoundsPx().left, 256);
    EXPECT_EQ(form.LV.BoundsPx().right, 651);

    Drag(form.SplitterHorizontal, 2, -400);  // far left: the tree keeps its minimum
    EXPECT_EQ(form.TV.Width(), 80);

    Drag(form.SplitterHorizontal, 2, 900);   // far right: the list keeps its minimum
    EXPECT_EQ(form.LV.BoundsPx().right - form.LV.BoundsPx().left, 80);
    EXPECT_EQ(form.TV.Width(), 651 - 5 - 80);

    // The tree's new width holds through a resize of the window.
    form.SetClientSize(800, 500);
    EXPECT_EQ(form.TV.Width(), 651 - 5 - 80);
    EXPECT_EQ(form.LV.BoundsPx().right, 800);
}

TEST(ToolkitListView, MultiSelectionReportsRowsInOrderWithTheirData)
{
    PaneForm form;
    form.CreateHandle();
    ListView& list = form.LV;
    std::vector<std::pair<int, bool>> events;
    list.OnSelectItem = [&](int row, bool selected) { events.emplace_back(row, selected); };
    for (int row = 0; row < 5; ++row) {
        EXPECT_EQ(list.AddItem(L"row" + std::to_wstring(row), std::make_unique<int>(10 + row)), row);
        list.SetSubItem(row, 1, std::to_wstring(row * 100));
    }
    list.SetSelected(3, true);
    list.SetSelected(1, true);
    list.SetSelected(4, true);
    list.SetSelected(3, false);

    EXPECT_EQ(list.SelectedRows(), (std::vector<int>{1, 4}));
    EXPECT_EQ(list.SelCount(), 2);
    ASSERT_NE(list.Data<int>(4), nullptr);
    EXPECT_EQ(*list.Data<int>(4), 14);
    EXPECT_EQ(list.Data<long>(4), nullptr) << "data read back as another type";
    EXPECT_EQ(list.ItemText(4, 1), L"400");
    std::vector<std::pair<int, bool>> expected{{3, true}, {1, true}, {4, true}, {3, false}};
    EXPECT_EQ(events, expected);

    // Select all and clear all change many rows in one step (the system may
    // report them as one change of "every row"); each changed row is still
    // reported, and no report contradicts the row's new state.
    auto reported = [&](bool selected) {
        std::vector<int> rows;
        for (auto [row, state] : events) {
            EXPECT_EQ(state, selected) << "row " << row;
            if (std::find(rows.begin(), rows.end(), row) == rows.end())
                rows.push_back(row);
        }
        std::sort(rows.begin(), rows.end());
        events.clear();
        return rows;
    };
    events.clear();
    ListView_SetItemState(list.Handle(), -1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(list.SelCount(), 5);
    std::vector<int> selectedRows = reported(true);
    const std::vector<int> newlySelected{0, 2, 3};
    EXPECT_TRUE(std::includes(selectedRows.begin(), selectedRows.end(), newlySelected.begin(), newlySelected.end()));
    ListView_SetItemState(list.Handle(), -1, 0, LVIS_SELECTED);
    EXPECT_EQ(list.SelCount(), 0);
    EXPECT_EQ(reported(false), (std::vector<int>{0, 1, 2, 3, 4}));

    std::vector<void*> released;
    list.OnDeletion = [&](int, void* rowData) { released.push_back(rowData); };
    list.Clear();
    EXPECT_EQ(released.size(), 5u);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.OwnedDataCount(), 0u);
}

TEST(ToolkitListView, UpdatesAreDrawnOnceAtTheOutermostEnd)
{
    PaneForm form;
    form.Show();
    ListView& list = form.LV;
    UpdateWindow(form.Handle());
    ValidateRect(list.Handle(), nullptr);
    list.BeginUpdate();
    list.BeginUpdate();
    for (int row = 0; row < 300; ++row)
        list.AddItem(L"row" + std::to_wstring(row));
    list.EndUpdate();
    EXPECT_TRUE(list.Updating());
    EXPECT_FALSE(GetUpdateRect(list.Handle(), nullptr, FALSE)) << "drawn while suspended";
    list.EndUpdate();
    EXPECT_FALSE(list.Updating());
    EXPECT_TRUE(GetUpdateRect(list.Handle(), nullptr, FALSE)) << "not redrawn after the update";
    EXPECT_EQ(list.Count(), 300);
    form.Hide();
}

TEST(ToolkitListView, ColumnWidthsAndClientWidth)
{
    PaneForm form;
    form.CreateHandle();
    EXPECT_EQ(form.LV.ColumnWidth(0), 150);
    form.LV.SetColumnWidth(1, 120);
    EXPECT_EQ(form.LV.ColumnWidth(1), 120);
    RECT area;
    GetClientRect(form.LV.Handle(), &area);
    EXPECT_EQ(form.LV.ClientWidth(), area.right);
}

TEST(ToolkitTreeView, PlaceholderChildIsReplacedOnExpansion)
{
    PaneForm form;
    form.CreateHandle();
    TreeView& tree = form.TV;
    TreeNode root = tree.AddChild(nullptr, L"Desktop", std::make_unique<int>(1));
    tree.AddPlaceholder(root);
    ASSERT_TRUE(tree.IsPlaceholder(tree.FirstChild(root)));
    int expansions = 0;
    std::vector<void*> released;
    tree.OnDeletion = [&](TreeNode, void* data) { released.push_back(data); };
    tree.OnExpanding = [&](TreeNode node, bool& allow) {
        ++expansions;
        if (tree.IsPlaceholder(tree.FirstChild(node))) {
            tree.DeleteChildren(node);
            tree.AddChild(node, L"Documents", std::make_unique<int>(2));
        }
        allow = true;
    };
    tree.Expand(root);
    EXPECT_EQ(expansions, 1);
    EXPECT_TRUE(tree.Expanded(root));
    ASSERT_EQ(tree.ChildCount(root), 1);
    TreeNode child = tree.FirstChild(root);
    EXPECT_EQ(tree.NodeText(child), L"Documents");
    ASSERT_NE(tree.Data<int>(child), nullptr);
    EXPECT_EQ(*tree.Data<int>(child), 2);
    EXPECT_FALSE(tree.IsPlaceholder(child));
    EXPECT_EQ(released, std::vector<void*>{nullptr});   // the placeholder went

    TreeNode selected = nullptr;
    tree.OnChange = [&](TreeNode node) { selected = node; };
    tree.Select(child);
    EXPECT_EQ(selected, child);
    EXPECT_EQ(tree.Selected(), child);
}

TEST(ToolkitTreeView, RefusedExpansionKeepsTheNodeClosed)
{
    PaneForm form;
    form.CreateHandle();
    TreeView& tree = form.TV;
    TreeNode root = tree.AddChild(nullptr, L"Network");
    tree.AddPlaceholder(root);
    tree.OnExpanding = [](TreeNode, bool& allow) { allow = false; };
    tree.Expand(root);
    EXPECT_FALSE(tree.Expanded(root));
}

namespace {

// A glyph of two 8x8 looks: normal red, disabled blue, with a green
// transparent corner pixel in each.
HBITMAP MakeGlyph()
{
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 8);
    ReleaseDC(nullptr, screen);
    MemoryDC dc;
    dc.Select(bitmap);
    RECT normal{0, 0, 8, 8}, disabled{8, 0, 16, 8};
    GdiObject<HBRUSH> red(CreateSolidBrush(RGB(255, 0, 0))), blue(CreateSolidBrush(RGB(0, 0, 255)));
    FillRect(dc.Get(), &normal, red.Get());
    FillRect(dc.Get(), &disabled, blue.Get());
    SetPixel(dc.Get(), 0, 7, RGB(0, 255, 0));
    SetPixel(dc.Get(), 8, 7, RGB(0, 255, 0));
    return bitmap;
}

class ToolbarForm : public Form {
public:
    Panel PanelToolBar{this};
    PictureButton ButtonWipe{&PanelToolBar};

    ToolbarForm()
    {
        SetClientSize(200, 100);
        PanelToolBar.SetAlign(Align::Top);
        PanelToolBar.SetHeight(64);
        ButtonWipe.SetBounds(4, 4, 56, 56);
        ButtonWipe.SetCaption(L"Delete");
        ButtonWipe.SetGlyph(MakeGlyph());
        ButtonWipe.SetHint(L"Wipe the selection");
    }
};

COLORREF PixelAtGlyphCentre(const PictureButton& button)
{
    RECT rect{0, 0, 56, 56};
    HDC screen = GetDC(nullptr);
    GdiObject<HBITMAP> canvas(CreateCompatibleBitmap(screen, 56, 56));
    ReleaseDC(nullptr, screen);
    MemoryDC dc;
    dc.Select(canvas.Get());
    button.Paint(dc.Get(), rect, false, false);
    // The glyph is centred horizontally and sits above the caption.
    for (int y = 0; y < 56; ++y) {
        COLORREF pixel = GetPixel(dc.Get(), 28, y);
        if (pixel == RGB(255, 0, 0) || pixel == RGB(0, 0, 255))
            return pixel;
    }
    return CLR_INVALID;
}

}  // namespace

TEST(ToolkitPictureButton, DisabledStateDrawsTheDisabledHalfOfTheGlyph)
{
    ToolbarForm form;
    form.CreateHandle();
    PictureButton& button = form.ButtonWipe;
    RECT source = button.GlyphSourceRect();
    EXPECT_EQ(source.left, 0);
    EXPECT_EQ(source.right, 8);
    EXPECT_EQ(PixelAtGlyphCentre(button), RGB(255, 0, 0));

    button.SetEnabled(false);
    source = button.GlyphSourceRect();
    EXPECT_EQ(source.left, 8);
    EXPECT_EQ(source.right, 16);
    EXPECT_EQ(PixelAtGlyphCentre(button), RGB(0, 0, 255));
    EXPECT_FALSE(Press(button));
}

TEST(ToolkitPictureButton, ClickRunsTheHandlerAndTheHintIsATooltip)
{
    ToolbarForm form;
    form.Show();
    int clicks = 0;
    form.ButtonWipe.OnClick = [&] { ++clicks; };
    EXPECT_TRUE(Press(form.ButtonWipe));
    EXPECT_EQ(clicks, 1);

    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V1_SIZE;
    tool.hwnd = form.Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(form.ButtonWipe.Handle());
    wchar_t text[80] = {};
    tool.lpszText = text;
    SendMessageW(form.ToolTipHandle(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, L"Wipe the selection");
    form.Hide();
}

namespace {

class SettingsForm : public Form {
public:
    ComboBox CBWipeMethod{this};
    TrackBar TBWipePasses{this};
    Label LabelWipePassesCount{this};
    RadioButton RBLogDisabled{this};
    RadioButton RBLogEnabled{this};
    Edit EditLog{this};
    StatusBar Status{this};

    SettingsForm()
    {
        SetClientSize(506, 357);
        CBWipeMethod.SetBounds(116, 53, 374, 21);
        CBWipeMethod.AddItem(L"Zero", 0);
        CBWipeMethod.AddItem(L"Random", 3);
        TBWipePasses.SetBounds(108, 207, 358, 34);
        TBWipePasses.SetRange(1, 10);
        TBWipePasses.OnChange = [this] { LabelWipePassesCount.SetCaption(std::to_wstring(TBWipePasses.Position())); };
        LabelWipePassesCount.SetBounds(472, 212, 20, 13);
        RBLogDisabled.SetBounds(120, 247, 370, 17);
        RBLogEnabled.SetBounds(120, 266, 370, 17);
        EditLog.SetBounds(120, 289, 302, 21);
        EditLog.SetReadOnly(true);
        Status.SetPanelCount(2);
        Status.SetPanelWidth(0, 100);
    }
};

}  // namespace

TEST(ToolkitControls, ListTrackRadioEditAndStatusKeepTheirValues)
{
    SettingsForm form;
    form.CreateHandle();
    EXPECT_EQ(form.CBWipeMethod.Count(), 2);
    form.CBWipeMethod.SetItemIndex(1);
    EXPECT_EQ(form.CBWipeMethod.ItemIndex(), 1);
    EXPECT_EQ(form.CBWipeMethod.ItemData(1), 3);
    EXPECT_EQ(form.CBWipeMethod.Text(), L"Random");
    EXPECT_EQ(form.CBWipeMethod.Width(), 374);

    form.TBWipePasses.SetPosition(4);
    EXPECT_EQ(form.LabelWipePassesCount.Caption(), L"4");
    form.TBWipePasses.SetPosition(40);   // clamped to the maximum
    EXPECT_EQ(form.TBWipePasses.Position(), 10);
    EXPECT_EQ(form.LabelWipePassesCount.Caption(), L"10");

    form.RBLogEnabled.SetChecked(true);
    form.RBLogDisabled.SetChecked(true);
    EXPECT_FALSE(form.RBLogEnabled.Checked());
    EXPECT_TRUE(form.RBLogDisabled.Checked());

    form.EditLog.SetText(L"C:\\Users\\log & more.log");
    EXPECT_EQ(form.EditLog.Text(), L"C:\\Users\\log & more.log");
    form.Status.SetPanelText(1, L"3 files");
    wchar_t text[32] = {};
    SendMessageW(form.Status.Handle(), SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"3 files");
}

TEST(ToolkitControls, TimerRunsInsideTheMessageLoop)
{
    Timer timer;
    int ticks = 0;
    timer.OnTimer = [&] {
        if (++ticks == 3)
            timer.SetEnabled(false);
    };
    timer.SetInterval(10);
    timer.SetEnabled(true);
    DWORD start = GetTickCount();
    MSG message;
    while (timer.Enabled() && GetTickCount() - start < 5000) {
        if (GetMessageW(&message, nullptr, 0, 0) > 0)
            DispatchMessageW(&message);
    }
    EXPECT_EQ(ticks, 3);
}

TEST(ToolkitControls, SaveDialogFilterBecomesTheSystemList)
{
    std::wstring filter = SystemFilter(L"Log files (*.log)|*.log|All files|*.*");
    EXPECT_EQ(filter, std::wstring(L"Log files (*.log)\0*.log\0All files\0*.*\0\0", 39));
}

TEST(ToolkitPictureButton, FlatUntilTheMouseIsOverIt)
{
    ToolbarForm form;
    form.Show();
    PictureButton& button = form.ButtonWipe;
    auto cornerPixel = [&] {
        HDC screen = GetDC(nullptr);
        GdiObject<HBITMAP> canvas(CreateCompatibleBitmap(screen, 56, 56));
        ReleaseDC(nullptr, screen);
        MemoryDC dc;
        dc.Select(canvas.Get());
        RECT rect{0, 0, 56, 56};
        button.Paint(dc.Get(), rect, false, false);
        return GetPixel(dc.Get(), 0, 0);
    };
    EXPECT_FALSE(button.Hot());
    EXPECT_EQ(cornerPixel(), form.PanelToolBar.Color());
    SendMessageW(button.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    EXPECT_TRUE(button.Hot());
    EXPECT_EQ(cornerPixel(), GetSysColor(COLOR_BTNHIGHLIGHT));
    SendMessageW(button.Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(button.Hot());
    EXPECT_EQ(cornerPixel(), form.PanelToolBar.Color());
    form.Hide();
}
