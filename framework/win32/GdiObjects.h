#pragma once

#include <windows.h>

#include <utility>

// Owners of GDI objects, so that every pen, brush, bitmap and memory device
// context is released and every selection undone, also on an early return.
namespace fw {

// An object selected into a device context for the lifetime of the scope.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~Selected() { SelectObject(dc_, previous_); }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A GDI object deleted with its owner; null owns nothing.
template <typename Handle>
class GdiObject {
public:
    explicit GdiObject(Handle handle = nullptr) : handle_(handle) {}
    ~GdiObject() {
        if (handle_) DeleteObject(handle_);
    }
    GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        std::swap(handle_, other.handle_);
        return *this;
    }
    Handle get() const { return handle_; }
    operator HGDIOBJ() const { return handle_; }

private:
    Handle handle_;
};

class Pen : public GdiObject<HPEN> {
public:
    Pen(int width, COLORREF colour) : GdiObject(CreatePen(PS_SOLID, width, colour)) {}
};

class Brush : public GdiObject<HBRUSH> {
public:
    explicit Brush(COLORREF colour) : GdiObject(CreateSolidBrush(colour)) {}
};

using Bitmap = GdiObject<HBITMAP>;

// A memory device context compatible with `reference`.
class MemoryDc {
public:
    explicit MemoryDc(HDC reference) : dc_(CreateCompatibleDC(reference)) {}
    ~MemoryDc() {
        if (dc_) DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

}  // namespace fw
