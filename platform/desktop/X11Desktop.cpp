#include "X11Desktop.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>
#include <xcb/xcb.h>
#include <cstdlib>
#include <cstring>

namespace X11Desktop {

namespace {

xcb_connection_t *connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t rootWindow(xcb_connection_t *c)
{
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, false, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return result;
}

// The 32-bit values of a property; empty when it is not set.
QList<quint32> cardinals(xcb_connection_t *c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                         uint32_t count)
{
    QList<quint32> values;
    xcb_get_property_reply_t *reply =
        xcb_get_property_reply(c, xcb_get_property(c, false, window, property, type, 0, count), nullptr);
    if (reply && reply->format == 32 && reply->type == type) {
        const auto *data = static_cast<const quint32 *>(xcb_get_property_value(reply));
        values = QList<quint32>(data, data + xcb_get_property_value_length(reply) / 4);
    }
    free(reply);
    return values;
}

bool managerOffers(xcb_connection_t *c, xcb_atom_t feature)
{
    return cardinals(c, rootWindow(c), atom(c, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 1024).contains(feature);
}

}

bool available()
{
    return connection() != nullptr;
}

std::optional<QMargins> askFrameExtents(WId window, int timeoutMs)
{
    xcb_connection_t *c = connection();
    if (!c)
        return std::nullopt;
    const xcb_atom_t request = atom(c, "_NET_REQUEST_FRAME_EXTENTS");
    const xcb_atom_t extents = atom(c, "_NET_FRAME_EXTENTS");
    if (!managerOffers(c, request))
        return std::nullopt;
    // Whatever the property held belongs to an earlier frame: the answer is
    // the value the window manager sets from now on.
    xcb_delete_property(c, xcb_window_t(window), extents);
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = xcb_window_t(window);
    message.type = request;
    xcb_send_event(c, false, rootWindow(c),
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(c);
    QElapsedTimer clock;
    clock.start();
    do {
        const QList<quint32> v = cardinals(c, xcb_window_t(window), extents, XCB_ATOM_CARDINAL, 4);
        if (v.size() == 4)   // left, right, top, bottom
            return QMargins(int(v[0]), int(v[2]), int(v[1]), int(v[3]));
        QThread::msleep(2);
    } while (clock.elapsed() < timeoutMs);
    return std::nullopt;
}

quint32 plainKeysym(quint32 keycode)
{
    xcb_connection_t *c = connection();
    const xcb_setup_t *setup = c ? xcb_get_setup(c) : nullptr;
    if (!setup || keycode < setup->min_keycode || keycode > setup->max_keycode)
        return 0;
    xcb_get_keyboard_mapping_reply_t *reply = xcb_get_keyboard_mapping_reply(
        c, xcb_get_keyboard_mapping(c, xcb_keycode_t(keycode), 1), nullptr);
    quint32 symbol = 0;
    if (reply && reply->keysyms_per_keycode > 0)
        symbol = xcb_get_keyboard_mapping_keysyms(reply)[0];
    free(reply);
    return symbol;
}

void dropFullScreenState(WId window)
{
    xcb_connection_t *c = connection();
    if (!c)
        return;
    const xcb_atom_t property = atom(c, "_NET_WM_STATE");
    QList<quint32> states = cardinals(c, xcb_window_t(window), property, XCB_ATOM_ATOM, 1024);
    if (states.removeAll(atom(c, "_NET_WM_STATE_FULLSCREEN")) == 0)
        return;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, xcb_window_t(window), property, XCB_ATOM_ATOM, 32,
                        uint32_t(states.size()), states.constData());
    xcb_flush(c);
}

void setTitle(WId window, const QByteArray &utf8)
{
    xcb_connection_t *c = connection();
    if (!c)
        return;
    for (const xcb_atom_t property : {atom(c, "_NET_WM_NAME"), xcb_atom_t(XCB_ATOM_WM_NAME)}) {
        const xcb_atom_t type = property == XCB_ATOM_WM_NAME ? xcb_atom_t(XCB_ATOM_STRING) : atom(c, "UTF8_STRING");
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, xcb_window_t(window), property, type, 8,
                            uint32_t(utf8.size()), utf8.constData());
    }
    xcb_flush(c);
}

}
