#include "gui/chrome/TaskbarPresence.h"

#include <xcb/xcb.h>

#include <QEvent>
#include <QGuiApplication>
#include <QList>
#include <QWidget>
#include <cstdlib>
#include <cstring>

namespace qz {

namespace {

const char* const kProperty = "qzSkipsTaskbar";

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

}  // namespace

bool taskbarPresenceApplies() {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 && x11->connection();
}

namespace {

// Before the window is mapped the state is a property the window manager reads at mapping;
// afterwards it is a request to the window manager.
void apply(QWidget* window, bool mapped) {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection()) {
        return;
    }
    xcb_connection_t* connection = x11->connection();
    const bool skips = skipsTaskbar(window);
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_atom_t state = internAtom(connection, "_NET_WM_STATE");
    const xcb_atom_t ours[2] = {internAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
                                internAtom(connection, "_NET_WM_STATE_SKIP_PAGER")};
    if (mapped) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = id;
        event.type = state;
        event.data.data32[0] = skips ? 1 : 0;  // add or remove
        event.data.data32[1] = ours[0];
        event.data.data32[2] = ours[1];
        event.data.data32[3] = 1;  // from an ordinary application
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        xcb_send_event(connection, 0, root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                       reinterpret_cast<const char*>(&event));
    } else {
        // Keep the other states already set, as Qt does when it adds its own.
        QList<xcb_atom_t> atoms;
        const xcb_get_property_cookie_t cookie =
            xcb_get_property(connection, 0, id, state, XCB_ATOM_ATOM, 0, 1024);
        if (xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr)) {
            if (reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
                const auto* data = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
                const int count = xcb_get_property_value_length(reply) / 4;
                atoms = QList<xcb_atom_t>(data, data + count);
            }
            std::free(reply);
        }
        for (xcb_atom_t atom : ours) {
            atoms.removeAll(atom);
            if (skips) {
                atoms.append(atom);
            }
        }
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32,
                            static_cast<uint32_t>(atoms.size()), atoms.constData());
    }
    xcb_flush(connection);
}

// Applies the state again before every showing: a window manager drops it when a window hides.
class Reapply : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && !event->spontaneous()) {
            apply(static_cast<QWidget*>(watched), /*mapped=*/false);
        }
        return false;
    }
};

}  // namespace

void setSkipsTaskbar(QWidget* window, bool skips) {
    if (!window) {
        return;
    }
    const bool first = !window->property(kProperty).isValid();
    window->setProperty(kProperty, skips);
    if (first) {
        window->installEventFilter(new Reapply(window));
    }
    if (window->isVisible()) {
        apply(window, /*mapped=*/true);
    }
}

bool skipsTaskbar(const QWidget* window) {
    return window && window->property(kProperty).toBool();
}

}  // namespace qz
