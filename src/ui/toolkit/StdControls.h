#pragma once
// The plain controls: panel, label, button, edit, radio button, group box, image.
#include "ui/toolkit/Control.h"
#include "ui/toolkit/Gdi.h"
#include <functional>

namespace tk {

// A container without a frame ("no bevel"), painted in its colour.
class Panel : public Container {
public:
    explicit Panel(Container* parent) : Container(parent) {}

protected:
    CreateParams GetCreateParams() const override;
};

// Static text drawn by the toolkit: left, centred or right aligned, one line
// or word-wrapped, sized to its text while AutoSize holds. Ampersands are
// shown as they are (texts here are paths and messages, not accelerators).
class Label : public Control {
public:
    explicit Label(Container* parent) : Control(parent) {}
    void SetAutoSize(bool autoSize);
    bool AutoSize() const { return autoSize_; }
    void SetWordWrap(bool wordWrap);
    bool WordWrap() const { return wordWrap_; }
    void SetAlignment(TextAlignment alignment);
    TextAlignment Alignment() const { return alignment_; }
    void SetCaption(const std::wstring& caption) override;

protected:
    CreateParams GetCreateParams() const override;
    void AfterCreate() override;
    bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
    void AdjustSize() override;

private:
    UINT DrawFlags() const;
    bool autoSize_ = true;
    bool wordWrap_ = false;
    TextAlignment alignment_ = TextAlignment::Left;
};

// A push button. Clicking it sets the form's modal result (when it has one)
// and then runs OnClick; Enter presses the default button, Escape the cancel one.
class Button : public Control {
public:
    explicit Button(Container* parent);
    void SetDefault(bool isDefault);
    bool Default() const { return default_; }
    void SetCancel(bool isCancel) { cancel_ = isCancel; }
    bool Cancel() const { return cancel_; }
    void SetModalResult(int result) { modalResult_ = result; }
    int ModalResult() const { return modalResult_; }
    // Presses the button as the user would: modal result, then OnClick.
    virtual void Click();

    std::function<void()> OnClick;

protected:
    CreateParams GetCreateParams() const override;
    void OnCommand(WORD code) override;

private:
    bool default_ = false;
    bool cancel_ = false;
    int modalResult_ = mrNone;
};

// A one-line edit; read-only ones take the parent's colour.
class Edit : public Control {
public:
    explicit Edit(Container* parent);
    void SetReadOnly(bool readOnly);
    bool ReadOnly() const { return readOnly_; }
    void SetParentColor(bool parentColor) { parentColor_ = parentColor; }

    std::function<void()> OnChange;

protected:
    CreateParams GetCreateParams() const override;
    void OnCommand(WORD code) override;
    HBRUSH OnCtlColor(HDC dc) override;

private:
    bool readOnly_ = false;
    bool parentColor_ = false;
};

class RadioButton : public Control {
public:
    explicit RadioButton(Container* parent);
    void SetChecked(bool checked);
    bool Checked() const;
    std::function<void()> OnClick;

protected:
    CreateParams GetCreateParams() const override;
    void AfterCreate() override;
    void OnCommand(WORD code) override;

private:
    bool checked_ = false;
};

class CheckBox : public Control {
public:
    explicit CheckBox(Container* parent);
    void SetChecked(bool checked);
    bool Checked() const;
    std::function<void()> OnClick;

protected:
    CreateParams GetCreateParams() const override;
    void AfterCreate() override;
    void OnCommand(WORD code) override;

private:
    bool checked_ = false;
};

// A captioned frame holding controls; their coordinates are relative to the frame's corner.
class GroupBox : public Container {
public:
    explicit GroupBox(Container* parent) : Container(parent) {}
    void SetCaption(const std::wstring& caption) override;
    std::wstring Caption() const override { return caption_; }
    void CreateHandle() override;

protected:
    CreateParams GetCreateParams() const override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void FontChanged() override;

private:
    HWND frame_ = nullptr;
};

// A bitmap, optionally centred, optionally with its bottom-left pixel's colour transparent.
class Image : public Control {
public:
    explicit Image(Container* parent) : Control(parent) {}
    // Takes ownership of the bitmap.
    void SetBitmap(HBITMAP bitmap);
    HBITMAP Bitmap() const { return bitmap_.Get(); }
    SIZE BitmapSize() const;
    void SetCenter(bool center);
    void SetTransparent(bool transparent);
    void Paint(HDC dc);

protected:
    CreateParams GetCreateParams() const override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    GdiObject<HBITMAP> bitmap_;
    bool center_ = false;
    bool transparent_ = false;
};

}  // namespace tk
