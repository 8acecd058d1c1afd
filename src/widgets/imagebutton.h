#pragma once

#include <functional>

#include <QPixmap>
#include <QRect>
#include <QWidget>

namespace imagebutton {

enum class Look { Normal, Over, Down, Disabled };

struct Face {
    Look look = Look::Normal;
    QRect rect;  // where the picture is drawn; also the hit rectangle
};

struct Pictures {
    QSize image, over, down, disable;  // empty size = no picture
};

// Which picture shows and where, first match wins: disabled, pressed, hovered (with an Over
// picture), normal. A pressed button without a Down picture shows its Over picture instead.
Face ChooseFace(const Pictures& pictures, bool enabled, bool pressed, bool hover, bool useDown);

}  // namespace imagebutton

// A button drawn from four pictures (normal, mouse over, pressed, disabled). The clickable area
// is the rectangle of the picture on show.
class TImageButton : public QWidget {
    Q_OBJECT
public:
    explicit TImageButton(QWidget* parent = nullptr);

    QPixmap Image() const { return m_image; }
    void SetImage(const QPixmap& picture);
    QPixmap ImageOver() const { return m_imageOver; }
    void SetImageOver(const QPixmap& picture);
    QPixmap ImageDown() const { return m_imageDown; }
    void SetImageDown(const QPixmap& picture);
    QPixmap ImageDisable() const { return m_imageDisable; }
    void SetImageDisable(const QPixmap& picture);

    // Shift the pressed picture 2 pixels right and down.
    bool UseDown() const { return m_useDown; }
    void SetUseDown(bool on);

    // Raised by a left click released over the picture.
    std::function<void()> OnClick;

    bool IsPressed() const { return m_pressed; }
    bool IsHover() const { return m_hover; }
    QRect HitRect() const { return m_face.rect; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    const QPixmap& PictureFor(imagebutton::Look look) const;
    void Refresh();

    QPixmap m_image, m_imageOver, m_imageDown, m_imageDisable;
    bool m_useDown = true;
    bool m_hover = false;
    bool m_pressed = false;
    imagebutton::Face m_face;
};
