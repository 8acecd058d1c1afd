#include "widgets/PaintUtils.h"

#include <cmath>
#include <limits>

#include <QWidget>

#include "widgets/LinePanelUnit.h"

namespace widgets {

std::int64_t RoundHalfEven(long double value)
{
    if (std::isnan(value))
        return 0;
    const long double r = std::nearbyint(value);
    constexpr auto lo = std::numeric_limits<std::int64_t>::min();
    constexpr auto hi = std::numeric_limits<std::int64_t>::max();
    if (r <= static_cast<long double>(lo))
        return lo;
    if (r >= static_cast<long double>(hi))
        return hi;
    return static_cast<std::int64_t>(r);
}

namespace {

int Channel(int from, int to, int i, int n)
{
    const long double v = from + static_cast<long double>(to - from) * i / n;
    return static_cast<int>(RoundHalfEven(v));
}

}  // namespace

QColor GradientColor(const QColor& from, const QColor& to, int i, int n)
{
    if (n <= 0)
        return from;
    return QColor(Channel(from.red(), to.red(), i, n), Channel(from.green(), to.green(), i, n),
                  Channel(from.blue(), to.blue(), i, n));
}

QColor ParentBackgroundColor(const QWidget* parent)
{
    if (!parent)
        return {};
    if (const auto* panel = qobject_cast<const TLinePanel*>(parent))
        return panel->Color();
    return parent->palette().color(parent->backgroundRole());
}

}  // namespace widgets
