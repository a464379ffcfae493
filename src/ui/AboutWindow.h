#pragma once
// The about window: the branding's About picture above a Close button, the
// window sized to the picture in pixels and centred on the main window.
#include "ui/toolkit/Form.h"
#include "ui/toolkit/StdControls.h"

class COEMConfig;
class UnicodeLanguage;

class TFormAbout : public tk::Form {
public:
    // The application's branding and language manager.
    TFormAbout();
    // These instead (tests); they must outlive the window.
    TFormAbout(COEMConfig& branding, UnicodeLanguage& language);

    // Shows the picture "Graphics/About"; nothing at all when the branding has none.
    void Execute();

    tk::Image Image{this};
    tk::Panel PanelBottom{this};
    tk::Button ButtonClose{&PanelBottom};

private:
    void ButtonCloseClick();

    COEMConfig& branding;
    UnicodeLanguage& language;
};
