// Plays a screen reader's part from another process: asks a window's
// accessible client object (MSAA) what it shows, and acts on it.
//
//   accessibility_probe [--title T | --owned-by-title T] command
//
// The window: the top-level window titled T (default: the main window's
// title), the first visible top-level window owned by the window titled T
// (the function popups), or the first window of class C ("#32768": an open
// menu). Commands:
//   children        id|name|role|states|left,top,width,height|value per child
//   focus           the focused child's name, "self" or "none"
//   do NAME         the default action of the first child named NAME
//   select NAME     moves the keyboard focus to it
//   events MS       for MS milliseconds, focus|NAME, state|NAME, name|NAME per
//                   event of the window's process, as they come
// Prints UTF-8. Exit code 1 when the window, its object or the child is
// missing or a call fails, 2 for a wrong command line.
#include <windows.h>
// After windows.h, which they need.
#include <ole2.h>
#include <oleacc.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

void Print(const std::wstring& line) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), bytes.data(), size,
                      nullptr, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

VARIANT Child(LONG id) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

std::wstring Take(HRESULT result, BSTR text) {
  std::wstring s = SUCCEEDED(result) && text ? std::wstring(text, SysStringLen(text)) : L"";
  SysFreeString(text);
  return s;
}

std::wstring Name(IAccessible* object, const VARIANT& child) {
  BSTR name = nullptr;
  const HRESULT result = object->get_accName(child, &name);
  return Take(result, name);
}

std::wstring RoleName(LONG role) {
  switch (role) {
    case ROLE_SYSTEM_PUSHBUTTON:
      return L"button";
    case ROLE_SYSTEM_PAGETAB:
      return L"tab";
    case ROLE_SYSTEM_CHECKBUTTON:
      return L"checkbox";
    case ROLE_SYSTEM_RADIOBUTTON:
      return L"radio";
    case ROLE_SYSTEM_SLIDER:
      return L"slider";
    case ROLE_SYSTEM_TEXT:
      return L"text";
    case ROLE_SYSTEM_LIST:
      return L"list";
    case ROLE_SYSTEM_MENUITEM:
      return L"menuitem";
    case ROLE_SYSTEM_STATICTEXT:
      return L"statictext";
  }
  return L"other:" + std::to_wstring(role);
}

std::wstring StateNames(LONG state) {
  const struct {
    LONG bit;
    const wchar_t* name;
  } kNames[] = {{STATE_SYSTEM_PRESSED, L"pressed"},         {STATE_SYSTEM_CHECKED, L"checked"},
                {STATE_SYSTEM_SELECTED, L"selected"},       {STATE_SYSTEM_FOCUSED, L"focused"},
                {STATE_SYSTEM_UNAVAILABLE, L"unavailable"}, {STATE_SYSTEM_FOCUSABLE, L"focusable"},
                {STATE_SYSTEM_HASPOPUP, L"haspopup"}};
  std::wstring names;
  for (const auto& n : kNames) {
    if (!(state & n.bit)) continue;
    if (!names.empty()) names += L'+';
    names += n.name;
  }
  return names;
}

void PrintChildren(IAccessible* object) {
  LONG count = 0;
  object->get_accChildCount(&count);
  for (LONG id = 1; id <= count; ++id) {
    const VARIANT child = Child(id);
    VARIANT role, state;
    VariantInit(&role);
    VariantInit(&state);
    object->get_accRole(child, &role);
    object->get_accState(child, &state);
    LONG left = 0, top = 0, width = 0, height = 0;
    object->accLocation(&left, &top, &width, &height, child);
    BSTR value = nullptr;
    const HRESULT valueResult = object->get_accValue(child, &value);
    Print(std::to_wstring(id) + L'|' + Name(object, child) + L'|' +
          (role.vt == VT_I4 ? RoleName(role.lVal) : L"other:?") + L'|' +
          (state.vt == VT_I4 ? StateNames(state.lVal) : L"") + L'|' + std::to_wstring(left) + L',' +
          std::to_wstring(top) + L',' + std::to_wstring(width) + L',' + std::to_wstring(height) +
          L'|' + Take(valueResult, value));
  }
}

// The id of the first child named `name`; 0 when there is none.
LONG FindChild(IAccessible* object, const wchar_t* name) {
  LONG count = 0;
  object->get_accChildCount(&count);
  for (LONG id = 1; id <= count; ++id) {
    if (Name(object, Child(id)) == name) return id;
  }
  return 0;
}

int PrintFocus(IAccessible* object) {
  VARIANT focus;
  VariantInit(&focus);
  if (FAILED(object->get_accFocus(&focus))) return 1;
  if (focus.vt == VT_I4) {
    Print(focus.lVal == CHILDID_SELF ? L"self" : Name(object, focus));
  } else if (focus.vt == VT_DISPATCH && focus.pdispVal) {
    IAccessible* other = nullptr;
    focus.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&other));
    Print(other ? Name(other, Child(CHILDID_SELF)) : L"?");
    if (other) other->Release();
  } else {
    Print(L"none");
  }
  VariantClear(&focus);
  return 0;
}

void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                      DWORD) {
  const wchar_t* kind = event == EVENT_OBJECT_FOCUS         ? L"focus"
                        : event == EVENT_OBJECT_STATECHANGE ? L"state"
                        : event == EVENT_OBJECT_NAMECHANGE  ? L"name"
                                                            : nullptr;
  if (!kind) return;
  IAccessible* source = nullptr;
  VARIANT id;
  VariantInit(&id);
  if (FAILED(AccessibleObjectFromEvent(window, object, child, &source, &id)) || !source) return;
  Print(std::wstring(kind) + L'|' + Name(source, id));
  source->Release();
  VariantClear(&id);
}

int WatchEvents(HWND window, DWORD milliseconds) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_NAMECHANGE, nullptr,
                                       OnEvent, process, 0, WINEVENT_OUTOFCONTEXT);
  if (!hook) return 1;
  const ULONGLONG end = GetTickCount64() + milliseconds;
  for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  UnhookWinEvent(hook);
  return 0;
}

HWND FirstOwnedBy(HWND owner) {
  struct Search {
    HWND owner;
    HWND found = nullptr;
  } search{owner};
  EnumWindows(
      [](HWND window, LPARAM data) {
        auto* s = reinterpret_cast<Search*>(data);
        if (!IsWindowVisible(window) || GetWindow(window, GW_OWNER) != s->owner) return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

int Run(HWND window, int argc, wchar_t** argv) {
  IAccessible* object = nullptr;
  if (!window ||
      FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible),
                                        reinterpret_cast<void**>(&object))) ||
      !object) {
    Print(L"missing");
    return 1;
  }
  const std::wstring command = argc > 0 ? argv[0] : L"";
  int result = 2;
  if (command == L"children" && argc == 1) {
    PrintChildren(object);
    result = 0;
  } else if (command == L"focus" && argc == 1) {
    result = PrintFocus(object);
  } else if ((command == L"do" || command == L"select") && argc == 2) {
    const LONG id = FindChild(object, argv[1]);
    const HRESULT done = id == 0            ? E_INVALIDARG
                         : command == L"do" ? object->accDoDefaultAction(Child(id))
                                            : object->accSelect(SELFLAG_TAKEFOCUS, Child(id));
    result = SUCCEEDED(done) ? 0 : 1;
  } else if (command == L"events" && argc == 2) {
    result = WatchEvents(window, static_cast<DWORD>(std::wcstoul(argv[1], nullptr, 10)));
  }
  object->Release();
  return result;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  HWND window = nullptr;
  int next = 1;
  if (argc > 2 && std::wcscmp(argv[1], L"--title") == 0) {
    window = FindWindowW(nullptr, argv[2]);
    next = 3;
  } else if (argc > 2 && std::wcscmp(argv[1], L"--owned-by-title") == 0) {
    HWND owner = FindWindowW(nullptr, argv[2]);
    window = owner ? FirstOwnedBy(owner) : nullptr;
    next = 3;
  } else {
    window = FindWindowW(nullptr, L"QUARVEL 241-7730 GAMING MOUSE");
  }
  const int result = Run(window, argc - next, argv + next);
  CoUninitialize();
  return result;
}
