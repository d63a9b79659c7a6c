#pragma once
// The stacking of the program's windows on the X server the program runs
// on. Window managers differ in how they treat a window that gains or loses
// the above state, and without one nothing keeps a window above another:
// so the program reads the order and restacks its windows explicitly. A
// test puts a recorder in the server's place.
#include <QtGui/qwindowdefs.h>
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

    // The X server's (nothing on a platform without X), or the recorder a
    // test has put in its place.
    static WindowStacking& Current();
    // nullptr puts the X server back.
    static void Replace(WindowStacking* stacking);
};
