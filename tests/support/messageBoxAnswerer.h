#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

namespace testing_support {

// Answers every message box that comes up while it lives, noting its text: with `Answer` where
// the box has that button, else with OK, else by closing it.
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer()
    {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isVisible())
                return;
            Texts << box->text();
            Titles << box->windowTitle();
            if (QAbstractButton* button = box->button(Answer))
                button->click();
            else if (QAbstractButton* ok = box->button(QMessageBox::Ok))
                ok->click();
            else
                box->reject();
        });
        timer_.start();
    }

    QMessageBox::StandardButton Answer = QMessageBox::Yes;
    QStringList Texts;
    QStringList Titles;

private:
    QTimer timer_;
};

}  // namespace testing_support
