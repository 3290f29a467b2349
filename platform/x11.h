// libX11, loaded at run time so that programs without a display never load
// it. Only what the platform layer uses is declared here.
#pragma once

namespace xtb::x11 {

struct Display;

struct KeyboardControl {
  int key_click_percent;
  int bell_percent;
  int bell_pitch;
  int bell_duration;
  int led;
  int led_mode;
  int key;
  int auto_repeat_mode;
};

struct KeyboardState {
  int key_click_percent;
  int bell_percent;
  unsigned int bell_pitch, bell_duration;
  unsigned long led_mask;
  int global_auto_repeat;
  char auto_repeats[32];
};

constexpr unsigned long kBellPitch = 1UL << 2;
constexpr unsigned long kBellDuration = 1UL << 3;

struct Api {
  Display* (*OpenDisplay)(const char*);
  int (*CloseDisplay)(Display*);
  int (*Bell)(Display*, int);
  int (*Flush)(Display*);
  int (*Sync)(Display*, int);
  int (*GetKeyboardControl)(Display*, KeyboardState*);
  int (*ChangeKeyboardControl)(Display*, unsigned long, KeyboardControl*);
};

// The library's functions, or null when libX11 cannot be loaded (looked up once).
const Api* Load();

// An open connection to the display of $DISPLAY, closed on destruction.
class Connection {
 public:
  Connection();
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  // False with the last error set: ERROR_NOT_SUPPORTED without DISPLAY or
  // libX11, ERROR_NOT_READY when the display cannot be opened.
  bool IsOpen() const { return m_display != nullptr; }
  const Api& api() const { return *m_api; }
  Display* display() const { return m_display; }

 private:
  const Api* m_api = nullptr;
  Display* m_display = nullptr;
};

}  // namespace xtb::x11
