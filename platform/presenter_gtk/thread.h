// The one thread that owns GTK. Boxes and dialogs come from any thread; each
// is handed to the UI thread, which builds its window there, and only the
// calling thread waits for the answer. The UI thread starts on first use and
// runs GLib's default main context, where GDK delivers its events.
#pragma once

#include "api.h"

namespace xtb::gtk {

// A box or dialog for the UI thread. Start() builds and shows its window on
// the UI thread; the window's handlers call Finish() once it is answered.
class Request {
 public:
  virtual ~Request() = default;
  virtual void Start(const Api& api) = 0;

 protected:
  void Finish();

 private:
  friend class UiThread;
  bool m_finished = false;
};

enum class Outcome {
  kAnswered,     // the request finished
  kNoDesktop,    // no usable GTK display here: answer without one
  kDisplayLost,  // the display went away while the request was open
};

// Runs `request` on the UI thread and waits until it has finished. A forked
// child never uses its parent's UI thread (kNoDesktop).
Outcome Run(Request& request);

}  // namespace xtb::gtk
