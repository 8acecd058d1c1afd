#include "widgets/LinePanelUnit.h"

#include <QEvent>
#include <QPainter>
#include <QPalette>

#include "widgets/PaintUtils.h"

TLinePanel::TLinePanel(QWidget* parent) : QWidget(parent)
{
    // Every pixel is painted here, so Qt need not erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(185, 41);
}

void TLinePanel::SetLineColor(const QColor& color)
{
    m_lineColor = color;
    update();
}

void TLinePanel::SetLineBorders(TLineBorders borders)
{
    m_lineBorders = borders;
    update();
}

void TLinePanel::SetBorderWidth(int width)
{
    m_borderWidth = std::max(0, width);
    setContentsMargins(m_borderWidth, m_borderWidth, m_borderWidth, m_borderWidth);
    update();
}

QColor TLinePanel::Color() const
{
    if (m_parentColor) {
        const QColor inherited = widgets::ParentBackgroundColor(parentWidget());
        if (inherited.isValid())
            return inherited;
        return palette().color(QPalette::Window);
    }
    return m_color;
}

void TLinePanel::SetColor(const QColor& color)
{
    m_color = color;
    m_parentColor = false;
    ApplyPalette();
    update();
}

void TLinePanel::SetParentColor(bool on)
{
    if (on == m_parentColor)
        return;
    if (!on)
        m_color = Color();
    m_parentColor = on;
    ApplyPalette();
    update();
}

void TLinePanel::ApplyPalette()
{
    // Children that paint the window role (labels with a background, Qt's own panels) match the
    // panel's own colour.
    if (m_parentColor)
        return;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, m_color);
    setPalette(pal);
}

void TLinePanel::SetAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment & Qt::AlignHorizontal_Mask;
    update();
}

void TLinePanel::SetCaption(const QString& caption)
{
    m_caption = caption;
    update();
}

QSize TLinePanel::sizeHint() const
{
    return {185, 41};
}

void TLinePanel::changeEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::ParentChange:
    case QEvent::PaletteChange:
    case QEvent::EnabledChange:
    case QEvent::FontChange:
        update();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

void TLinePanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int w = width();
    const int h = height();
    p.fillRect(rect(), Color());

    p.setPen(m_lineColor);
    if (m_lineBorders & lbTop)
        p.drawLine(0, 0, w - 1, 0);
    if (m_lineBorders & lbLeft)
        p.drawLine(0, 0, 0, h - 1);
    if (m_lineBorders & lbRight)
        p.drawLine(w - 1, 0, w - 1, h - 1);
    if (m_lineBorders & lbBottom)
        p.drawLine(0, h - 1, w - 1, h - 1);

    if (m_caption.isEmpty())
        return;
    const int flags = static_cast<int>(m_alignment) | Qt::AlignVCenter | Qt::TextSingleLine |
                      Qt::TextShowMnemonic;
    const QRect textRect = rect();
    p.setFont(font());
    if (isEnabled()) {
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(textRect, flags, m_caption);
    } else {
        p.setPen(palette().color(QPalette::Light));
        p.drawText(textRect.translated(1, 1), flags, m_caption);
        p.setPen(palette().color(QPalette::Dark));
        p.drawText(textRect, flags, m_caption);
    }
}
