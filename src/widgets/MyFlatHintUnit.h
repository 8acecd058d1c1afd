#pragma once

#include <functional>
#include <memory>

#include <QBasicTimer>
#include <QElapsedTimer>
#include <QColor>
#include <QFont>
#include <QObject>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

class QFontMetrics;

namespace flathint {

inline constexpr int kStripWidth = 14;
inline constexpr int kFirstHintDelayMs = 500;
inline constexpr int kNextHintDelayMs = 25;
inline constexpr int kHideAfterMs = 5000;

struct Placement {
    QRect rect;          // the hint window in screen coordinates
    bool pointerLeft;    // the pointer is in the screen's left half: the strip goes left
    bool pointerUpper;   // the pointer is in the screen's upper half: the hint hangs below it
};

// The hint's size: the text word-wrapped to maxHintWidth - 22 pixels, plus 22 x 6.
QSize HintSize(const QFontMetrics& metrics, const QString& text, int maxHintWidth);

// Where a hint of `size` goes for the pointer at `cursor` on `screen`, by the screen quarter that
// holds the pointer: upper left 12 pixels below and right of it, the other quarters 5 pixels away
// (upper right below-left, lower left above-right, lower right above-left).
Placement PlaceHint(QPoint cursor, QSize size, const QRect& screen);

}  // namespace flathint

class TMyFlatHintWindow;

// Replaces the application's tooltips while it exists: every widget's toolTip() (tool buttons
// and item views included) shows in a TMyFlatHintWindow, 500 ms after the pointer comes to rest on
// a control, 25 ms when moving on from a control whose hint is showing, hidden after 5000 ms.
// Place one on the main window; if several exist, the oldest serves.
class TMyFlatHint : public QObject {
    Q_OBJECT
public:
    explicit TMyFlatHint(QWidget* parent = nullptr);
    ~TMyFlatHint() override;

    QColor ColorBackground() const { return m_colorBackground; }
    void SetColorBackground(const QColor& color) { m_colorBackground = color; }
    QColor ColorBorder() const { return m_colorBorder; }
    void SetColorBorder(const QColor& color) { m_colorBorder = color; }
    QColor ColorArrowBackground() const { return m_colorArrowBackground; }
    void SetColorArrowBackground(const QColor& color) { m_colorArrowBackground = color; }
    QColor ColorArrow() const { return m_colorArrow; }
    void SetColorArrow(const QColor& color) { m_colorArrow = color; }
    int MaxHintWidth() const { return m_maxHintWidth; }
    void SetMaxHintWidth(int width) { m_maxHintWidth = width; }
    QFont Font() const { return m_font; }
    void SetFont(const QFont& font) { m_font = font; }
    // A QFont carries no colour; the hint text's colour lives here.
    QColor FontColor() const { return m_fontColor; }
    void SetFontColor(const QColor& color) { m_fontColor = color; }

    // Called before a hint shows, with its text and the control it belongs to; may change the
    // text (an empty text shows nothing).
    std::function<void(QString&, QWidget*)> OnShowHint;

    // The one hint component in charge, or null.
    static TMyFlatHint* Current();

    TMyFlatHintWindow* HintWindow() const { return m_window.get(); }

    // Shows `text` for `control` at once, as the timer would; for callers and tests.
    void ShowHintFor(QWidget* control, const QString& text, QPoint cursor);
    void HideHint();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    struct Target {
        QPointer<QWidget> control;   // the widget whose hint shows
        QPersistentModelIndex item;  // the item under the pointer in an item view
        QString text;
        bool operator==(const Target& other) const
        {
            return control == other.control && item == other.item && text == other.text;
        }
    };
    Target TargetAt(QWidget* widget, QPoint localPos) const;
    void PointerMoved(QPoint globalPos);
    void Cancel();

    QColor m_colorBackground{255, 255, 255};
    QColor m_colorBorder{0, 0, 0};
    QColor m_colorArrowBackground{255, 210, 83};
    QColor m_colorArrow{0, 0, 0};
    int m_maxHintWidth = 200;
    QFont m_font;
    QColor m_fontColor{0, 0, 0};

    std::unique_ptr<TMyFlatHintWindow> m_window;
    Target m_target;
    QPointer<QWidget> m_lastWidget;
    QPoint m_lastPos;
    QBasicTimer m_showTimer;
    QBasicTimer m_hideTimer;
    QElapsedTimer m_sinceVisible;  // valid while a hint shows or has just been moved away from
};

// The hint window: a strip with an arrow on the side nearer the pointer and the word-wrapped
// text. Shown on top without taking the focus.
class TMyFlatHintWindow : public QWidget {
    Q_OBJECT
public:
    explicit TMyFlatHintWindow(QWidget* parent = nullptr);

    // Sizes and places the window for `text` with the pointer at `cursor`, using `hint`'s look.
    void ActivateHint(const TMyFlatHint& hint, const QString& text, QPoint cursor);

    QString Text() const { return m_text; }
    bool PointerLeft() const { return m_pointerLeft; }
    bool PointerUpper() const { return m_pointerUpper; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    QFont m_font;
    QColor m_background, m_border, m_arrowBackground, m_arrow, m_textColor;
    bool m_pointerLeft = true;
    bool m_pointerUpper = true;
};
