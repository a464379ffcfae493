#pragma once
// GDI helpers of the toolkit: scoped GDI objects, the font cache, DPI.
#include "ui/toolkit/Types.h"
#include <windows.h>

namespace tk {

// Owns one GDI object (bitmap, brush, font, pen) and deletes it.
template <typename T>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(T object) : object_(object) {}
    ~GdiObject() { Reset(); }
    GdiObject(GdiObject&& other) noexcept : object_(other.Take()) {}
    GdiObject& operator=(GdiObject&& other) noexcept
    {
        if (this != &other) {
            Reset();
            object_ = other.Take();
        }
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    T Get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    T Take()
    {
        T object = object_;
        object_ = nullptr;
        return object;
    }
    void Reset(T object = nullptr)
    {
        if (object_ != nullptr)
            DeleteObject(object_);
        object_ = object;
    }

private:
    T object_ = nullptr;
};

// A memory device context with one object selected into it, restored on the way out.
class MemoryDC {
public:
    explicit MemoryDC(HDC compatible = nullptr) : dc_(CreateCompatibleDC(compatible)) {}
    ~MemoryDC()
    {
        if (previous_ != nullptr)
            SelectObject(dc_, previous_);
        DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    void Select(HGDIOBJ object)
    {
        HGDIOBJ old = SelectObject(dc_, object);
        if (previous_ == nullptr)
            previous_ = old;
    }
    HDC Get() const { return dc_; }

private:
    HDC dc_;
    HGDIOBJ previous_ = nullptr;
};

// The font for a description at a DPI; cached for the life of the process.
HFONT FontHandle(const FontSpec& font, int dpi);
// Height in pixels of a line of text in that font.
int FontLineHeight(HFONT font);
// The monitor DPI of a window (GetDpiForWindow where the system has it).
int WindowDpi(HWND window);
// Makes WindowDpi answer this DPI for every window (0: the monitor's again);
// tests and screenshots use it to see the layout at another scale.
void SetDpiOverride(int dpi);
int ScaleByDpi(int units, int dpi);
int UnscaleByDpi(int pixels, int dpi);

}  // namespace tk
