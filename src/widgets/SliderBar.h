#pragma once

#include <cstdint>
#include <functional>

#include <QColor>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QWidget>

// A horizontal seek bar drawn from pictures with a draggable pointer standing for a value in
// 0..Max. It reports mouse actions twice, once before and once after it updates the held state
// (a right-button press only once), so a listener can tell a press on the pointer from the second
// call and a release of the pointer from the first.
class TSliderBar : public QWidget {
    Q_OBJECT
public:
    explicit TSliderBar(QWidget* parent = nullptr);

    QPixmap Bar() const { return m_bar; }
    void SetBar(const QPixmap& picture);
    QPixmap BarLeft() const { return m_barLeft; }
    void SetBarLeft(const QPixmap& picture);
    QPixmap BarRight() const { return m_barRight; }
    void SetBarRight(const QPixmap& picture);
    // The pointer's width sets the track length, so changing it recomputes Scale.
    QPixmap BarPointer() const { return m_barPointer; }
    void SetBarPointer(const QPixmap& picture);
    QPixmap BarPointerDown() const { return m_barPointerDown; }
    void SetBarPointerDown(const QPixmap& picture);
    QPixmap BarProgress() const { return m_barProgress; }
    void SetBarProgress(const QPixmap& picture);

    std::int64_t Position() const { return m_position; }
    void SetPosition(std::int64_t value);
    std::int64_t Max() const { return m_max; }
    void SetMax(std::int64_t value);
    std::int64_t SelStart() const { return m_selStart; }
    void SetSelStart(std::int64_t value);
    std::int64_t SelEnd() const { return m_selEnd; }
    void SetSelEnd(std::int64_t value);

    // The pointer is held: pressed and not yet released.
    bool MouseOnPointer() const { return m_mouseOnPointer; }
    bool isDown() const { return m_isDown; }

    QColor Color() const { return m_color; }
    void SetColor(const QColor& color);

    double Scale() const { return m_scale; }
    int TrackLength() const;
    QRect BarRect() const;
    QRect PointerRect() const;

    std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y)> OnMouseDown;
    std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y)> OnMouseUp;
    std::function<void(Qt::KeyboardModifiers, int x, int y)> OnMouseMove;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void UpdateScale();
    void RaiseMouseDown(const QMouseEvent& event) const;
    void RaiseMouseUp(const QMouseEvent& event) const;
    void RaiseMouseMove(const QMouseEvent& event) const;

    QPixmap m_bar, m_barLeft, m_barRight, m_barPointer, m_barPointerDown, m_barProgress;
    std::int64_t m_position = 0;
    std::int64_t m_max = 10;
    std::int64_t m_selStart = 0;
    std::int64_t m_selEnd = 0;
    bool m_mouseOnPointer = false;
    bool m_isDown = false;
    QColor m_color;
    double m_scale = 0.0;
    int m_grabOffset = 0;
    QPoint m_pressPoint;
};
