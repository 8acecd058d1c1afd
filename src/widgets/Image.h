#pragma once

#include <functional>

#include <QPixmap>
#include <QRect>
#include <QWidget>

namespace imagelogic {

// Where a picture of `picture` size is drawn in a `client` box. Unstretched it keeps its size;
// Stretch fills the box; Proportional keeps the aspect ratio, shrinking a picture larger than
// the box (and, with Stretch, also enlarging a smaller one) to fit. Center centres the result,
// otherwise it sits at the top-left corner.
QRect DestRect(QSize picture, QSize client, bool stretch, bool proportional, bool center);

}  // namespace imagelogic

// A plain picture control.
class TImage : public QWidget {
    Q_OBJECT
public:
    explicit TImage(QWidget* parent = nullptr);

    QPixmap Picture() const { return m_picture; }
    void SetPicture(const QPixmap& picture);
    bool Stretch() const { return m_stretch; }
    void SetStretch(bool on);
    bool Center() const { return m_center; }
    void SetCenter(bool on);
    bool Proportional() const { return m_proportional; }
    void SetProportional(bool on);
    // A picture without an alpha channel then lets its bottom-left pixel's colour show through.
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool on);
    int Tag() const { return m_tag; }
    void SetTag(int tag) { m_tag = tag; }

    // Raised when the left button is released over the control.
    std::function<void()> OnClick;

    QRect DestRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Rebuild();

    QPixmap m_picture;
    QPixmap m_shown;  // m_picture, masked when Transparent applies
    bool m_stretch = false;
    bool m_center = false;
    bool m_proportional = false;
    bool m_transparent = false;
    int m_tag = 0;
};
