#include "taskbar.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

namespace vodavav {

namespace {

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

xcb_atom_t internAtom(xcb_connection_t* connection, std::string_view name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.data());
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookie, nullptr),
                                               &std::free);
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

} // namespace

void hideFromTaskbar(QWidget& window) {
    // The offscreen platform offers the interface too, without a connection.
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr) {
        return;
    }
    const auto id = static_cast<xcb_window_t>(window.winId());
    const xcb_atom_t state = internAtom(connection, "_NET_WM_STATE");
    const xcb_atom_t wanted[] = {internAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
                                 internAtom(connection, "_NET_WM_STATE_SKIP_PAGER")};
    if (state == XCB_ATOM_NONE) {
        return;
    }

    // Keep the states already set; Qt adds its own to these when it maps the window.
    std::vector<xcb_atom_t> atoms;
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection, 0, id, state, XCB_ATOM_ATOM, 0, 1024);
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection, cookie, nullptr),
                                                &std::free);
    if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
        const auto* values = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
        atoms.assign(values, values + xcb_get_property_value_length(reply.get()) /
                                          static_cast<int>(sizeof(xcb_atom_t)));
    }
    for (const xcb_atom_t atom : wanted) {
        if (atom != XCB_ATOM_NONE && std::find(atoms.begin(), atoms.end(), atom) == atoms.end()) {
            atoms.push_back(atom);
        }
    }
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(atoms.size()), atoms.data());
    xcb_flush(connection);
}

} // namespace vodavav
