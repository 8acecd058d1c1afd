#include "app/application.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QTimer>

#include <stdexcept>

namespace {

class ThrowingObject : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User)
            throw std::runtime_error("The file could not be read.");
        return QObject::event(e);
    }
};

// Closes the error box once it shows, noting its caption and text.
struct ErrorBoxWatcher {
    QString caption;
    QString text;

    void Arm()
    {
        QTimer::singleShot(50, [this] { Poll(); });
    }

    void Poll()
    {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            caption = box->windowTitle();
            text = box->text();
            box->accept();
            return;
        }
        QTimer::singleShot(20, [this] { Poll(); });
    }
};

TEST(ErrorBox, AnExceptionFromAHandlerIsShownAndTheProgramGoesOn)
{
    QApplication::setApplicationName(QStringLiteral("Stillreel"));
    ThrowingObject target;
    ErrorBoxWatcher watcher;
    watcher.Arm();

    QEvent event(QEvent::User);
    EXPECT_NO_THROW(QCoreApplication::sendEvent(&target, &event));
    EXPECT_EQ(watcher.caption, "Stillreel");
    EXPECT_EQ(watcher.text, "The file could not be read.");

    // The same object still handles events afterwards.
    QEvent other(static_cast<QEvent::Type>(QEvent::User + 1));
    EXPECT_NO_THROW(QCoreApplication::sendEvent(&target, &other));
}

TEST(ErrorBox, ExceptionsFromQueuedCallsAreCaughtToo)
{
    ErrorBoxWatcher watcher;
    watcher.Arm();
    bool after = false;
    QTimer::singleShot(0, [] { throw std::logic_error("Queued failure"); });
    QTimer::singleShot(400, [&] { after = true; });
    while (!after)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(watcher.text, "Queued failure");
}

}  // namespace
