#pragma once
// Splitter and status bar: the controls that frame a window's panes.
#include "ui/toolkit/Control.h"
#include <functional>
#include <string>
#include <vector>

namespace tk {

// A bar docked next to a docked control (its neighbour); dragging it resizes
// the neighbour, leaving at least MinSize to the neighbour and to the rest.
class Splitter : public Control {
public:
    explicit Splitter(Container* parent);
    void SetMinSize(int minSize) { minSize_ = minSize; }
    int MinSize() const { return minSize_; }
    void SetBeveled(bool beveled) { beveled_ = beveled; }
    // The docked control this splitter resizes (the one whose edge it touches).
    Control* Neighbour() const;

    std::function<void()> OnMoved;

protected:
    CreateParams GetCreateParams() const override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool Vertical() const { return GetAlign() == Align::Left || GetAlign() == Align::Right; }
    int PointerPosition(LPARAM lParam) const;
    void Paint(HDC dc);

    int minSize_ = 30;
    bool beveled_ = false;
    Control* dragged_ = nullptr;
    int dragStart_ = 0;
    int startSize_ = 0;
    int maxSize_ = 0;
};

// A status bar docked at the bottom with panels of given widths; the last
// panel takes what is left.
class StatusBar : public Control {
public:
    explicit StatusBar(Container* parent);
    void SetPanelCount(int count);
    int PanelCount() const { return static_cast<int>(panels_.size()); }
    void SetPanelWidth(int panel, int width);
    int PanelWidth(int panel) const;
    void SetPanelText(int panel, const std::wstring& text);
    std::wstring PanelText(int panel) const;
    void SetSizeGrip(bool sizeGrip) { sizeGrip_ = sizeGrip; }

protected:
    CreateParams GetCreateParams() const override;
    void AfterCreate() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DpiChanged(int oldDpi, int newDpi) override;

private:
    struct PanelInfo {
        std::wstring text;
        int width = 50;
    };
    void ApplyPanels();
    std::vector<PanelInfo> panels_;
    bool sizeGrip_ = true;
};

}  // namespace tk
