#include "library/dialogLook.h"

#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "widgets/FlatEditUnit.h"
#include "widgets/MyButtonEx.h"

namespace library::look {

QFont DialogFont(bool bold)
{
    QFont font(QStringLiteral("Trebuchet MS"));
    font.setPixelSize(12);
    font.setBold(bold);
    return font;
}

void SetCaptionColor(QWidget& widget)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, CaptionColor);
    palette.setColor(QPalette::ButtonText, CaptionColor);
    palette.setColor(QPalette::Text, CaptionColor);
    widget.setPalette(palette);
}

void PrepareDialog(QDialog& dialog, const QString& caption, int clientWidth, int clientHeight)
{
    dialog.setWindowTitle(caption);
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    dialog.setFixedSize(clientWidth, clientHeight);
    dialog.setFont(DialogFont());
    QPalette palette = dialog.palette();
    palette.setColor(QPalette::Window, Qt::white);
    dialog.setPalette(palette);
    dialog.setAutoFillBackground(true);
}

void CentreOnScreen(QDialog& dialog)
{
    const QScreen* screen = dialog.parentWidget() != nullptr ? dialog.parentWidget()->screen()
                                                             : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect area = screen->geometry();
    dialog.move(area.left() + (area.width() - dialog.width()) / 2, area.top() + (area.height() - dialog.height()) / 2);
}

QLabel* MakeLabel(QWidget* parent, const QString& text, int x, int y, bool bold)
{
    auto* label = new QLabel(text, parent);
    label->setFont(DialogFont(bold));
    SetCaptionColor(*label);
    label->move(x, y);
    label->adjustSize();
    return label;
}

TMyFlatEdit* MakeEdit(QWidget* parent, const char* name, const QString& hint, int x, int y, int width, int height)
{
    auto* edit = new TMyFlatEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setToolTip(hint);
    edit->setGeometry(x, y, width, height);
    return edit;
}

TMyButtonEx* MakeButton(QWidget* parent, const char* name, const QString& caption, int x, int y, int width, int height)
{
    auto* button = new TMyButtonEx(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->SetCaption(caption);
    button->setFont(DialogFont(true));
    SetCaptionColor(*button);
    button->setGeometry(x, y, width, height);
    return button;
}

}  // namespace library::look
