#include "platform/win32/file_dialog_helper.h"

// windows.h comes first: the other system headers rely on it.
#include "platform/win32/win32_text.h"

#include <ntsecapi.h>
#include <sddl.h>

#include <array>
#include <vector>

#include "platform/win32/win32_shell.h"

namespace nuv::win32 {

namespace {

// The helper starts and connects within this; its answers after a write come
// within the second. The dialog itself is the user's: no limit.
constexpr DWORD kConnectMs = 30000;
constexpr DWORD kAnswerMs = 30000;

// One exchange at a time: the window thread's loop runs while a dialog is up,
// and a posted request (a screen reader's default action) must not open a
// second one inside it.
bool exchangeRunning = false;

Text RandomPipeName() {
  std::array<unsigned char, 16> random{};
  if (!RtlGenRandom(random.data(), static_cast<ULONG>(random.size()))) return Text();
  Text name = kFileDialogPipePrefix;
  constexpr char16_t kHex[] = u"0123456789abcdef";
  for (unsigned char b : random) {
    name += kHex[b >> 4];
    name += kHex[b & 15];
  }
  return name;
}

// A pipe only the desktop's user (and SYSTEM and Administrators) may open,
// one instance (it fails when the name exists already), local clients only,
// not inherited. Its integrity label is medium, said rather than left to the
// default, so that the helper, at the user's medium level, may write to it.
HANDLE CreateHelperPipe(const Text& name, PSID user) {
  wchar_t* userText = nullptr;
  if (!ConvertSidToStringSidW(user, &userText)) return INVALID_HANDLE_VALUE;
  const Text sddl =
      u"D:P(A;;GA;;;SY)(A;;GA;;;BA)(A;;GRGW;;;" + FromW(userText) + u")S:(ML;;NW;;;ME)";
  LocalFree(userText);
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(W(sddl), SDDL_REVISION_1, &descriptor,
                                                            nullptr)) {
    return INVALID_HANDLE_VALUE;
  }
  SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor, FALSE};
  constexpr DWORD kBufferBytes = 65536;
  HANDLE pipe = CreateNamedPipeW(
      W(name), PIPE_ACCESS_DUPLEX | FILE_FLAG_FIRST_PIPE_INSTANCE | FILE_FLAG_OVERLAPPED,
      PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, kBufferBytes,
      kBufferBytes, 0, &attributes);
  LocalFree(descriptor);
  return pipe;
}

// The exchange with one helper, from its start to its end.
class HelperSession {
 public:
  explicit HelperSession(HWND owner) : owner_(owner) {
    event_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // As under a modal dialog: no input reaches the owner while the helper's
    // dialog is up; it still paints.
    ownerWasEnabled_ = owner_ && !EnableWindow(owner_, FALSE);
  }
  HelperSession(const HelperSession&) = delete;
  HelperSession& operator=(const HelperSession&) = delete;
  ~HelperSession() {
    if (process_) {
      // A helper that has not ended by itself is ended: its dialog must not
      // outlive the exchange. (After its last message it only ends.)
      if (WaitForSingleObject(process_, 500) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
      CloseHandle(process_);
    }
    if (pipe_ != INVALID_HANDLE_VALUE) CloseHandle(pipe_);
    if (event_) CloseHandle(event_);
    if (ownerWasEnabled_ && IsWindow(owner_)) {
      EnableWindow(owner_, TRUE);
      SetForegroundWindow(owner_);
    }
  }

  // Starts the helper as the desktop's user and takes its connection.
  bool Start(const Text& helperPath) {
    if (!event_) return false;
    const Text name = RandomPipeName();
    if (name.empty()) return false;
    auto started = StartAsDesktopUser(helperPath, [&](PSID user) -> std::optional<Text> {
      pipe_ = CreateHelperPipe(name, user);
      if (pipe_ == INVALID_HANDLE_VALUE) return std::nullopt;
      return u"\"" + name + u"\"";
    });
    if (!started) return false;
    process_ = started->process;
    helperId_ = started->id;
    // The helper's dialog may take the front from us.
    AllowSetForegroundWindow(helperId_);

    OVERLAPPED overlapped{};
    overlapped.hEvent = event_;
    ResetEvent(event_);
    if (!ConnectNamedPipe(pipe_, &overlapped)) {
      const DWORD error = GetLastError();
      if (error == ERROR_IO_PENDING) {
        DWORD ignored = 0;
        if (!Finish(overlapped, kConnectMs, ignored)) return false;
      } else if (error != ERROR_PIPE_CONNECTED) {
        return false;
      }
    }
    // Only the process just started may talk to us: whoever else opened the
    // pipe first is refused.
    ULONG client = 0;
    return GetNamedPipeClientProcessId(pipe_, &client) && client == helperId_;
  }

  bool Send(WireType type, const std::string& body) {
    const std::string frame = FrameWireMessage(type, body);
    if (frame.empty()) return false;
    size_t sent = 0;
    while (sent < frame.size()) {
      OVERLAPPED overlapped{};
      overlapped.hEvent = event_;
      ResetEvent(event_);
      const auto chunk = static_cast<DWORD>(std::min<size_t>(frame.size() - sent, 65536));
      DWORD done = 0;
      if (!WriteFile(pipe_, frame.data() + sent, chunk, nullptr, &overlapped) &&
          GetLastError() != ERROR_IO_PENDING) {
        return false;
      }
      if (!Finish(overlapped, kAnswerMs, done) || done == 0) return false;
      sent += done;
    }
    return true;
  }

  // The helper's next message, waiting at most `timeout` (INFINITE while its
  // dialog is up: the wait also ends when the helper ends).
  std::optional<WireMessage> Receive(DWORD timeout) {
    std::vector<char> buffer(65536);
    for (;;) {
      if (auto message = reader_.Next()) return message;
      if (reader_.broken()) return std::nullopt;
      OVERLAPPED overlapped{};
      overlapped.hEvent = event_;
      ResetEvent(event_);
      DWORD got = 0;
      if (!ReadFile(pipe_, buffer.data(), static_cast<DWORD>(buffer.size()), nullptr,
                    &overlapped) &&
          GetLastError() != ERROR_IO_PENDING) {
        return std::nullopt;
      }
      if (!Finish(overlapped, timeout, got) || got == 0) return std::nullopt;
      reader_.Feed(buffer.data(), got);
    }
  }

 private:
  // Waits for an overlapped operation while the window thread's messages are
  // dispatched. On failure (time out, the helper gone, the owner gone, the
  // loop asked to quit) the operation is cancelled before its buffer goes.
  bool Finish(OVERLAPPED& overlapped, DWORD timeout, DWORD& bytes) {
    const bool completed = WaitPumping(timeout);
    if (!completed) {
      CancelIoEx(pipe_, &overlapped);
      GetOverlappedResult(pipe_, &overlapped, &bytes, TRUE);
      return false;
    }
    return GetOverlappedResult(pipe_, &overlapped, &bytes, FALSE) != FALSE;
  }

  bool WaitPumping(DWORD timeout) {
    const ULONGLONG start = GetTickCount64();
    const HANDLE handles[] = {event_, process_};
    for (;;) {
      DWORD remaining = INFINITE;
      if (timeout != INFINITE) {
        const ULONGLONG spent = GetTickCount64() - start;
        if (spent >= timeout) return false;
        remaining = static_cast<DWORD>(timeout - spent);
      }
      const DWORD result =
          MsgWaitForMultipleObjectsEx(2, handles, remaining, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
      if (result == WAIT_OBJECT_0) return true;
      if (result == WAIT_OBJECT_0 + 1) {
        // The helper ended: what it sent before may still be completing.
        return WaitForSingleObject(event_, 0) == WAIT_OBJECT_0;
      }
      if (result != WAIT_OBJECT_0 + 2) return false;
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
          PostQuitMessage(static_cast<int>(msg.wParam));
          return false;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      if (owner_ && !IsWindow(owner_)) return false;
      KeepDialogInFront();
    }
  }

  // The owner came to the front (its taskbar button, Alt+Tab): the helper's
  // dialog goes in front of it, as a modal dialog would.
  void KeepDialogInFront() {
    if (!owner_ || GetForegroundWindow() != owner_) return;
    struct Search {
      DWORD id;
      HWND found;
    } search{helperId_, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
          auto* s = reinterpret_cast<Search*>(data);
          DWORD id = 0;
          GetWindowThreadProcessId(window, &id);
          if (id != s->id || !IsWindowVisible(window) || !IsWindowEnabled(window)) return TRUE;
          s->found = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (search.found) SetForegroundWindow(search.found);
  }

  HWND owner_;
  bool ownerWasEnabled_ = false;
  HANDLE event_ = nullptr;
  HANDLE pipe_ = INVALID_HANDLE_VALUE;
  HANDLE process_ = nullptr;
  DWORD helperId_ = 0;
  WireReader reader_;
};

// Runs `exchange` with a started helper that has been sent `request`; false
// when another exchange runs or the helper could not be started.
template <typename Exchange>
bool WithHelper(const Text& helperPath, HWND owner, const DialogRequest& request,
                Exchange exchange) {
  if (exchangeRunning) return false;
  exchangeRunning = true;
  bool ok = false;
  {
    HelperSession session(owner);
    ok = session.Start(helperPath) && session.Send(WireType::kRequest, EncodeRequest(request)) &&
         exchange(session);
  }
  exchangeRunning = false;
  return ok;
}

// The helper's answer to the dialog: the chosen file, or nothing (cancelled,
// or anything unexpected).
std::optional<ChosenFile> ReceiveChosen(HelperSession& session) {
  auto message = session.Receive(INFINITE);
  if (!message || message->type != WireType::kChosen) return std::nullopt;
  return DecodeChosen(message->body);
}

}  // namespace

std::optional<ChosenFile> OpenThroughHelper(const Text& helperPath, HWND owner,
                                            const DialogRequest& request) {
  std::optional<ChosenFile> chosen;
  WithHelper(helperPath, owner, request, [&](HelperSession& session) {
    chosen = ReceiveChosen(session);
    return chosen.has_value();
  });
  return chosen;
}

SaveOutcome SaveThroughHelper(const Text& helperPath, HWND owner, const DialogRequest& request,
                              const HelperExportContents& contents) {
  SaveOutcome outcome = SaveOutcome::kNotChosen;
  WithHelper(helperPath, owner, request, [&](HelperSession& session) {
    const auto existing = ReceiveChosen(session);
    if (!existing) return false;
    outcome = SaveOutcome::kFailed;
    const auto bytes = contents(*existing);
    if (!bytes || bytes->size() > kMaxExchangedFileBytes) {
      session.Send(WireType::kAbandon, std::string());
      return false;
    }
    if (!session.Send(WireType::kWrite, *bytes)) return false;
    auto done = session.Receive(kAnswerMs);
    if (!done || done->type != WireType::kDone) return false;
    if (DecodeDone(done->body).value_or(false)) outcome = SaveOutcome::kWritten;
    return outcome == SaveOutcome::kWritten;
  });
  return outcome;
}

}  // namespace nuv::win32
