#include "app/application.h"

#include <QMessageBox>

// The resource initialiser must be declared at global scope.
static void RegisterStillreelResources()
{
    Q_INIT_RESOURCE(stillreel);
}

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    app::InitResources();
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowException(error);
    } catch (...) {
        ShowUnknownException();
    }
    return false;
}

namespace {

void ShowErrorBox(const QString& message)
{
    QMessageBox box(QMessageBox::Critical, app::ApplicationTitle(), message, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setObjectName(QStringLiteral("errorBox"));
    box.exec();
}

}  // namespace

void TApplication::ShowException(const std::exception& error)
{
    ShowErrorBox(QString::fromUtf8(error.what()));
}

void TApplication::ShowUnknownException()
{
    ShowErrorBox(QStringLiteral("An unexpected error occurred."));
}

namespace app {

QString ApplicationTitle()
{
    return QCoreApplication::applicationName();
}

void InitResources()
{
    static const bool registered = (RegisterStillreelResources(), true);
    (void)registered;
}

}  // namespace app
