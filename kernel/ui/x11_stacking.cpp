#include "kernel/ui/x11_stacking.h"

#include <QGuiApplication>

#ifdef ZORIT_WITH_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <string>
#endif

namespace {

#ifdef ZORIT_WITH_XCB
xcb_connection_t* Connection()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t Root(xcb_connection_t* c)
{
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}

// The 32-bit values of a window's property; empty when it has none.
std::vector<uint32_t> Property(xcb_connection_t* c, xcb_window_t window, const char* name, xcb_atom_t type)
{
    std::vector<uint32_t> values;
    const xcb_atom_t atom = Atom(c, name);
    if (atom == XCB_ATOM_NONE)
        return values;
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, atom, type, 0, 4096), nullptr);
    if (!reply)
        return values;
    if (reply->format == 32) {
        const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(reply));
        values.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return values;
}

class XServerStacking : public WindowStacking {
public:
    std::vector<WId> Order() const override
    {
        std::vector<WId> order;
        xcb_connection_t* c = Connection();
        if (!c)
            return order;
        if (ManagerRuns()) {
            for (uint32_t id : Property(c, Root(c), "_NET_CLIENT_LIST_STACKING", XCB_ATOM_WINDOW))
                order.push_back(id);
            return order;
        }
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, Root(c)), nullptr);
        if (!tree)
            return order;
        const xcb_window_t* children = xcb_query_tree_children(tree);
        order.assign(children, children + xcb_query_tree_children_length(tree));
        std::free(tree);
        return order;
    }

    bool ManagerRuns() const override
    {
        // The check window names itself as well while its manager lives: a
        // manager that died leaves the root's property behind.
        xcb_connection_t* c = Connection();
        if (!c)
            return false;
        const std::vector<uint32_t> check = Property(c, Root(c), "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW);
        return !check.empty() &&
               Property(c, check.front(), "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW) == check;
    }

    std::string ManagerName() const override
    {
        xcb_connection_t* c = Connection();
        if (!c || !ManagerRuns())
            return {};
        const std::vector<uint32_t> check = Property(c, Root(c), "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW);
        const xcb_atom_t name = Atom(c, "_NET_WM_NAME");
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            c, xcb_get_property(c, 0, check.front(), name, Atom(c, "UTF8_STRING"), 0, 256), nullptr);
        if (!reply)
            return {};
        std::string text;
        if (reply->format == 8)
            text.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                        static_cast<size_t>(xcb_get_property_value_length(reply)));
        std::free(reply);
        return text;
    }

    void PlaceAbove(WId window, WId sibling) override
    {
        xcb_connection_t* c = Connection();
        if (!c)
            return;
        const auto id = static_cast<xcb_window_t>(window);
        if (ManagerRuns() && Supported(c, "_NET_RESTACK_WINDOW")) {
            // The window manager's frames are the siblings on the server, so
            // the request relative to another client goes to the manager.
            xcb_client_message_event_t event{};
            event.response_type = XCB_CLIENT_MESSAGE;
            event.format = 32;
            event.window = id;
            event.type = Atom(c, "_NET_RESTACK_WINDOW");
            event.data.data32[0] = 2;  // from a pager-like source: carried out as asked
            event.data.data32[1] = static_cast<uint32_t>(sibling);
            event.data.data32[2] = XCB_STACK_MODE_ABOVE;
            xcb_send_event(c, 0, Root(c),
                           XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                           reinterpret_cast<const char*>(&event));
        } else if (sibling && !ManagerRuns()) {
            const uint32_t values[] = {static_cast<uint32_t>(sibling), XCB_STACK_MODE_ABOVE};
            xcb_configure_window(c, id, XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE, values);
        } else if (ManagerRuns()) {
            // A manager without the restack message (xfwm4) reads the
            // request the way the ICCCM asks of a client whose window it
            // has framed: a configure request sent to the root.
            xcb_configure_request_event_t event{};
            event.response_type = XCB_CONFIGURE_REQUEST;
            event.stack_mode = XCB_STACK_MODE_ABOVE;
            event.parent = Root(c);
            event.window = id;
            event.sibling = static_cast<xcb_window_t>(sibling);
            event.value_mask = XCB_CONFIG_WINDOW_STACK_MODE | (sibling ? XCB_CONFIG_WINDOW_SIBLING : 0);
            xcb_send_event(c, 0, Root(c),
                           XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                           reinterpret_cast<const char*>(&event));
        } else {
            const uint32_t values[] = {XCB_STACK_MODE_ABOVE};
            xcb_configure_window(c, id, XCB_CONFIG_WINDOW_STACK_MODE, values);
        }
        xcb_flush(c);
    }

    void Activate(WId window) override
    {
        xcb_connection_t* c = Connection();
        if (!c || !ManagerRuns())
            return;
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = static_cast<xcb_window_t>(window);
        event.type = Atom(c, "_NET_ACTIVE_WINDOW");
        event.data.data32[0] = 2;  // the person's choice
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(c, 0, Root(c), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
        xcb_flush(c);
    }

    void GiveFocus(WId window) override
    {
        xcb_connection_t* c = Connection();
        if (!c)
            return;
        xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, static_cast<xcb_window_t>(window), XCB_CURRENT_TIME);
        xcb_flush(c);
    }

    std::optional<WId> Focus() const override
    {
        xcb_connection_t* c = Connection();
        if (!c)
            return std::nullopt;
        xcb_get_input_focus_reply_t* reply = xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
        if (!reply)
            return std::nullopt;
        const WId focus = reply->focus;
        std::free(reply);
        return focus;
    }

    bool IsMapped(WId window) const override
    {
        xcb_connection_t* c = Connection();
        if (!c)
            return false;
        xcb_get_window_attributes_reply_t* reply = xcb_get_window_attributes_reply(
            c, xcb_get_window_attributes(c, static_cast<xcb_window_t>(window)), nullptr);
        if (!reply)
            return false;
        const bool mapped = reply->map_state != XCB_MAP_STATE_UNMAPPED;
        std::free(reply);
        return mapped;
    }

    void Withdraw(WId window) override
    {
        xcb_connection_t* c = Connection();
        if (!c)
            return;
        const auto id = static_cast<xcb_window_t>(window);
        xcb_unmap_window(c, id);
        xcb_unmap_notify_event_t event{};
        event.response_type = XCB_UNMAP_NOTIFY;
        event.event = Root(c);
        event.window = id;
        event.from_configure = 0;
        xcb_send_event(c, 0, Root(c), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
        xcb_flush(c);
    }

private:
    static bool Supported(xcb_connection_t* c, const char* name)
    {
        const std::vector<uint32_t> supported = Property(c, Root(c), "_NET_SUPPORTED", XCB_ATOM_ATOM);
        const xcb_atom_t atom = Atom(c, name);
        for (uint32_t a : supported)
            if (a == atom)
                return true;
        return false;
    }
};
#else
class XServerStacking : public WindowStacking {
public:
    std::vector<WId> Order() const override { return {}; }
    bool ManagerRuns() const override { return false; }
    void PlaceAbove(WId, WId) override {}
    void Activate(WId) override {}
    void GiveFocus(WId) override {}
};
#endif

WindowStacking*& Replaced()
{
    static WindowStacking* replaced = nullptr;
    return replaced;
}

}  // namespace

WindowStacking& WindowStacking::Current()
{
    static XServerStacking server;
    return Replaced() ? *Replaced() : server;
}

void WindowStacking::Replace(WindowStacking* stacking)
{
    Replaced() = stacking;
}
