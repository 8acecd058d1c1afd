#include "app/progressForm.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include "app/theme.h"
#include "widgets/FSProgressBar.h"

TprogressDlg::TprogressDlg(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("progressDlg"));
    setFixedSize(ClientWidth, ClientHeight);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    setAutoFillBackground(true);

    ProgressBar = new TFSProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setGeometry(21, 39, 348, 16);
    ProgressBar->SetOrientation(pbHorizontal);
    ProgressBar->SetMin(0);
    ProgressBar->SetMax(7);
    ProgressBar->SetStep(1);
    // The colours of the main window's strip progress bar.
    ProgressBar->SetColorBorder(app::theme::PanelLine);
}

void TprogressDlg::Open()
{
    const QWidget* owner = parentWidget();
    const QRect over = owner != nullptr ? owner->frameGeometry()
        : (QGuiApplication::primaryScreen() != nullptr ? QGuiApplication::primaryScreen()->geometry() : QRect());
    move(over.center() - QPoint(width() / 2, height() / 2));
    show();
    raise();
    // The window is mapped asynchronously: wait (briefly) until it is on the screen, so that the
    // first items' progress is not painted into a window nobody sees yet.
    QElapsedTimer clock;
    clock.start();
    while (windowHandle() != nullptr && !windowHandle()->isExposed() && clock.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    repaint();
}

void TprogressDlg::SetPosition(int n)
{
    ProgressBar->SetPosition(n);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TprogressDlg::paintEvent(QPaintEvent*)
{
    // Without a frame the white window would melt into a white window behind it: a hairline in
    // the panels' colour marks its edge.
    QPainter painter(this);
    painter.setPen(app::theme::PanelLine);
    painter.drawRect(0, 0, width() - 1, height() - 1);
}
