#pragma once
// The stacking of the program's windows on the X server the program runs
// on. Window managers differ in how they treat a window that gains or loses
// the above state, and without one nothing keeps a window above another:
// so the program reads the order and restacks its windows explicitly. A
// test puts a recorder in the server's place.
#include <QtGui/qwindowdefs.h>
#include <optional>
#include <string>
#include <vector>

class WindowStacking {
public:
    virtual ~WindowStacking() = default;
    // The windows from bottom to top: as the window manager announces them,
    // else as the server stacks the root's children. Empty without X.
    virtual std::vector<WId> Order() const = 0;
    // A window manager has announced itself on the root window.
    virtual bool ManagerRuns() const = 0;
    // The name the window manager gives itself ("Xfwm4"); empty when none
    // runs or it gives none.
    virtual std::string ManagerName() const { return {}; }
    // Puts the window directly above the sibling, or at the top when the
    // sibling is 0. With a window manager the request goes to it.
    virtual void PlaceAbove(WId window, WId sibling) = 0;

    // Asks the window manager to give the window the keys as a choice of
    // the person's own: some (xfwm4) refuse an application's request that
    // carries the time of the key which closed a dialog, once they have
    // given the keys elsewhere since.
    virtual void Activate(WId window) = 0;

    // Moves the keyboard focus to the window directly, as a program may
    // between its own windows while one of them has it. Done before the
    // window that has the keys goes, it leaves the window manager no choice
    // to make when it goes (xfwm4 would choose the topmost ordinary window,
    // never a tool window).
    virtual void GiveFocus(WId window) = 0;
    // The window that has the keyboard focus as the server has it now, a
    // step ahead of the focus events still on their way; none without X.
    virtual std::optional<WId> Focus() const { return std::nullopt; }

    // The window is mapped on the server: on the screen, the program's view
    // of it aside.
    virtual bool IsMapped(WId) const { return false; }
    // Takes the window off the screen as a program withdraws it: unmapped,
    // and the window manager told so by the ICCCM's synthetic UnmapNotify.
    virtual void Withdraw(WId) {}

    // The X server's (nothing on a platform without X), or the recorder a
    // test has put in its place.
    static WindowStacking& Current();
    // nullptr puts the X server back.
    static void Replace(WindowStacking* stacking);
};
