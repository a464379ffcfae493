#pragma once
// Values shared by the toolkit's controls and forms: layout, results, fonts.
#include <windows.h>
#include <string>

namespace tk {

// Where a control docks inside its parent; None places it by its bounds and anchors.
enum class Align { None, Top, Bottom, Left, Right, Client };

// Which parent edges a control keeps its distance to when the parent resizes.
enum Anchor : unsigned {
    akLeft = 1,
    akTop = 2,
    akRight = 4,
    akBottom = 8,
};
using Anchors = unsigned;
constexpr Anchors akLeftTop = akLeft | akTop;
constexpr Anchors akAll = akLeft | akTop | akRight | akBottom;

// The result of a modal showing; 0 keeps the form open.
enum ModalResult : int {
    mrNone = 0,
    mrOK = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrClose = 8,
    mrHelp = 9,
    mrTryAgain = 10,
    mrContinue = 11,
};

enum class BorderStyle { Sizeable, Dialog, Single, None };

enum BorderIcon : unsigned {
    biSystemMenu = 1,
    biMinimize = 2,
    biMaximize = 4,
};
using BorderIcons = unsigned;

// Where a form appears when it is shown.
enum class Position { Designed, ScreenCenter, MainFormCenter };

enum class TextAlignment { Left, Center, Right };

// A font described the way forms are designed: face name and point size.
struct FontSpec {
    std::wstring Name;
    int Size = 8;          // points
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    BYTE Charset = DEFAULT_CHARSET;
    COLORREF Color = CLR_INVALID;   // CLR_INVALID: the system's window text colour

    bool operator==(const FontSpec&) const = default;
};

// The system's message font (what dialogs use), in points at the given DPI.
FontSpec DefaultFont();

}  // namespace tk
