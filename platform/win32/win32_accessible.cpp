#include "platform/win32/win32_accessible.h"

#include <ole2.h>
#include <oleacc.h>

#include <atomic>
#include <climits>
#include <optional>
#include <utility>

#include "platform/win32/system_library.h"
#include "platform/win32/win32_text.h"

namespace nuv::win32 {

namespace {

// oleacc.dll is no KnownDLL: the elevated program takes it from the system
// folder only, when a screen reader first asks.
const SystemLibrary& Oleacc() {
  static const SystemLibrary library(L"oleacc.dll");
  return library;
}

LONG RoleOf(AccessibleRole role) {
  switch (role) {
    case AccessibleRole::kPushButton:
      return ROLE_SYSTEM_PUSHBUTTON;
    case AccessibleRole::kPageTab:
      return ROLE_SYSTEM_PAGETAB;
    case AccessibleRole::kCheckBox:
      return ROLE_SYSTEM_CHECKBUTTON;
    case AccessibleRole::kRadioButton:
      return ROLE_SYSTEM_RADIOBUTTON;
    case AccessibleRole::kSlider:
      return ROLE_SYSTEM_SLIDER;
    case AccessibleRole::kEditText:
      return ROLE_SYSTEM_TEXT;
    case AccessibleRole::kList:
      return ROLE_SYSTEM_LIST;
    case AccessibleRole::kMenuItem:
      return ROLE_SYSTEM_MENUITEM;
    case AccessibleRole::kStaticText:
      return ROLE_SYSTEM_STATICTEXT;
  }
  return ROLE_SYSTEM_CLIENT;
}

LONG RoleOf(AccessibleWindowRole role) {
  switch (role) {
    case AccessibleWindowRole::kDialog:
      return ROLE_SYSTEM_DIALOG;
    case AccessibleWindowRole::kMenuPopup:
      return ROLE_SYSTEM_MENUPOPUP;
    case AccessibleWindowRole::kClient:
      break;
  }
  return ROLE_SYSTEM_CLIENT;
}

LONG StateOf(uint32_t bits) {
  constexpr struct {
    uint32_t bit;
    LONG state;
  } kStates[] = {
      {access_state::kPressed, STATE_SYSTEM_PRESSED},
      {access_state::kChecked, STATE_SYSTEM_CHECKED},
      {access_state::kSelected, STATE_SYSTEM_SELECTED},
      {access_state::kFocused, STATE_SYSTEM_FOCUSED},
      {access_state::kUnavailable, STATE_SYSTEM_UNAVAILABLE},
      {access_state::kFocusable, STATE_SYSTEM_FOCUSABLE},
      {access_state::kHasPopup, STATE_SYSTEM_HASPOPUP},
  };
  LONG state = 0;
  for (const auto& s : kStates) {
    if (bits & s.bit) state |= s.state;
  }
  return state;
}

// Empty text is no text: S_FALSE and a null string, as clients expect.
HRESULT ToBstr(const Text& text, BSTR* out) {
  if (text.empty()) return S_FALSE;
  *out = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                           static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT SetI4(VARIANT* out, LONG value) {
  out->vt = VT_I4;
  out->lVal = value;
  return S_OK;
}

// Both ends of a span of skin units in pixels; a hand-edited skin may put the
// far end beyond the int32 range.
int32_t FarEdge(int32_t start, int32_t length) {
  const int64_t end = int64_t{start} + length;
  return static_cast<int32_t>(end > INT32_MAX ? INT32_MAX : end < INT32_MIN ? INT32_MIN : end);
}

bool Contains(const AccessibleBox& box, int32_t x, int32_t y) {
  return x >= box.x && y >= box.y && x < FarEdge(box.x, box.width) &&
         y < FarEdge(box.y, box.height);
}

}  // namespace

class FaceAccessible final : public IAccessible {
 public:
  FaceAccessible(AccessibleFace* face, HWND window, std::function<DisplayScale()> scale,
                 AccessibleWindowRole role)
      : face_(face), window_(window), scale_(std::move(scale)), role_(role) {}

  void Disconnect() { face_ = nullptr; }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, kIidAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IDispatch: clients call IAccessible directly; there is no type library.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    if (!face_) return RPC_E_DISCONNECTED;
    const auto create =
        Oleacc().Function<decltype(&CreateStdAccessibleObject)>("CreateStdAccessibleObject");
    if (!create) return S_FALSE;
    return create(window_, OBJID_WINDOW, kIidAccessible, reinterpret_cast<void**>(parent));
  }

  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    if (!face_) return RPC_E_DISCONNECTED;
    *count = Count();
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!face_) return RPC_E_DISCONNECTED;
    // The items are simple elements, answered by this object.
    const auto id = ChildOf(child);
    return id && *id != CHILDID_SELF ? S_FALSE : E_INVALIDARG;
  }

  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    return Answer(child, name,
                  [&](LONG id) { return id == CHILDID_SELF ? SelfName() : Item(id).name; });
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return Answer(child, value,
                  [&](LONG id) { return id == CHILDID_SELF ? Text() : Item(id).value; });
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return Answer(child, action,
                  [&](LONG id) { return id == CHILDID_SELF ? Text() : Item(id).defaultAction; });
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    return Answer(child, text, [](LONG) { return Text(); });
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override {
    return Answer(child, text, [](LONG) { return Text(); });
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* text) override {
    return Answer(child, text, [](LONG) { return Text(); });
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    if (topic) *topic = 0;
    return Answer(child, file, [](LONG) { return Text(); });
  }

  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!role) return E_POINTER;
    VariantInit(role);
    if (!face_) return RPC_E_DISCONNECTED;
    const auto id = ChildOf(child);
    if (!id) return E_INVALIDARG;
    return SetI4(role, *id == CHILDID_SELF ? RoleOf(role_) : RoleOf(Item(*id).role));
  }

  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (!state) return E_POINTER;
    VariantInit(state);
    if (!face_) return RPC_E_DISCONNECTED;
    const auto id = ChildOf(child);
    if (!id) return E_INVALIDARG;
    LONG bits = 0;
    if (*id == CHILDID_SELF) {
      bits = STATE_SYSTEM_FOCUSABLE | (HasFocus() ? STATE_SYSTEM_FOCUSED : 0);
    } else {
      bits = StateOf(Item(*id).state);
      // Only the window with the keyboard focus has a focused item.
      if (!HasFocus()) bits &= ~STATE_SYSTEM_FOCUSED;
    }
    if (!IsWindowVisible(window_)) bits |= STATE_SYSTEM_INVISIBLE;
    return SetI4(state, bits);
  }

  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (!focus) return E_POINTER;
    VariantInit(focus);
    if (!face_) return RPC_E_DISCONNECTED;
    if (!HasFocus()) return S_FALSE;
    return SetI4(focus, FocusedChild().value_or(CHILDID_SELF));
  }

  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (!selection) return E_POINTER;
    VariantInit(selection);
    if (!face_) return RPC_E_DISCONNECTED;
    const auto id = FocusedChild();
    return id ? SetI4(selection, *id) : S_FALSE;
  }

  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
    if (!face_) return RPC_E_DISCONNECTED;
    const auto id = ChildOf(child);
    if (!id) return E_INVALIDARG;
    if (!(flags & SELFLAG_TAKEFOCUS)) return DISP_E_MEMBERNOTFOUND;
    if (*id == CHILDID_SELF) {
      SetFocus(window_);
    } else {
      face_->TakeFocus(Index(*id));
    }
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    if (!face_) return RPC_E_DISCONNECTED;
    const auto id = ChildOf(child);
    if (!id) return E_INVALIDARG;
    if (*id == CHILDID_SELF || Item(*id).defaultAction.empty()) return DISP_E_MEMBERNOTFOUND;
    // The face only posts the action: nothing runs inside the caller's question.
    face_->DoDefaultAction(Index(*id));
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                        VARIANT child) override {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    if (!face_) return RPC_E_DISCONNECTED;
    const auto id = ChildOf(child);
    if (!id) return E_INVALIDARG;
    POINT origin{0, 0};
    ClientToScreen(window_, &origin);
    if (*id == CHILDID_SELF) {
      RECT client{};
      GetClientRect(window_, &client);
      *left = origin.x;
      *top = origin.y;
      *width = client.right;
      *height = client.bottom;
      return S_OK;
    }
    const AccessibleBox r = Item(*id).rect;
    const DisplayScale scale = scale_();
    const int32_t x = scale.ToPixels(r.x);
    const int32_t y = scale.ToPixels(r.y);
    *left = origin.x + x;
    *top = origin.y + y;
    *width = scale.ToPixels(FarEdge(r.x, r.width)) - x;
    *height = scale.ToPixels(FarEdge(r.y, r.height)) - y;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    if (!end) return E_POINTER;
    VariantInit(end);
    if (!face_) return RPC_E_DISCONNECTED;
    const auto id = ChildOf(start);
    if (!id || direction <= NAVDIR_MIN || direction >= NAVDIR_MAX) return E_INVALIDARG;
    const LONG count = Count();
    LONG to = 0;  // none
    if (*id == CHILDID_SELF) {
      // The window's siblings are its parent's to tell.
      if (direction == NAVDIR_FIRSTCHILD && count > 0) to = 1;
      if (direction == NAVDIR_LASTCHILD) to = count;
    } else if (direction == NAVDIR_NEXT && *id < count) {
      to = *id + 1;
    } else if (direction == NAVDIR_PREVIOUS && *id > 1) {
      to = *id - 1;
    }
    return to > 0 ? SetI4(end, to) : S_FALSE;
  }

  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* hit) override {
    if (!hit) return E_POINTER;
    VariantInit(hit);
    if (!face_) return RPC_E_DISCONNECTED;
    POINT point{x, y};
    RECT client{};
    if (!ScreenToClient(window_, &point) || !GetClientRect(window_, &client) ||
        !PtInRect(&client, point)) {
      return S_FALSE;
    }
    const DisplayScale scale = scale_();
    const int32_t ux = scale.ToUnits(point.x);
    const int32_t uy = scale.ToUnits(point.y);
    for (LONG id = 1; id <= Count(); ++id) {
      if (Contains(Item(id).rect, ux, uy)) return SetI4(hit, id);
    }
    return SetI4(hit, CHILDID_SELF);
  }

  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  ~FaceAccessible() = default;

  LONG Count() const {
    const size_t count = face_->ItemCount();
    return count > LONG_MAX ? LONG_MAX : static_cast<LONG>(count);
  }
  static size_t Index(LONG id) { return static_cast<size_t>(id - 1); }
  AccessibleItem Item(LONG id) const { return face_->Item(Index(id)); }

  // The child a question names: CHILDID_SELF or 1..Count(), as VT_I4 only.
  std::optional<LONG> ChildOf(const VARIANT& child) const {
    if (child.vt != VT_I4 || child.lVal < CHILDID_SELF || child.lVal > Count()) return std::nullopt;
    return child.lVal;
  }

  std::optional<LONG> FocusedChild() const {
    const std::optional<size_t> index = face_->FocusedItem();
    if (!index || *index >= static_cast<size_t>(Count())) return std::nullopt;
    return static_cast<LONG>(*index + 1);
  }

  // The window or one of its controls (the macro editor's) has the keyboard.
  bool HasFocus() const {
    const HWND focus = GetFocus();
    return focus && (focus == window_ || IsChild(window_, focus));
  }

  // The face's own name, else the window's title.
  Text SelfName() const {
    Text name = face_ ? face_->FaceName() : Text();
    return name.empty() ? Title() : name;
  }

  Text Title() const {
    wchar_t title[256] = {};
    const int length = GetWindowTextW(window_, title, 256);
    return length > 0 ? FromW(title, static_cast<size_t>(length)) : Text();
  }

  template <typename TextOf>
  HRESULT Answer(const VARIANT& child, BSTR* out, TextOf textOf) const {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!face_) return RPC_E_DISCONNECTED;
    const auto id = ChildOf(child);
    if (!id) return E_INVALIDARG;
    return ToBstr(textOf(*id), out);
  }

  std::atomic<ULONG> references_{1};
  AccessibleFace* face_;
  HWND window_;
  std::function<DisplayScale()> scale_;
  AccessibleWindowRole role_;
};

AccessibleServer::AccessibleServer(AccessibleFace& face, std::function<DisplayScale()> scale,
                                   AccessibleWindowRole role)
    : face_(&face), scale_(std::move(scale)), role_(role) {}

AccessibleServer::~AccessibleServer() { Disconnect(); }

bool AccessibleServer::OnGetObject(WndMessage& m) {
  // The object id travels as a 32-bit value, sign-extended or not.
  if (!face_ || static_cast<DWORD>(m.lParam) != static_cast<DWORD>(OBJID_CLIENT)) return false;
  const auto lresultFromObject =
      Oleacc().Function<decltype(&LresultFromObject)>("LresultFromObject");
  if (!lresultFromObject) return false;
  if (!object_) object_ = new FaceAccessible(face_, m.hwnd, scale_, role_);
  const LRESULT result = lresultFromObject(kIidAccessible, m.wParam, object_);
  if (FAILED(static_cast<HRESULT>(result))) return false;
  m.result = result;
  return true;
}

void AccessibleServer::Disconnect() {
  face_ = nullptr;
  if (!object_) return;
  object_->Disconnect();
  // Remote clients' proxies now fail at once instead of reaching the object.
  CoDisconnectObject(object_, 0);
  object_->Release();
  object_ = nullptr;
}

void NotifyFocus(HWND window, size_t index) {
  NotifyWinEvent(EVENT_OBJECT_FOCUS, window, OBJID_CLIENT, static_cast<LONG>(index + 1));
}

void NotifyNameChange(HWND window, size_t index) {
  NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window, OBJID_CLIENT, static_cast<LONG>(index + 1));
}

void NotifyStateChange(HWND window, size_t index) {
  NotifyWinEvent(EVENT_OBJECT_STATECHANGE, window, OBJID_CLIENT, static_cast<LONG>(index + 1));
}

void NotifyReorder(HWND window) {
  NotifyWinEvent(EVENT_OBJECT_REORDER, window, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace nuv::win32
