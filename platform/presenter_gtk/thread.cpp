#include "thread.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "os/clocks.h"
#include "os/process.h"
#include "os/thread.h"

namespace xtb::gtk {

class UiThread {
 public:
  static UiThread& Get() {
    static UiThread* ui = new UiThread;  // never destroyed: the thread outlives static destruction
    return *ui;
  }

  Outcome Run(Request& request) {
    if (s_forkedChild.load()) return Outcome::kNoDesktop;
    std::unique_lock lock(m_mutex);
    if (!Started(lock)) return Outcome::kNoDesktop;
    m_api->g_idle_add_full(0, &StartRequest, &request, nullptr);
    m_changed.wait(lock, [&] { return request.m_finished || m_state != State::kRunning; });
    return request.m_finished ? Outcome::kAnswered : Outcome::kDisplayLost;
  }

  void Finish(Request& request) {
    std::lock_guard lock(m_mutex);
    request.m_finished = true;
    m_changed.notify_all();
  }

 private:
  enum class State { kNotStarted, kStarting, kRunning, kUnavailable };
  // GTK initialises within this time, or the desktop counts as missing.
  static constexpr std::chrono::seconds kStartTimeout{10};

  // Starts the UI thread on first use; every caller waits for its start.
  bool Started(std::unique_lock<std::mutex>& lock) {
    if (m_state == State::kNotStarted) {
      m_state = State::kStarting;
      m_startDeadline = std::chrono::steady_clock::now() + kStartTimeout;
      os::OnFork(nullptr, nullptr, [] { s_forkedChild.store(true); });
      os::NativeThread ui;  // let go here: it serves for the life of the process
      if (!ui.Start([this] { Main(); })) m_state = State::kUnavailable;  // no thread: answer without a desktop
    }
    if (!m_changed.wait_until(lock, m_startDeadline, [&] { return m_state != State::kStarting; }))
      m_state = State::kUnavailable;
    return m_state == State::kRunning;
  }

  void Main() {
    os::SetCurrentThreadName("xtb-ui");
    const Api* api = Load();
    if (api) api->gtk_disable_setlocale();  // the program's locale stays as the program set it
    const bool ready = api && api->gtk_init_check(nullptr, nullptr);
    if (ready) WatchDisplay(*api);
    {
      std::lock_guard lock(m_mutex);
      if (m_state != State::kStarting) return;  // the caller gave up waiting
      m_api = api;
      m_state = ready ? State::kRunning : State::kUnavailable;
      m_changed.notify_all();
    }
    if (ready) api->g_main_loop_run(api->g_main_loop_new(nullptr, 0));
  }

  static int StartRequest(void* request) {
    static_cast<Request*>(request)->Start(*Get().m_api);
    return kIdleSourceRemove;
  }

  // On an X display, a lost connection ends up in Xlib's I/O error handler,
  // whose default ends the process. Ours releases the waiting callers.
  void WatchDisplay(const Api& api) {
    Display* display = api.gdk_display_get_default();
    if (!display || !api.g_type_check_instance_is_a(display, api.gdk_x11_display_get_type())) return;
    m_xdisplay = api.gdk_x11_display_get_xdisplay(display);
    m_previousIoHandler = api.XSetIOErrorHandler(&OnIoError);
  }

  static int OnIoError(XDisplay* display) {
    UiThread& ui = Get();
    if (display != ui.m_xdisplay.load()) {
      const XIOErrorHandler previous = ui.m_previousIoHandler.load();
      return previous ? previous(display) : 0;
    }
    {
      std::lock_guard lock(ui.m_mutex);
      ui.m_state = State::kUnavailable;
      ui.m_changed.notify_all();
    }
    // GTK cannot go on without its display, and Xlib ends the process when
    // this handler returns: the UI thread stays here for good. Xlib has
    // locked the display for the thread it expects to exit; unlocked, the
    // library destructors that run at the program's own exit find it free.
    ui.m_api->XUnlockDisplay(display);
    os::SleepForever();
  }

  static inline std::atomic<bool> s_forkedChild{false};
  std::mutex m_mutex;
  std::condition_variable m_changed;
  State m_state = State::kNotStarted;
  std::chrono::steady_clock::time_point m_startDeadline;
  const Api* m_api = nullptr;
  // Set once on the UI thread; read by Xlib's error handler on any thread.
  std::atomic<XDisplay*> m_xdisplay{nullptr};
  std::atomic<XIOErrorHandler> m_previousIoHandler{nullptr};
};

void Request::Finish() { UiThread::Get().Finish(*this); }

Outcome Run(Request& request) { return UiThread::Get().Run(request); }

}  // namespace xtb::gtk
