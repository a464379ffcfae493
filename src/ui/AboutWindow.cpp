#include "ui/AboutWindow.h"

#include "settings/Oem.h"
#include "settings/Unicodelanguage.h"
#include "ui/Utils.h"
#include "ui/toolkit/Application.h"

using namespace tk;

TFormAbout::TFormAbout() : TFormAbout(OEMConfig(), Language()) {}

TFormAbout::TFormAbout(COEMConfig& branding, UnicodeLanguage& language) : branding(branding), language(language)
{
    SetBorderStyle(BorderStyle::Dialog);
    SetBorderIcons(0);
    // Placed by Execute, from the picture and the main window.
    SetPosition(Position::Designed);
    SetClientSize(585, 415);
    PanelBottom.SetAlign(Align::Bottom);
    PanelBottom.SetHeight(34);
    Image.SetAlign(Align::Client);
    ButtonClose.SetBounds(507, 6, 75, 25);
    ButtonClose.SetAnchors(akTop | akRight);
    ButtonClose.SetDefault(true);
    ButtonClose.SetCancel(true);
    ButtonClose.OnClick = [this] { ButtonCloseClick(); };
}

void TFormAbout::Execute()
{
    CreateHandle();
    SetFont(ToFontSpec(language.GetFont(L"Font")));
    SetCaption(language.GetText(L"AboutWindow.Title"));
    ButtonClose.SetCaption(language.GetText(L"AboutWindow.Close"));
    OwnedBitmap picture = LoadBrandingGraphic(branding, "Graphics/About");
    if (!picture)
        return;
    BITMAP info{};
    GetObjectW(picture.get(), sizeof(info), &info);
    // The picture fills the client area above the button panel exactly.
    SetClientSizePx(info.bmWidth, info.bmHeight + PanelBottom.DockedSizePx());
    RECT outer = OuterBoundsPx();
    LONG width = outer.right - outer.left;
    LONG height = outer.bottom - outer.top;
    RECT around{};
    Form* main = Application::Instance().MainForm();
    if (main != nullptr && main != this && main->HandleAllocated()) {
        GetWindowRect(main->Handle(), &around);
    } else {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
    }
    // Over the main window's centre, wherever that is, even partly off the screen.
    LONG left = around.left + (around.right - around.left) / 2 - width / 2;
    LONG top = around.top + (around.bottom - around.top) / 2 - height / 2;
    Image.SetBitmap(picture.release());
    SetOuterBoundsPx(RECT{left, top, left + width, top + height});
    ShowModal();
}

void TFormAbout::ButtonCloseClick() { SetModalResult(mrClose); }
