// Docking and anchors on real windows: the design-time coordinates are used
// as given and resizing moves and stretches the controls as docked and anchored.
#include "ui/toolkit/Form.h"
#include "ui/toolkit/StdControls.h"
#include "ui/toolkit/Gdi.h"
#include "ui/toolkit/TestDriver.h"
#include <gtest/gtest.h>
#include <vector>

using namespace tk;

namespace {

class DockedForm : public Form {
public:
    Panel PanelTop{this};
    Panel PanelBottom{this};
    Button ButtonOK{&PanelBottom};
    Button ButtonCancel{&PanelBottom};
    Label LabelFooter{&PanelBottom};
    Panel PanelLeft{this};
    Panel PanelClient{this};

    DockedForm()
    {
        SetClientSize(400, 300);
        PanelTop.SetAlign(Align::Top);
        PanelTop.SetHeight(41);
        PanelBottom.SetAlign(Align::Bottom);
        PanelBottom.SetHeight(90);
        ButtonOK.SetBounds(239, 59, 75, 25);
        ButtonOK.SetAnchors(akRight | akBottom);
        ButtonCancel.SetBounds(320, 59, 75, 25);
        ButtonCancel.SetAnchors(akRight | akBottom);
        LabelFooter.SetBounds(10, 6, 227, 48);
        LabelFooter.SetAutoSize(false);
        LabelFooter.SetAnchors(akAll);
        PanelLeft.SetAlign(Align::Left);
        PanelLeft.SetWidth(120);
        PanelClient.SetAlign(Align::Client);
    }
};

RECT Rect(int left, int top, int right, int bottom) { return RECT{left, top, right, bottom}; }

void ExpectRect(const Control& control, RECT expected)
{
    RECT actual = control.BoundsPx();
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    EXPECT_EQ(actual.bottom, expected.bottom);
    // The window itself is where the layout says.
    RECT window;
    GetWindowRect(control.Handle(), &window);
    MapWindowPoints(nullptr, GetParent(control.Handle()), reinterpret_cast<POINT*>(&window), 2);
    EXPECT_TRUE(EqualRect(&window, &actual)) << window.left << "," << window.top << " " << window.right << ","
                                              << window.bottom;
}

}  // namespace

TEST(ToolkitLayout, DocksAndAnchorsFollowEveryResize)
{
    DockedForm form;
    form.CreateHandle();
    ASSERT_NE(form.Handle(), nullptr);
    ASSERT_EQ(form.Dpi(), 96);
    EXPECT_EQ(form.ClientWidth(), 400);
    EXPECT_EQ(form.ClientHeight(), 300);

    struct Step {
        int width, height;
    };
    for (Step step : {Step{400, 300}, Step{600, 450}, Step{350, 250}, Step{800, 200}, Step{400, 300}}) {
        SCOPED_TRACE(std::to_string(step.width) + "x" + std::to_string(step.height));
        form.SetClientSize(step.width, step.height);
        int w = step.width, h = step.height;
        ExpectRect(form.PanelTop, Rect(0, 0, w, 41));
        ExpectRect(form.PanelBottom, Rect(0, h - 90, w, h));
        ExpectRect(form.PanelLeft, Rect(0, 41, 120, h - 90));
        ExpectRect(form.PanelClient, Rect(120, 41, w, h - 90));
        // Anchored right and bottom: same distance to the panel's right edge.
        ExpectRect(form.ButtonOK, Rect(w - 161, 59, w - 86, 84));
        ExpectRect(form.ButtonCancel, Rect(w - 80, 59, w - 5, 84));
        // Anchored to all sides: stretches with the panel's width.
        ExpectRect(form.LabelFooter, Rect(10, 6, w - 163, 54));
    }
}

TEST(ToolkitLayout, HiddenDockedControlGivesUpItsSpace)
{
    DockedForm form;
    form.CreateHandle();
    form.PanelTop.SetVisible(false);
    ExpectRect(form.PanelLeft, Rect(0, 0, 120, 210));
    form.PanelTop.SetVisible(true);
    ExpectRect(form.PanelLeft, Rect(0, 41, 120, 210));
}

TEST(ToolkitLayout, BoundsSetAtRunTimeAreTheNewAnchorReference)
{
    DockedForm form;
    form.CreateHandle();
    form.SetClientSize(500, 300);
    form.ButtonOK.SetBounds(100, 10, 75, 25);
    form.SetClientSize(600, 300);
    ExpectRect(form.ButtonOK, Rect(200, 10, 275, 35));
}

namespace {

// Every control of a form, depth first.
void CollectRects(const Container& container, std::vector<RECT>& rects)
{
    for (Control* child : container.Controls()) {
        rects.push_back(child->BoundsPx());
        if (auto* inner = dynamic_cast<Container*>(child))
            CollectRects(*inner, rects);
    }
}

struct DpiOverride {
    explicit DpiOverride(int dpi) { SetDpiOverride(dpi); }
    ~DpiOverride() { SetDpiOverride(0); }
};

LONG FontHeight(const Control& control)
{
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control.Handle(), WM_GETFONT, 0, 0)), sizeof(font), &font);
    return font.lfHeight;
}

}  // namespace

TEST(ToolkitLayout, DesignUnitsAreScaledToTheMonitorDpi)
{
    DpiOverride dpi(144);
    DockedForm form;
    form.CreateHandle();
    EXPECT_EQ(form.Dpi(), 144);
    RECT client;
    GetClientRect(form.Handle(), &client);
    EXPECT_EQ(client.right, 600);
    EXPECT_EQ(client.bottom, 450);
    EXPECT_EQ(form.ClientWidth(), 400);   // read back in design units
    ExpectRect(form.PanelTop, Rect(0, 0, 600, MulDiv(41, 3, 2)));
    ExpectRect(form.PanelBottom, Rect(0, 450 - 135, 600, 450));
    // 8 points at 144 DPI.
    EXPECT_EQ(FontHeight(form.ButtonOK), -16);
    int left = MulDiv(239, 3, 2), width = MulDiv(75, 3, 2);
    int top = MulDiv(59, 3, 2), height = MulDiv(25, 3, 2);
    ExpectRect(form.ButtonOK, Rect(left, top, left + width, top + height));
    form.SetClientSize(600, 300);   // 300 design units wider
    ExpectRect(form.ButtonOK, Rect(left + 300, top, left + width + 300, top + height));
    EXPECT_EQ(form.ButtonOK.Left(), 239 + 200);
}

TEST(ToolkitLayout, MovingToAMonitorOfAnotherDpiRescalesTheForm)
{
    std::vector<RECT> expected;
    {
        DpiOverride dpi(144);
        DockedForm reference;
        reference.CreateHandle();
        CollectRects(reference, expected);
    }
    DockedForm form;
    form.CreateHandle();
    ASSERT_EQ(form.Dpi(), 96);
    RECT suggested{100, 100, 700, 550};
    AdjustWindowRectEx(&suggested, static_cast<DWORD>(GetWindowLongPtrW(form.Handle(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(form.Handle(), GWL_EXSTYLE)));
    SendMessageW(form.Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(form.Dpi(), 144);
    EXPECT_EQ(FontHeight(form.LabelFooter), -16);
    std::vector<RECT> actual;
    CollectRects(form, actual);
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t index = 0; index < actual.size(); ++index) {
        SCOPED_TRACE(index);
        EXPECT_TRUE(EqualRect(&actual[index], &expected[index]))
            << actual[index].left << "," << actual[index].top << " " << actual[index].right << ","
            << actual[index].bottom << " expected " << expected[index].left << "," << expected[index].top << " "
            << expected[index].right << "," << expected[index].bottom;
    }
    // Resizing afterwards keeps the anchors at the new scale.
    form.SetClientSize(500, 300);
    RECT button = form.ButtonCancel.BoundsPx();
    // At 144 DPI the button ended 7 pixels from the panel's right edge.
    EXPECT_EQ(button.right, 750 - 7);
}

namespace {

class GroupedForm : public Form {
public:
    GroupBox GBWipeMethod{this};
    Label LabelWipeMethodDescription{&GBWipeMethod};
    Image Picture{this};

    GroupedForm()
    {
        SetClientSize(506, 357);
        GBWipeMethod.SetBounds(116, 80, 370, 121);
        GBWipeMethod.SetAnchors(akLeft | akTop | akRight);
        GBWipeMethod.SetCaption(L"Description");
        LabelWipeMethodDescription.SetBounds(4, 12, 358, 97);
        LabelWipeMethodDescription.SetAnchors(akAll);
        LabelWipeMethodDescription.SetAutoSize(false);
        LabelWipeMethodDescription.SetWordWrap(true);
        Picture.SetBounds(0, 0, 57, 41);
    }
};

}  // namespace

TEST(ToolkitLayout, ControlsInAGroupBoxAreAnchoredToIt)
{
    GroupedForm form;
    form.CreateHandle();
    ExpectRect(form.GBWipeMethod, Rect(116, 80, 486, 201));
    ExpectRect(form.LabelWipeMethodDescription, Rect(4, 12, 362, 109));
    EXPECT_EQ(form.GBWipeMethod.Caption(), L"Description");
    form.SetClientSize(606, 357);
    ExpectRect(form.GBWipeMethod, Rect(116, 80, 586, 201));
    ExpectRect(form.LabelWipeMethodDescription, Rect(4, 12, 462, 109));
}

TEST(ToolkitLayout, ImageDrawsItsBitmapCentredWithTheCornerColourTransparent)
{
    GroupedForm form;
    form.CreateHandle();
    // 9 x 5 blue bitmap whose bottom-left pixel (the key) is green, like one more pixel inside.
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 9, 5);
    GdiObject<HBITMAP> canvas(CreateCompatibleBitmap(screen, 57, 41));
    ReleaseDC(nullptr, screen);
    {
        MemoryDC dc;
        dc.Select(bitmap);
        RECT all{0, 0, 9, 5};
        GdiObject<HBRUSH> blue(CreateSolidBrush(RGB(0, 0, 255)));
        FillRect(dc.Get(), &all, blue.Get());
        SetPixel(dc.Get(), 0, 4, RGB(0, 255, 0));
        SetPixel(dc.Get(), 4, 2, RGB(0, 255, 0));
    }
    form.Picture.SetBitmap(bitmap);
    form.Picture.SetCenter(true);
    form.Picture.SetTransparent(true);
    MemoryDC target;
    target.Select(canvas.Get());
    form.Picture.Paint(target.Get());
    int left = (57 - 9) / 2, top = (41 - 5) / 2;
    EXPECT_EQ(GetPixel(target.Get(), left + 1, top + 1), RGB(0, 0, 255));
    COLORREF background = form.Color();
    EXPECT_EQ(GetPixel(target.Get(), left + 4, top + 2), background);   // transparent
    EXPECT_EQ(GetPixel(target.Get(), left - 1, top), background);       // outside the picture
}
