// The window type and state of a fixed dialog on X11, written straight onto the
// native window before it is mapped; Qt adds its own states (modal) to the state
// list when it maps the window, keeping these.

#include "platform/x11_dialog.h"

#include <QWidget>

#ifdef BRELVOXA_X11
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>
#endif

namespace platform {

#ifdef BRELVOXA_X11

namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    const auto cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t result = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return result;
}

std::vector<xcb_atom_t> atomList(xcb_connection_t* connection, xcb_window_t window,
                                 xcb_atom_t property) {
    const auto cookie = xcb_get_property(connection, 0, window, property, XCB_ATOM_ATOM, 0, 64);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
    std::vector<xcb_atom_t> atoms;
    if (reply != nullptr && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
        const auto* values = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
        atoms.assign(values, values + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return atoms;
}

void setAtomList(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property,
                 const std::vector<xcb_atom_t>& atoms) {
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, property, XCB_ATOM_ATOM, 32,
                        static_cast<std::uint32_t>(atoms.size()), atoms.data());
}

} // namespace

void markFixedDialog(QWidget& window) {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr) {
        return; // another platform: Wayland, offscreen
    }
    xcb_connection_t* connection = x11->connection();
    const auto id = static_cast<xcb_window_t>(window.winId());
    // Openbox leaves minimise and maximise off only for toolbars and menus; a window
    // manager that knows no toolbars reads the dialog after it.
    setAtomList(connection, id, atom(connection, "_NET_WM_WINDOW_TYPE"),
                {atom(connection, "_NET_WM_WINDOW_TYPE_TOOLBAR"),
                 atom(connection, "_NET_WM_WINDOW_TYPE_DIALOG")});
    const xcb_atom_t state = atom(connection, "_NET_WM_STATE");
    std::vector<xcb_atom_t> states = atomList(connection, id, state);
    for (const char* name : {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}) {
        const xcb_atom_t skip = atom(connection, name);
        if (std::find(states.begin(), states.end(), skip) == states.end()) {
            states.push_back(skip);
        }
    }
    setAtomList(connection, id, state, states);
    xcb_flush(connection);
}

#else

void markFixedDialog(QWidget& /*window*/) {}

#endif

} // namespace platform
