#pragma once

#include <QPixmap>
#include <QTest>
#include <QWidget>

// A shown top-level window to put widgets in, so that QTest's mouse and key events reach them.
class Host {
public:
    explicit Host(QSize size = {400, 200})
    {
        window.resize(size);
    }
    bool Show()
    {
        window.show();
        return QTest::qWaitForWindowExposed(&window);
    }
    bool ShowActive()
    {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }
    QWidget window;
};

inline QPixmap Solid(int w, int h, QColor color)
{
    QPixmap pixmap(w, h);
    pixmap.fill(color);
    return pixmap;
}
