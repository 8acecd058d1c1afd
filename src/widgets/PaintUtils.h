#pragma once

#include <cstdint>

#include <QColor>

class QWidget;

namespace widgets {

// Nearest integer with halves to even (the default rounding mode), clamped to the int64 range so
// that a huge product cannot overflow the conversion.
std::int64_t RoundHalfEven(long double value);

// One channel-wise step of a linear gradient over n steps: row i of rows 0..n gets
// from + (to - from) * i / n, each channel rounded to the nearest integer. n <= 0 gives `from`.
QColor GradientColor(const QColor& from, const QColor& to, int i, int n);

// The colour a child with "parent colour" set takes from `parent`: a panel's own fill colour,
// otherwise the parent's background role. Null parent gives an invalid colour.
QColor ParentBackgroundColor(const QWidget* parent);

}  // namespace widgets
