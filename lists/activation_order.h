#pragma once
// The order in which the program's windows were last activated (Qt has no
// z-order query): the window handed the focus when a list window hides.
class QWidget;

class ActivationOrder {
public:
    static void Note(QWidget* window);
    // Gives the focus to the most recently activated visible window other
    // than the leaving one and the main window.
    static void BringNextToFront(const QWidget* leaving);
};
