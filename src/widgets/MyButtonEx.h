#pragma once

#include <functional>

#include <QColor>
#include <QPixmap>
#include <QString>
#include <QWidget>

namespace buttonex {

struct ContentLayout {
    QRect glyph;    // empty without a glyph
    QRect caption;  // the caption's text box
};

// Glyph and caption centred together in a `client` box: a gap of 3 pixels between them (5 while
// pressed) and the caption 2 pixels lower while pressed.
ContentLayout LayoutContent(QSize client, QSize glyph, QSize caption, bool pressed);

}  // namespace buttonex

// A push button with a gradient face and a rounded frame. Reached with Tab; its access key is the
// caption's & letter (Alt+letter); Space clicks it while it has the focus.
class TMyButtonEx : public QWidget {
    Q_OBJECT
public:
    explicit TMyButtonEx(QWidget* parent = nullptr);

    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    QPixmap Glyph() const { return m_glyph; }
    void SetGlyph(const QPixmap& glyph);

    QColor DefaultColorFrom() const { return m_defaultFrom; }
    void SetDefaultColorFrom(const QColor& color);
    QColor DefaultColorTo() const { return m_defaultTo; }
    void SetDefaultColorTo(const QColor& color);
    QColor ClickColorFrom() const { return m_clickFrom; }
    void SetClickColorFrom(const QColor& color);
    QColor ClickColorTo() const { return m_clickTo; }
    void SetClickColorTo(const QColor& color);
    QColor BorderColor() const { return m_borderColor; }
    void SetBorderColor(const QColor& color);

    bool DrawFocus() const { return m_drawFocus; }
    void SetDrawFocus(bool on);

    std::function<void()> OnClick;

    // A programmatic click: raises OnClick only while the button is visible and enabled.
    void Click();

    bool IsPressed() const { return m_pressed; }

    QSize sizeHint() const override { return {75, 25}; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void SetColor(QColor& field, const QColor& color);
    void UpdateShortcut();
    void UpdateMask();

    QString m_caption;
    QPixmap m_glyph;
    QColor m_defaultFrom{238, 238, 238};
    QColor m_defaultTo{228, 228, 228};
    QColor m_clickFrom{228, 228, 228};
    QColor m_clickTo{238, 238, 238};
    QColor m_borderColor{197, 197, 197};
    bool m_drawFocus = false;
    bool m_pressed = false;
    int m_shortcutId = 0;
};
