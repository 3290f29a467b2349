// libX11, loaded at run time so that programs without a display never load
// it. Only what the platform layer uses is declared here.
#pragma once

#include <string>

namespace xtb::x11 {

struct Display;
struct FontStruct;  // XFontStruct, only passed back to libX11

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

using Window = unsigned long;
using Atom = unsigned long;
using Time = unsigned long;

// The part of XWindowAttributes the platform reads (the layout of libX11's).
struct WindowAttributes {
  int x, y, width, height, border_width, depth;
  void* visual;
  Window root;
  int c_class, bit_gravity, win_gravity, backing_store;
  unsigned long backing_planes, backing_pixel;
  int save_under;
  unsigned long colormap;
  int map_installed, map_state;
  long all_event_masks, your_event_mask, do_not_propagate_mask;
  int override_redirect;
  void* screen;
};
constexpr int kIsViewable = 2;

struct SelectionRequestEvent {
  int type;
  unsigned long serial;
  int send_event;
  Display* display;
  Window owner, requestor;
  Atom selection, target, property;
  Time time;
};
struct SelectionEvent {
  int type;
  unsigned long serial;
  int send_event;
  Display* display;
  Window requestor;
  Atom selection, target, property;
  Time time;
};
// XEvent: a union as large as 24 longs; its first member is the type.
union Event {
  int type;
  SelectionRequestEvent request;
  SelectionEvent selection;
  long pad[24];
};
constexpr int kSelectionClear = 29;
constexpr int kSelectionRequest = 30;
constexpr int kSelectionNotify = 31;
constexpr int kPropModeReplace = 0;
constexpr Atom kAnyPropertyType = 0;
constexpr Atom kXA_ATOM = 4;
constexpr Atom kXA_CARDINAL = 6;
constexpr Atom kXA_STRING = 31;
constexpr Atom kXA_WINDOW = 33;

// XImage (the layout of libX11's); freed through its own destroy function.
struct Image {
  int width, height, xoffset, format;
  char* data;
  int byte_order, bitmap_unit, bitmap_bit_order, bitmap_pad, depth, bytes_per_line, bits_per_pixel;
  unsigned long red_mask, green_mask, blue_mask;
  char* obdata;
  struct Functions {
    Image* (*create_image)();
    int (*destroy_image)(Image*);
    unsigned long (*get_pixel)(Image*, int, int);
    int (*put_pixel)(Image*, int, int, unsigned long);
    Image* (*sub_image)(Image*, int, int, unsigned, unsigned);
    int (*add_pixel)(Image*, long);
  } f;
};
constexpr int kZPixmap = 2;
constexpr unsigned long kAllPlanes = ~0UL;
// XErrorEvent, only passed to an error handler.
struct ErrorEvent;

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
  Window (*DefaultRootWindow)(Display*);
  Atom (*InternAtom)(Display*, const char*, int);
  int (*GetWindowProperty)(Display*, Window, Atom, long, long, int, Atom, Atom*, int*, unsigned long*,
                           unsigned long*, unsigned char**);
  int (*Free)(void*);
  int (*QueryTree)(Display*, Window, Window*, Window*, Window**, unsigned int*);
  int (*GetWindowAttributes)(Display*, Window, WindowAttributes*);
  Window (*CreateSimpleWindow)(Display*, Window, int, int, unsigned, unsigned, unsigned, unsigned long, unsigned long);
  int (*DestroyWindow)(Display*, Window);
  int (*SetSelectionOwner)(Display*, Atom, Window, Time);
  Window (*GetSelectionOwner)(Display*, Atom);
  int (*NextEvent)(Display*, Event*);
  int (*Pending)(Display*);
  int (*ConnectionNumber)(Display*);
  int (*SendEvent)(Display*, Window, int, long, Event*);
  int (*ChangeProperty)(Display*, Window, Atom, Atom, int, int, const unsigned char*, int);
  void* (*DefaultGC)(Display*, int);
  int (*DefaultScreen)(Display*);
  unsigned long (*GContextFromGC)(void*);
  FontStruct* (*QueryFont)(Display*, unsigned long);
  int (*TextWidth)(FontStruct*, const char*, int);
  int (*FreeFontInfo)(char**, FontStruct*, int);
  Image* (*GetImage)(Display*, unsigned long, int, int, unsigned, unsigned, unsigned long, int);
  using ErrorHandler = int (*)(Display*, ErrorEvent*);
  ErrorHandler (*SetErrorHandler)(ErrorHandler);
  // Not in every libX11 (1.7 and later); null when missing.
  using IOErrorHandler = int (*)(Display*);
  IOErrorHandler (*SetIOErrorHandler)(IOErrorHandler);
  void (*SetIOErrorExitHandler)(Display*, void (*)(Display*, void*), void*);
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
  // The atom of a name (made when missing).
  Atom Intern(const char* name) const { return m_api->InternAtom(m_display, name, 0); }
  // A property of a window as bytes (empty when it is missing).
  std::string Property(Window window, Atom property, Atom type = kAnyPropertyType) const;
  // Hands the connection to the caller (it closes it with api().CloseDisplay).
  Display* Release() {
    Display* display = m_display;
    m_display = nullptr;
    return display;
  }

 private:
  const Api* m_api = nullptr;
  Display* m_display = nullptr;
};

}  // namespace xtb::x11
