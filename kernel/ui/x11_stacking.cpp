#include "kernel/ui/x11_stacking.h"

#include <QGuiApplication>

#ifdef ZORIT_WITH_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#endif

std::vector<WId> WindowManagerStacking()
{
    std::vector<WId> order;
#ifdef ZORIT_WITH_XCB
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c)
        return order;
    static const char name[] = "_NET_CLIENT_LIST_STACKING";
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    if (!atom)
        return order;
    const xcb_atom_t stacking = atom->atom;
    std::free(atom);
    if (stacking == XCB_ATOM_NONE)
        return order;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, root, stacking, XCB_ATOM_WINDOW, 0, 4096), nullptr);
    if (!reply)
        return order;
    if (reply->format == 32) {
        const auto* ids = static_cast<const xcb_window_t*>(xcb_get_property_value(reply));
        const int count = xcb_get_property_value_length(reply) / 4;
        order.assign(ids, ids + count);
    }
    std::free(reply);
#endif
    return order;
}
