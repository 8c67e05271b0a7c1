// Owners of GDI handles: each holder deletes what it holds when it goes, so a
// window or canvas releases its fonts, brushes, bitmaps, regions and memory
// DCs on every path, early returns included. Move-only.
#pragma once

#include <windows.h>

#include <utility>

namespace nuv::win32 {

template <class Handle, BOOL(WINAPI* Delete)(Handle)>
class GdiHandle {
 public:
  GdiHandle() = default;
  explicit GdiHandle(Handle handle) : handle_(handle) {}
  ~GdiHandle() { reset(); }
  GdiHandle(GdiHandle&& other) noexcept : handle_(other.release()) {}
  GdiHandle& operator=(GdiHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  GdiHandle(const GdiHandle&) = delete;
  GdiHandle& operator=(const GdiHandle&) = delete;

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  // Deletes what is held and takes `handle` instead.
  void reset(Handle handle = nullptr) {
    if (handle_ != nullptr && handle_ != handle) Delete(handle_);
    handle_ = handle;
  }
  // Gives the handle up without deleting it.
  Handle release() { return std::exchange(handle_, nullptr); }

 private:
  Handle handle_ = nullptr;
};

namespace gdi_detail {
template <class T>
BOOL WINAPI DeleteTyped(T object) {
  return DeleteObject(object);
}
}  // namespace gdi_detail

using FontHandle = GdiHandle<HFONT, gdi_detail::DeleteTyped<HFONT>>;
using BrushHandle = GdiHandle<HBRUSH, gdi_detail::DeleteTyped<HBRUSH>>;
using BitmapHandle = GdiHandle<HBITMAP, gdi_detail::DeleteTyped<HBITMAP>>;
using RegionHandle = GdiHandle<HRGN, gdi_detail::DeleteTyped<HRGN>>;
using MemoryDcHandle = GdiHandle<HDC, DeleteDC>;

// Selects an object into a DC for the holder's lifetime and puts the previous
// one back at the end (before the object itself may be deleted).
class SelectedObject {
 public:
  SelectedObject() = default;
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~SelectedObject() { reset(); }
  SelectedObject(SelectedObject&& other) noexcept
      : dc_(std::exchange(other.dc_, nullptr)),
        previous_(std::exchange(other.previous_, nullptr)) {}
  SelectedObject& operator=(SelectedObject&& other) noexcept {
    if (this != &other) {
      reset();
      dc_ = std::exchange(other.dc_, nullptr);
      previous_ = std::exchange(other.previous_, nullptr);
    }
    return *this;
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

  void reset() {
    if (dc_ != nullptr && previous_ != nullptr) SelectObject(dc_, previous_);
    dc_ = nullptr;
    previous_ = nullptr;
  }

 private:
  HDC dc_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

}  // namespace nuv::win32
