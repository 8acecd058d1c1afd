#pragma once

#include <QColor>
#include <QFlags>
#include <QString>
#include <QWidget>

enum TLineBorder { lbTop = 1, lbLeft = 2, lbRight = 4, lbBottom = 8 };
using TLineBorders = QFlags<TLineBorder>;
Q_DECLARE_OPERATORS_FOR_FLAGS(TLineBorders)

// A plain panel with optional one-pixel lines on chosen sides and an inner margin for its
// children. Its fill follows the parent's colour until a colour of its own is set.
class TLinePanel : public QWidget {
    Q_OBJECT
public:
    explicit TLinePanel(QWidget* parent = nullptr);

    QColor LineColor() const { return m_lineColor; }
    void SetLineColor(const QColor& color);

    TLineBorders LineBorders() const { return m_lineBorders; }
    void SetLineBorders(TLineBorders borders);

    // Also the widget's contentsMargins, so a layout installed in the panel keeps the margin.
    int BorderWidth() const { return m_borderWidth; }
    void SetBorderWidth(int width);

    // The fill colour in effect: the parent's while ParentColor is set.
    QColor Color() const;
    // Sets an own colour and clears ParentColor.
    void SetColor(const QColor& color);
    bool ParentColor() const { return m_parentColor; }
    void SetParentColor(bool on);

    // Horizontal alignment of the caption: Qt::AlignLeft, Qt::AlignRight or Qt::AlignHCenter.
    Qt::Alignment Alignment() const { return m_alignment; }
    void SetAlignment(Qt::Alignment alignment);

    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ApplyPalette();

    QColor m_lineColor{127, 157, 185};
    TLineBorders m_lineBorders;
    int m_borderWidth = 0;
    QColor m_color;
    bool m_parentColor = true;
    Qt::Alignment m_alignment = Qt::AlignHCenter;
    QString m_caption;
};
