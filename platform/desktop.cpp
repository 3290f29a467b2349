#include <xtbasis/platform/desktop.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <xtbasis/platform/lasterror.h>

#include "os/poller.h"
#include "os/thread.h"
#include "utf8cp1252.h"
#include "x11.h"

namespace xtb::desktop {

namespace {

using x11::Atom;
using x11::Window;

HWND ToHandle(Window window) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(window)); }

std::vector<Window> ClientList(const x11::Connection& x) {
  const Window root = x.api().DefaultRootWindow(x.display());
  std::vector<Window> windows;
  const std::string list = x.Property(root, x.Intern("_NET_CLIENT_LIST"), x11::kXA_WINDOW);
  if (!list.empty()) {
    windows.resize(list.size() / sizeof(long));
    for (size_t i = 0; i < windows.size(); ++i) {
      long id;
      std::memcpy(&id, list.data() + i * sizeof(long), sizeof id);
      windows[i] = static_cast<Window>(id);
    }
    return windows;
  }
  Window rootReturn = 0, parent = 0, *children = nullptr;
  unsigned int count = 0;
  if (x.api().QueryTree(x.display(), root, &rootReturn, &parent, &children, &count) && children) {
    windows.assign(children, children + count);
    x.api().Free(children);
  }
  return windows;
}

}  // namespace

std::vector<TopWindow> VisibleTopWindows() {
  std::vector<TopWindow> found;
  x11::Connection x;
  if (!x.IsOpen()) return found;
  const Atom netName = x.Intern("_NET_WM_NAME"), utf8 = x.Intern("UTF8_STRING"), pid = x.Intern("_NET_WM_PID");
  constexpr Atom kWmName = 39, kWmClass = 67;  // predefined atoms
  for (Window window : ClientList(x)) {
    x11::WindowAttributes attributes{};
    if (!x.api().GetWindowAttributes(x.display(), window, &attributes) || attributes.map_state != x11::kIsViewable)
      continue;
    TopWindow top{ToHandle(window), {}, {}, 0};
    const std::string utf8Title = x.Property(window, netName, utf8);
    top.title = utf8Title.empty() ? x.Property(window, kWmName) : Utf8ToCp1252(utf8Title);
    if (const size_t end = top.title.find('\0'); end != std::string::npos) top.title.resize(end);
    const std::string classes = x.Property(window, kWmClass);  // "instance\0class\0"
    if (const size_t split = classes.find('\0'); split != std::string::npos)
      top.className = std::string(classes.c_str() + split + 1);
    const std::string id = x.Property(window, pid, x11::kXA_CARDINAL);
    if (id.size() >= sizeof(long)) {
      long value;
      std::memcpy(&value, id.data(), sizeof value);
      top.processId = static_cast<DWORD>(value);
    }
    found.push_back(std::move(top));
  }
  return found;
}

int TextWidth(HFONT font, const std::string& text) {
  x11::Connection x;
  if (!x.IsOpen()) return -1;
  const auto& api = x.api();
  auto* given = reinterpret_cast<x11::FontStruct*>(font);
  x11::FontStruct* measuring =
      given ? given : api.QueryFont(x.display(), api.GContextFromGC(api.DefaultGC(x.display(), api.DefaultScreen(x.display()))));
  if (!measuring) return -1;
  const int width = api.TextWidth(measuring, text.data(), static_cast<int>(text.size()));
  if (!given) api.FreeFontInfo(nullptr, measuring, 1);
  return width;
}

namespace {

// The clipboard's owner: one connection and window, used by one thread of
// its own for the life of the process (Xlib connections are not shared
// between threads). A caller hands it the text and waits for its answer.
class ClipboardOwner {
 public:
  static ClipboardOwner& Get() {
    static ClipboardOwner* owner = new ClipboardOwner;  // serves until the process ends
    return *owner;
  }

  bool Offer(const std::string& text, bool clear) {
    std::unique_lock lock(m_mutex);
    if (!m_display && !Connect()) return false;
    m_text = text;
    m_clear = clear;
    m_answered = false;
    if (!m_wakeup.Ring()) return SetLastErrorFromErrno(), false;
    m_done.wait(lock, [this] { return m_answered; });
    if (!m_taken) SetLastError(ERROR_ACCESS_DENIED);
    return m_taken;
  }

 private:
  bool Connect() {
    x11::Connection x;
    if (!x.IsOpen()) return false;
    if (!m_wakeupPolled || !m_poller.Add(x.api().ConnectionNumber(x.display()))) {
      SetLastErrorFromErrno();
      return false;
    }
    m_wakeup.Take();  // a ring the last connection left unanswered
    m_api = &x.api();
    m_clipboard = x.Intern("CLIPBOARD");
    m_targets = x.Intern("TARGETS");
    m_utf8 = x.Intern("UTF8_STRING");
    m_text8 = x.Intern("TEXT");
    const Window root = m_api->DefaultRootWindow(x.display());
    m_window = m_api->CreateSimpleWindow(x.display(), root, 0, 0, 1, 1, 0, 0, 0);
    m_display = x.Release();
    SurviveLostDisplay();
    os::NativeThread server;  // let go here: it serves until the display is lost
    if (server.Start([this] { Serve(); })) return true;
    SetLastErrorFromErrno();
    Disconnect();
    return false;
  }

  void Disconnect() {
    m_poller.Remove(m_api->ConnectionNumber(m_display));
    m_api->CloseDisplay(m_display);
    m_display = nullptr;
  }

  // Xlib ends the process when a connection breaks (the X server went
  // away). The clipboard's connection lives in the background, so its loss
  // must not end the program: the thread closes it and the next call
  // connects anew.
  void SurviveLostDisplay() {
    if (!m_api->SetIOErrorHandler || !m_api->SetIOErrorExitHandler) return;
    s_previousHandler = m_api->SetIOErrorHandler(&OnIOError);
    m_api->SetIOErrorExitHandler(m_display, [](x11::Display*, void* self) {
      static_cast<ClipboardOwner*>(self)->m_lost = true;
    }, this);
  }
  static int OnIOError(x11::Display* display) {
    ClipboardOwner& owner = Get();
    if (display == owner.m_display || !s_previousHandler) return 0;
    return s_previousHandler(display);
  }

  void Serve() {
    while (!m_lost) {
      while (!m_lost && m_api->Pending(m_display)) {
        x11::Event event{};
        m_api->NextEvent(m_display, &event);
        if (event.type != x11::kSelectionRequest) continue;
        std::lock_guard lock(m_mutex);
        Answer(event.request);
      }
      const std::vector<os::PollEvent> ready = m_poller.Wait(-1);
      const bool rung =
          std::any_of(ready.begin(), ready.end(), [this](os::PollEvent event) { return event.fd == m_wakeup.fd(); });
      if (!rung || !m_wakeup.Take()) continue;
      std::lock_guard lock(m_mutex);
      if (m_lost) break;
      const Window owner = m_clear ? 0 : m_window;
      m_api->SetSelectionOwner(m_display, m_clipboard, owner, 0);
      m_api->SetSelectionOwner(m_display, kPrimary, owner, 0);  // as editors do
      m_taken = m_clear || m_api->GetSelectionOwner(m_display, m_clipboard) == m_window;
      m_api->Flush(m_display);
      m_answered = true;
      m_done.notify_all();
    }
    // The display is gone: give up the connection; a waiting caller fails.
    std::lock_guard lock(m_mutex);
    Disconnect();
    m_lost = false;
    m_taken = false;
    m_answered = true;
    m_done.notify_all();
  }

  void Answer(const x11::SelectionRequestEvent& request) {
    x11::Event reply{};
    reply.selection = {x11::kSelectionNotify, 0, 1, m_display, request.requestor, request.selection,
                       request.target, request.property ? request.property : request.target, request.time};
    const Atom into = reply.selection.property;
    if (request.target == m_targets) {
      const long targets[] = {static_cast<long>(m_targets), static_cast<long>(m_utf8), static_cast<long>(m_text8),
                              static_cast<long>(x11::kXA_STRING)};
      m_api->ChangeProperty(m_display, request.requestor, into, x11::kXA_ATOM, 32, x11::kPropModeReplace,
                            reinterpret_cast<const unsigned char*>(targets), 4);
    } else if (request.target == m_utf8 || request.target == m_text8 || request.target == x11::kXA_STRING) {
      // STRING is Latin-1: 1252's own characters travel as UTF-8 only.
      const bool latin1 = request.target == x11::kXA_STRING;
      const std::string bytes = latin1 ? m_text : Cp1252ToUtf8(m_text);
      m_api->ChangeProperty(m_display, request.requestor, into, latin1 ? x11::kXA_STRING : m_utf8, 8,
                            x11::kPropModeReplace, reinterpret_cast<const unsigned char*>(bytes.data()),
                            static_cast<int>(bytes.size()));
    } else {
      reply.selection.property = 0;  // a form this owner does not give
    }
    m_api->SendEvent(m_display, request.requestor, 0, 0, &reply);
    m_api->Flush(m_display);
  }

  static constexpr Atom kPrimary = 1;
  static inline x11::Api::IOErrorHandler s_previousHandler = nullptr;

  std::mutex m_mutex;
  std::condition_variable m_done;
  const x11::Api* m_api = nullptr;
  x11::Display* m_display = nullptr;
  os::Poller m_poller;  // the connection and the wakeup
  os::Wakeup m_wakeup;  // a caller has handed over text
  const bool m_wakeupPolled = m_poller.Add(m_wakeup.fd());
  Window m_window = 0;
  Atom m_clipboard = 0, m_targets = 0, m_utf8 = 0, m_text8 = 0;
  std::string m_text;
  bool m_clear = false, m_answered = false, m_taken = false;
  std::atomic<bool> m_lost{false};
};

}  // namespace

bool SetClipboardText(const std::string& text, bool clear) { return ClipboardOwner::Get().Offer(text, clear); }

}  // namespace xtb::desktop
