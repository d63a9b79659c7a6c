#pragma once
// The progress boxes of long jobs, as a message meets them. A box stays on
// top of the program's windows while its job runs; a message that comes
// meanwhile is the job's report (its end, its failure, a question), and a
// box over it would hide it from the person who has to answer it. So every
// message sets the shown boxes aside before it shows and stands above the
// window the person worked in; a job that goes on after the message brings
// its box back with its next progress, a job that ends hides it for good.
class QWidget;
class QWindow;

namespace ProgressBoxes {

// A progress box of the program, for its lifetime.
void Register(QWidget* box);
// The widget is a registered progress box.
bool IsBox(const QWidget* widget);
// A box is on the screen: its job runs, or its hide waits for the window
// manager to have shown it.
bool AnyShown();
// Before a message shows: hides the shown boxes.
void SetAside();
// The box was set aside by a message and its job has neither shown nor
// hidden it since.
bool IsSetAside(const QWidget* box);
// The box's job showed or hid it itself.
void Forget(const QWidget* box);
// The window a message belongs above: the window last active that is no
// progress box, while it is on the screen; else the main window; else none.
QWindow* MessageParent();
// The window the person works in: the one last active that is no progress
// box, no modal dialog and no pop-up, while it is on the screen; else the
// active window when it is none of those; else none.
QWidget* WorkWindow();

}  // namespace ProgressBoxes
