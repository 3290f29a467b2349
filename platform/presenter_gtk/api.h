// GTK 3, loaded at run time so that programs without a display never load
// it. Only what the desktop presenter uses is declared here; every GTK,
// GLib and GDK object is an opaque pointer. GLib, GObject, GDK and Xlib
// come in as dependencies of libgtk-3 and are looked up through it.
#pragma once

#include <cstddef>

namespace xtb::gtk {

struct Widget;  // any GtkWidget: windows, dialogs, buttons, file choosers
struct FileFilter;
struct Display;   // GdkDisplay
struct XDisplay;  // Xlib's Display

using Callback = void (*)();
using XIOErrorHandler = int (*)(XDisplay*);

// GtkMessageType
constexpr int kMessageInfo = 0;
constexpr int kMessageWarning = 1;
constexpr int kMessageQuestion = 2;
constexpr int kMessageError = 3;
constexpr int kMessageOther = 4;
// GtkResponseType
constexpr int kResponseAccept = -3;
constexpr int kResponseDeleteEvent = -4;
constexpr int kResponseCancel = -6;
// GtkFileChooserAction
constexpr int kActionSave = 1;
constexpr int kActionSelectFolder = 2;
// Other GTK values
constexpr int kButtonsNone = 0;
constexpr int kDialogModal = 1;
constexpr int kDialogDestroyWithParent = 2;
constexpr int kWindowPositionCenter = 1;
constexpr int kIdleSourceRemove = 0;

// Every function used: its C name, result type and parameter list. The
// function table below has one member of that name for each.
#define XTB_GTK_FUNCTIONS(F)                                                                                       \
  /* GLib and GObject */                                                                                           \
  F(g_idle_add_full, unsigned, (int priority, int (*function)(void*), void* data, void (*notify)(void*)))          \
  F(g_main_loop_new, void*, (void* context, int isRunning))                                                        \
  F(g_main_loop_run, void, (void* loop))                                                                           \
  F(g_signal_connect_data, unsigned long,                                                                          \
    (void* instance, const char* signal, Callback handler, void* data, void (*destroy)(void*, void*), int flags))  \
  F(g_free, void, (void* memory))                                                                                  \
  F(g_type_check_instance_is_a, int, (void* instance, std::size_t type))                                           \
  F(g_utf8_validate, int, (const char* text, long length, const char** end))                                       \
  /* GTK */                                                                                                        \
  F(gtk_disable_setlocale, void, ())                                                                               \
  F(gtk_init_check, int, (int* argc, char*** argv))                                                                \
  F(gtk_message_dialog_new, Widget*, (Widget * parent, int flags, int type, int buttons, const char* format, ...)) \
  F(gtk_file_chooser_dialog_new, Widget*, (const char* title, Widget* parent, int action, const char* first, ...)) \
  F(gtk_dialog_add_button, Widget*, (Widget * dialog, const char* label, int response))                            \
  F(gtk_dialog_set_default_response, void, (Widget * dialog, int response))                                        \
  F(gtk_window_set_title, void, (Widget * window, const char* title))                                              \
  F(gtk_window_set_keep_above, void, (Widget * window, int above))                                                 \
  F(gtk_window_set_position, void, (Widget * window, int position))                                                \
  F(gtk_window_resize, void, (Widget * window, int width, int height))                                             \
  F(gtk_widget_grab_focus, void, (Widget * widget))                                                                \
  F(gtk_widget_show, void, (Widget * widget))                                                                      \
  F(gtk_widget_destroy, void, (Widget * widget))                                                                   \
  F(gtk_file_chooser_set_current_name, void, (Widget * chooser, const char* utf8Name))                             \
  F(gtk_file_chooser_set_current_folder, int, (Widget * chooser, const char* folder))                              \
  F(gtk_file_chooser_get_filename, char*, (Widget * chooser))                                                      \
  F(gtk_file_chooser_add_filter, void, (Widget * chooser, FileFilter * filter))                                    \
  F(gtk_file_filter_new, FileFilter*, ())                                                                          \
  F(gtk_file_filter_set_name, void, (FileFilter * filter, const char* utf8Name))                                   \
  F(gtk_file_filter_add_pattern, void, (FileFilter * filter, const char* pattern))                                 \
  F(gtk_dialog_get_content_area, Widget*, (Widget * dialog))                                                       \
  F(gtk_container_add, void, (Widget * container, Widget* child))                                                  \
  F(gtk_combo_box_text_new, Widget*, ())                                                                           \
  F(gtk_combo_box_text_append_text, void, (Widget * combo, const char* utf8Text))                                  \
  F(gtk_combo_box_text_get_active_text, char*, (Widget * combo))                                                   \
  F(gtk_combo_box_set_active, void, (Widget * combo, int index))                                                   \
  /* GDK and Xlib, to notice that the X display has gone away */                                                   \
  F(gdk_display_get_default, Display*, ())                                                                         \
  F(gdk_x11_display_get_type, std::size_t, ())                                                                     \
  F(gdk_x11_display_get_xdisplay, XDisplay*, (Display * display))                                                  \
  F(XSetIOErrorHandler, XIOErrorHandler, (XIOErrorHandler handler))                                                \
  F(XUnlockDisplay, int, (XDisplay * display))

struct Api {
#define XTB_GTK_MEMBER(name, result, parameters) result(*name) parameters;
  XTB_GTK_FUNCTIONS(XTB_GTK_MEMBER)
#undef XTB_GTK_MEMBER
};

// The library's functions, or null when libgtk-3 cannot be loaded or lacks
// one of them (looked up once).
const Api* Load();

}  // namespace xtb::gtk
