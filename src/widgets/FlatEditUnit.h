#pragma once

#include <optional>

#include <QColor>
#include <QLineEdit>

class QValidator;

enum TEditValueType { evtDefault, evtInteger, evtFloat };

// A borderless edit box with a one-pixel frame whose background lightens while it is focused or
// hovered.
class TMyCustomFlatEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TMyCustomFlatEdit(QWidget* parent = nullptr);

    QColor ColorFocused() const { return m_colorFocused; }
    void SetColorFocused(const QColor& color);
    QColor ColorBorder() const { return m_colorBorder; }
    void SetColorBorder(const QColor& color);
    // The resting background: the parent's colour while ParentColor is set.
    QColor ColorFlat() const;
    // Sets an own flat colour and clears ParentColor.
    void SetColorFlat(const QColor& color);
    bool ParentColor() const { return m_parentColor; }
    void SetParentColor(bool on);

    bool IsHover() const { return m_hover; }
    // The background on show now.
    QColor CurrentBackground() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int LineHeight() const;
    void SyncPalette();
    void UpdateBackground();

    QColor m_colorFocused{255, 255, 255};
    QColor m_colorBorder{160, 150, 131};
    QColor m_colorFlat{235, 234, 225};
    bool m_parentColor = true;
    bool m_hover = false;
};

// The flat edit box with an optional integer mode: digits only, Up/Down arrows and the wheel
// step the value between MinValue and MaxValue (0 = no upper limit).
class TMyFlatEdit : public TMyCustomFlatEdit {
    Q_OBJECT
public:
    using enum TEditValueType;

    explicit TMyFlatEdit(QWidget* parent = nullptr);

    TEditValueType ValueType() const { return m_valueType; }
    void SetValueType(TEditValueType type);
    int MinValue() const { return m_minValue; }
    void SetMinValue(int value) { m_minValue = value; }
    int MaxValue() const { return m_maxValue; }
    void SetMaxValue(int value) { m_maxValue = value; }

    // The text as a number: 0 for an empty text and in evtDefault.
    int asInteger() const;

    void StepUp();
    void StepDown();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void TypeChar(QChar ch);
    void ApplyStep(const std::optional<QString>& text);

    QValidator* m_digitsOnly;  // children of the box
    QValidator* m_rejectAll;
    TEditValueType m_valueType = evtDefault;
    int m_minValue = 0;
    int m_maxValue = 0;
};
