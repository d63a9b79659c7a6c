#pragma once
// The application object: an exception that reaches the event loop is
// written to the debug log and otherwise ignored.
#include <QApplication>
#include <functional>

class ZoritApplication : public QApplication {
public:
    ZoritApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Runs one delivery; an exception leaves a debug log line ("Exception" and
// its text) and gives false.
bool DeliverGuarded(const std::function<bool()>& deliver);
