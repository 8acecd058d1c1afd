#pragma once

#include <QApplication>

#include <exception>

// The application object. Every event passes through notify(), so an exception that escapes a
// handler ends there: it is shown in the application's error box and the event loop goes on.
class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The application's standard error box: the exception's message under the application
    // title. Exceptions that are not std::exception get a generic text.
    static void ShowException(const std::exception& error);
    static void ShowUnknownException();
};

namespace app {

// The application title: window caption of the main window and caption of every message box.
QString ApplicationTitle();

// Registers the pictures compiled into the program; safe to call more than once.
void InitResources();

}  // namespace app
