#include "DemoForms.h"
#include <shellapi.h>
#include <string>

using namespace tk;

// ---- Main window frame ----

namespace {

// A sample glyph: a coloured disc, then the same disc in grey; the magenta
// corner is the transparent colour.
HBITMAP MakeGlyph(COLORREF color)
{
    const int size = 32;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size * 2, size);
    ReleaseDC(nullptr, screen);
    MemoryDC dc;
    dc.Select(bitmap);
    RECT all{0, 0, size * 2, size};
    GdiObject<HBRUSH> key(CreateSolidBrush(RGB(255, 0, 255)));
    FillRect(dc.Get(), &all, key.Get());
    int grey = (GetRValue(color) * 30 + GetGValue(color) * 59 + GetBValue(color) * 11) / 100;
    COLORREF looks[2] = {color, RGB(160 + grey / 4, 160 + grey / 4, 160 + grey / 4)};
    for (int look = 0; look < 2; ++look) {
        GdiObject<HBRUSH> fill(CreateSolidBrush(looks[look]));
        HGDIOBJ oldBrush = SelectObject(dc.Get(), fill.Get());
        HGDIOBJ oldPen = SelectObject(dc.Get(), GetStockObject(BLACK_PEN));
        Ellipse(dc.Get(), look * size + 3, 3, look * size + size - 3, size - 3);
        SelectObject(dc.Get(), oldPen);
        SelectObject(dc.Get(), oldBrush);
    }
    return bitmap;
}

}  // namespace

TFormMainDemo::TFormMainDemo()
{
    SetClientSize(651, 566);
    SetPosition(Position::ScreenCenter);
    PanelToolBar.SetAlign(Align::Top);
    PanelToolBar.SetHeight(64);
    struct Tool {
        PictureButton* button;
        const wchar_t* caption;
        COLORREF color;
    };
    const Tool tools[] = {
        {&ButtonWipe, L"Delete", RGB(200, 40, 40)},         {&ButtonDriveWipe, L"Drive Wipe", RGB(200, 120, 0)},
        {&ButtonFreeSpaceWipe, L"Free Space Wipe", RGB(0, 140, 200)}, {&ButtonOptions, L"Options", RGB(90, 90, 200)},
        {&ButtonRefresh, L"Refresh", RGB(0, 160, 60)},     {&ButtonLog, L"Log", RGB(120, 80, 40)},
        {&ButtonHelp, L"Help", RGB(0, 100, 200)},          {&ButtonAbout, L"About", RGB(100, 100, 100)},
        {&ButtonExit, L"Exit", RGB(160, 0, 120)},
    };
    int left = 2;
    for (const Tool& tool : tools) {
        tool.button->SetBounds(left, 2, 70, 60);
        tool.button->SetCaption(tool.caption);
        tool.button->SetGlyph(MakeGlyph(tool.color));
        tool.button->SetHint(tool.caption);
        left += 72;
    }
    StatusBar.SetPanelCount(3);
    StatusBar.SetPanelWidth(0, 150);
    StatusBar.SetPanelWidth(1, 300);
    PanelSelection.SetAlign(Align::Client);
    TV.SetAlign(Align::Left);
    TV.SetWidth(201);
    TV.SetHideSelection(false);
    TV.SetIndent(19);
    SplitterHorizontal.SetAlign(Align::Left);
    SplitterHorizontal.SetWidth(5);
    SplitterHorizontal.SetBeveled(true);
    SplitterHorizontal.SetMinSize(80);
    LV.SetAlign(Align::Client);
    LV.SetMultiSelect(true);
    LV.SetHideSelection(false);
    LV.AddColumn(L"Name", 200);
    LV.AddColumn(L"Modified", 100);
    LV.AddColumn(L"Type", 80);
    LV.AddColumn(L"Size", 80);
}

// The system image list belongs to the shell; the views only share it.
TFormMainDemo::~TFormMainDemo() = default;

void TFormMainDemo::FillSample()
{
    SetCaption(L"Varnox");
    ButtonDriveWipe.SetEnabled(false);
    ButtonFreeSpaceWipe.SetEnabled(false);
    SHFILEINFOW info{};
    images_ = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    TV.SetImages(images_);
    LV.SetSmallImages(images_);
    int folderIcon = 0, driveIcon = 0, fileIcon = 0;
    if (SHGetFileInfoW(L"C:\\windows", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON))
        folderIcon = info.iIcon;
    if (SHGetFileInfoW(L"C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON))
        driveIcon = info.iIcon;
    if (SHGetFileInfoW(L"notes.txt", FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                       SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES))
        fileIcon = info.iIcon;
    TreeNode desktop = TV.AddChild(nullptr, L"Desktop", folderIcon);
    TreeNode computer = TV.AddChild(desktop, L"My Computer", folderIcon);
    TreeNode drive = TV.AddChild(computer, L"Local Disk (C:)", driveIcon);
    TV.AddChild(desktop, L"Documents", folderIcon);
    TV.AddPlaceholder(TV.AddChild(drive, L"Users", folderIcon));
    TV.AddPlaceholder(TV.AddChild(drive, L"windows", folderIcon));
    TV.Expand(desktop);
    TV.Expand(computer);
    TV.Expand(drive);
    TV.Select(drive);
    const wchar_t* names[][4] = {
        {L"Users", L"09.12.2026 07:12", L"File folder", L""},
        {L"windows", L"09.12.2026 07:10", L"File folder", L""},
        {L"budget.xlsx", L"02.12.2026 16:40", L"XLSX File", L"48 kB"},
        {L"notes.txt", L"30.11.2026 09:05", L"Text Document", L"1 kB"},
    };
    for (auto& row : names) {
        int index = LV.AddItem(row[0], row[3][0] == 0 ? folderIcon : fileIcon);
        for (int column = 1; column < 4; ++column)
            LV.SetSubItem(index, column, row[column]);
    }
    LV.SetSelected(2, true);
    LV.SetSelected(3, true);
    StatusBar.SetPanelText(0, L"Local Disk (C:)");
    StatusBar.SetPanelText(1, L"2 files selected (49 kB)");
}
