#pragma once
// A toolbar button: a glyph above its caption, flat until the mouse is over
// it. The glyph bitmap holds the looks side by side, normal first, then
// disabled; its bottom-left pixel's colour is transparent.
#include "ui/toolkit/Gdi.h"
#include "ui/toolkit/StdControls.h"

namespace tk {

class PictureButton : public Button {
public:
    explicit PictureButton(Container* parent);
    // Takes ownership of the bitmap.
    void SetGlyph(HBITMAP glyph);
    HBITMAP Glyph() const { return glyph_.Get(); }
    void SetNumGlyphs(int count);
    int NumGlyphs() const { return numGlyphs_; }
    void SetFlat(bool flat);
    // Space between glyph and caption, design units.
    void SetSpacing(int spacing) { spacing_ = spacing; }
    bool Hot() const { return hot_; }
    // The system's shield over the glyph: the command asks for administrator rights.
    void SetShield(bool shield);
    bool Shield() const { return shield_; }

    // The part of the glyph bitmap drawn in the current state.
    RECT GlyphSourceRect() const;
    // Draws the button into any device context (the window's, or a test's bitmap).
    void Paint(HDC dc, const RECT& rect, bool pressed, bool focused) const;

protected:
    CreateParams GetCreateParams() const override;
    bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void DrawGlyph(HDC dc, int left, int top) const;
    void DrawShield(HDC dc, int right, int bottom, int glyphHeight) const;
    GdiObject<HBITMAP> glyph_;
    int numGlyphs_ = 2;
    int spacing_ = 4;
    bool flat_ = true;
    bool hot_ = false;
    bool shield_ = false;
};

}  // namespace tk
