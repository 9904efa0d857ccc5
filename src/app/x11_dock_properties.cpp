#include "app/x11_dock_properties.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace lumarine::x11 {
namespace {

struct FreeDeleter {
  void operator()(void* p) const { std::free(p); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

xcb_connection_t* Connection() {
  auto* native = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return native ? native->connection() : nullptr;
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
  return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

xcb_window_t WindowOf(QWidget* window) {
  return window ? static_cast<xcb_window_t>(window->winId()) : xcb_window_t{XCB_WINDOW_NONE};
}

void ReplaceAtoms(xcb_connection_t* c, xcb_window_t w, const char* property,
                  const std::vector<xcb_atom_t>& atoms) {
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, Atom(c, property), XCB_ATOM_ATOM, 32,
                      static_cast<uint32_t>(atoms.size()), atoms.data());
}

std::vector<xcb_atom_t> ReadAtoms(xcb_connection_t* c, xcb_window_t w, const char* property) {
  Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
      c, xcb_get_property(c, 0, w, Atom(c, property), XCB_ATOM_ATOM, 0, 64), nullptr));
  if (!reply || reply->format != 32) return {};
  const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
  return {atoms, atoms + xcb_get_property_value_length(reply.get()) / 4};
}

}  // namespace

void PrepareDockWindow(QWidget* window) {
  xcb_connection_t* c = Connection();
  const xcb_window_t w = WindowOf(window);
  if (c == nullptr || w == XCB_WINDOW_NONE) return;
  ReplaceAtoms(c, w, "_NET_WM_WINDOW_TYPE", {Atom(c, "_NET_WM_WINDOW_TYPE_DOCK")});
  // Merged with what the toolkit put there (it adds the above state itself).
  std::vector<xcb_atom_t> states = ReadAtoms(c, w, "_NET_WM_STATE");
  for (const char* name : {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER",
                           "_NET_WM_STATE_STICKY", "_NET_WM_STATE_ABOVE"}) {
    const xcb_atom_t state = Atom(c, name);
    if (std::find(states.begin(), states.end(), state) == states.end()) states.push_back(state);
  }
  ReplaceAtoms(c, w, "_NET_WM_STATE", states);
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, Atom(c, "_NET_WM_DESKTOP"), XCB_ATOM_CARDINAL,
                      32, 1, &kAllDesktops);
  xcb_flush(c);
}

void AskForAllDesktops(QWidget* window) {
  xcb_connection_t* c = Connection();
  const xcb_window_t w = WindowOf(window);
  if (c == nullptr || w == XCB_WINDOW_NONE) return;
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  // Source indication 2: a pager or taskbar, which window managers obey where they may
  // override an application's wish.
  const auto send = [&](const char* type, std::array<uint32_t, 5> data) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = w;
    message.type = Atom(c, type);
    std::copy(data.begin(), data.end(), message.data.data32);
    xcb_send_event(c, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
  };
  send("_NET_WM_DESKTOP", {kAllDesktops, 2, 0, 0, 0});
  send("_NET_WM_STATE", {1 /* add */, Atom(c, "_NET_WM_STATE_STICKY"), 0, 2, 0});
  xcb_flush(c);
}

bool IsDesktopChange(const void* xcbEvent, QWidget* window) {
  const auto* event = static_cast<const xcb_generic_event_t*>(xcbEvent);
  if ((event->response_type & 0x7F) != XCB_PROPERTY_NOTIFY || !window) return false;
  const auto* change = static_cast<const xcb_property_notify_event_t*>(xcbEvent);
  if (change->window != static_cast<xcb_window_t>(window->internalWinId())) return false;
  xcb_connection_t* c = Connection();
  if (c == nullptr) return false;
  static const xcb_atom_t desktop = Atom(c, "_NET_WM_DESKTOP");  // one connection per process
  return change->atom == desktop;
}

bool SetDockReservation(QWidget* window, const StrutValues& strut) {
  xcb_connection_t* c = Connection();
  const xcb_window_t w = WindowOf(window);
  if (c == nullptr || w == XCB_WINDOW_NONE) return false;
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, Atom(c, "_NET_WM_STRUT_PARTIAL"),
                      XCB_ATOM_CARDINAL, 32, 12, strut.data());
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, Atom(c, "_NET_WM_STRUT"), XCB_ATOM_CARDINAL, 32,
                      4, strut.data());
  xcb_flush(c);
  return true;
}

void ClearDockReservation(QWidget* window) {
  xcb_connection_t* c = Connection();
  const xcb_window_t w = WindowOf(window);
  if (c == nullptr || w == XCB_WINDOW_NONE) return;
  xcb_delete_property(c, w, Atom(c, "_NET_WM_STRUT_PARTIAL"));
  xcb_delete_property(c, w, Atom(c, "_NET_WM_STRUT"));
  xcb_flush(c);
}

std::optional<int> RootWidth(QWidget* window) {
  xcb_connection_t* c = Connection();
  const xcb_window_t w = WindowOf(window);
  if (c == nullptr || w == XCB_WINDOW_NONE) return std::nullopt;
  Reply<xcb_get_geometry_reply_t> geometry(
      xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr));
  if (!geometry) return std::nullopt;
  Reply<xcb_get_geometry_reply_t> root(
      xcb_get_geometry_reply(c, xcb_get_geometry(c, geometry->root), nullptr));
  if (!root) return std::nullopt;
  return root->width;
}

void XorScreenOutline(const QRect& rect) {
  xcb_connection_t* c = Connection();
  if (c == nullptr || rect.width() < 1 || rect.height() < 1) return;
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  if (screen == nullptr) return;
  const xcb_gcontext_t gc = xcb_generate_id(c);
  const uint32_t values[] = {XCB_GX_XOR, 0xFFFFFF, XCB_SUBWINDOW_MODE_INCLUDE_INFERIORS};
  xcb_create_gc(c, gc, screen->root, XCB_GC_FUNCTION | XCB_GC_FOREGROUND | XCB_GC_SUBWINDOW_MODE,
                values);
  // An X rectangle outline covers width + 1 by height + 1 pixels.
  const xcb_rectangle_t outline = {static_cast<int16_t>(rect.x()), static_cast<int16_t>(rect.y()),
                                   static_cast<uint16_t>(rect.width() - 1),
                                   static_cast<uint16_t>(rect.height() - 1)};
  xcb_poly_rectangle(c, screen->root, gc, 1, &outline);
  xcb_free_gc(c, gc);
  xcb_flush(c);
}

std::vector<std::uint32_t> ReadCardinals(QWidget* window, const char* property) {
  xcb_connection_t* c = Connection();
  const xcb_window_t w = WindowOf(window);
  if (c == nullptr || w == XCB_WINDOW_NONE) return {};
  Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
      c, xcb_get_property(c, 0, w, Atom(c, property), XCB_ATOM_CARDINAL, 0, 64), nullptr));
  if (!reply || reply->format != 32) return {};
  const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
  return {values, values + xcb_get_property_value_length(reply.get()) / 4};
}

std::vector<QString> ReadAtomNames(QWidget* window, const char* property) {
  xcb_connection_t* c = Connection();
  const xcb_window_t w = WindowOf(window);
  if (c == nullptr || w == XCB_WINDOW_NONE) return {};
  Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
      c, xcb_get_property(c, 0, w, Atom(c, property), XCB_ATOM_ATOM, 0, 64), nullptr));
  if (!reply || reply->format != 32) return {};
  const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
  std::vector<QString> names;
  for (int i = 0; i < xcb_get_property_value_length(reply.get()) / 4; ++i) {
    Reply<xcb_get_atom_name_reply_t> name(
        xcb_get_atom_name_reply(c, xcb_get_atom_name(c, atoms[i]), nullptr));
    if (name)
      names.push_back(QString::fromLatin1(xcb_get_atom_name_name(name.get()),
                                          xcb_get_atom_name_name_length(name.get())));
  }
  return names;
}

bool IsMapped(QWidget* window) {
  xcb_connection_t* c = Connection();
  const xcb_window_t w = WindowOf(window);
  if (c == nullptr || w == XCB_WINDOW_NONE) return false;
  Reply<xcb_get_window_attributes_reply_t> reply(
      xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), nullptr));
  return reply && reply->map_state != XCB_MAP_STATE_UNMAPPED;
}

}  // namespace lumarine::x11
