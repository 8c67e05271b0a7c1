// What a screen reader sees of a skinned window: the window's client area as
// an accessible object (MSAA's IAccessible) whose children are the items of
// the window's AccessibleFace. The faces draw pictures and have no child
// controls, so without this object assistive technology finds nothing.
//
// Every question arrives on the window's thread: in-process directly, from
// another process through COM's single-threaded apartment, which the window
// thread must have entered (CoInitializeEx) before the first WM_GETOBJECT.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>

#include "platform/accessible_face.h"
#include "platform/display_scale.h"
#include "platform/win32/wnd_base.h"

namespace nuv::win32 {

// {618736E0-3C3D-11CF-810C-00AA00389B71}: our own copy, so that nothing but
// the test programs links oleacc.
inline constexpr GUID kIidAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// The role the window itself has among the system's windows.
enum class AccessibleWindowRole { kClient, kDialog, kMenuPopup };

class FaceAccessible;  // the COM object; win32_accessible.cpp

// One window's accessible object: made when WM_GETOBJECT first asks for it,
// and cut off from the face when the window goes.
class AccessibleServer {
 public:
  // `scale` gives the window's current display scale at each question: it
  // changes when the window moves to a monitor of another DPI.
  AccessibleServer(AccessibleFace& face, std::function<DisplayScale()> scale,
                   AccessibleWindowRole role = AccessibleWindowRole::kClient);
  ~AccessibleServer();
  AccessibleServer(const AccessibleServer&) = delete;
  AccessibleServer& operator=(const AccessibleServer&) = delete;

  // Answers WM_GETOBJECT for the client area (sets m.result, returns true);
  // false for any other object, or when the system's accessibility library
  // is missing, so the default handling runs.
  bool OnGetObject(WndMessage& m);

  // For WM_DESTROY: clients in other processes may keep the object past the
  // window's life; from now on every question fails and the face is never
  // touched again.
  void Disconnect();

 private:
  AccessibleFace* face_;
  std::function<DisplayScale()> scale_;
  AccessibleWindowRole role_;
  FaceAccessible* object_ = nullptr;  // one reference held here
};

// The WinEvents that tell listening screen readers what changed, for item
// `index` of the face of `window`.
void NotifyFocus(HWND window, size_t index);
void NotifyNameChange(HWND window, size_t index);
void NotifyStateChange(HWND window, size_t index);
// The set or order of items changed (another page, another popup face).
void NotifyReorder(HWND window);

}  // namespace nuv::win32
