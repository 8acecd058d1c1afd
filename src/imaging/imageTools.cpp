#include "imaging/imageTools.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <random>

#include <QCursor>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QString>

#include "platform/appFolder.h"

namespace imaging {

void DrawCentered(const TFastDIB& source, QPainter& target, int boxWidth, int boxHeight, TBgrColor backColor)
{
    if (boxWidth <= 0 || boxHeight <= 0)
        return;
    target.fillRect(0, 0, boxWidth, boxHeight, QColor(backColor.Red, backColor.Green, backColor.Blue));
    if (target.pen().style() != Qt::NoPen) {
        target.save();
        target.setBrush(Qt::NoBrush);
        // A one-pixel pen strokes one pixel beyond the rectangle's size.
        target.drawRect(0, 0, boxWidth - 1, boxHeight - 1);
        target.restore();
    }
    source.DrawAt(target, (boxWidth - source.Width()) / 2, (boxHeight - source.AbsHeight()) / 2);
}

void DrawCentered(const TFastDIB& source, TFastDIB& target, int boxWidth, int boxHeight, TBgrColor backColor)
{
    if (boxWidth <= 0 || boxHeight <= 0)
        return;
    target.FillRect(0, 0, boxWidth, boxHeight, backColor);
    const TBgrColor pen{};
    target.FillRect(0, 0, boxWidth, 1, pen);
    target.FillRect(0, boxHeight - 1, boxWidth, 1, pen);
    target.FillRect(0, 0, 1, boxHeight, pen);
    target.FillRect(boxWidth - 1, 0, 1, boxHeight, pen);
    source.DrawAt(target, (boxWidth - source.Width()) / 2, (boxHeight - source.AbsHeight()) / 2);
}

namespace {

// Bytes 0x80..0x9F; the five bytes the set leaves undefined pass through as the control
// characters of the same value, so that every byte survives a round trip.
constexpr std::array<char16_t, 32> kHighControls{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t ByteToUnicode(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : char16_t{byte};
}

}  // namespace

std::optional<char> AnsiByte(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == c)
            return static_cast<char>(0x80 + i);
    return std::nullopt;
}

char16_t AnsiChar(unsigned char byte)
{
    return ByteToUnicode(byte);
}

namespace {

char UnicodeToByte(char32_t c)
{
    return AnsiByte(c).value_or('?');
}

bool IsNonSpacingMark(char32_t c)
{
    return QChar::category(c) == QChar::Mark_NonSpacing;
}

// Splits UTF-16 into code points; a lone surrogate stands for itself.
class CodePoints {
public:
    explicit CodePoints(std::u16string_view text) : text_(text) {}
    bool AtEnd() const { return pos_ >= text_.size(); }
    std::size_t Position() const { return pos_; }
    char32_t Peek(std::size_t* length = nullptr) const
    {
        const char16_t high = text_[pos_];
        if (QChar::isHighSurrogate(high) && pos_ + 1 < text_.size() && QChar::isLowSurrogate(text_[pos_ + 1])) {
            if (length != nullptr)
                *length = 2;
            return QChar::surrogateToUcs4(high, text_[pos_ + 1]);
        }
        if (length != nullptr)
            *length = 1;
        return high;
    }
    char32_t Next()
    {
        std::size_t length = 1;
        const char32_t c = Peek(&length);
        pos_ += length;
        return c;
    }

private:
    std::u16string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

std::string WideToAnsi(std::u16string_view text)
{
    text = text.substr(0, text.find(u'\0'));
    std::string result;
    if (text.empty())
        return result;
    result.reserve(text.size());
    CodePoints points(text);
    while (!points.AtEnd()) {
        const std::size_t start = points.Position();
        const char32_t base = points.Next();
        if (IsNonSpacingMark(base))
            continue;  // a mark without a letter to sit on
        bool marks = false;
        while (!points.AtEnd() && IsNonSpacingMark(points.Peek())) {
            points.Next();
            marks = true;
        }
        if (!marks) {
            result += UnicodeToByte(base);
            continue;
        }
        const std::u16string_view cluster = text.substr(start, points.Position() - start);
        const QString composed = QString::fromUtf16(cluster.data(), static_cast<qsizetype>(cluster.size()))
                                     .normalized(QString::NormalizationForm_C);
        const std::u16string_view units(reinterpret_cast<const char16_t*>(composed.utf16()),
            static_cast<std::size_t>(composed.size()));
        for (CodePoints part(units); !part.AtEnd();) {
            const char32_t c = part.Next();
            if (!IsNonSpacingMark(c))
                result += UnicodeToByte(c);
        }
    }
    return result;
}

std::string WideToAnsi(const QString& text)
{
    return WideToAnsi(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
}

std::u16string AnsiToWide(std::string_view text)
{
    text = text.substr(0, text.find('\0'));
    std::u16string result;
    result.reserve(text.size());
    for (const char c : text)
        result += ByteToUnicode(static_cast<unsigned char>(c));
    return result;
}

QString AnsiToQString(std::string_view text)
{
    const std::u16string wide = AnsiToWide(text);
    return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
}

std::string RandomTag()
{
    static constexpr std::string_view kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789*.:()/\\%&+";
    static_assert(kAlphabet.size() == 72);
    static std::mutex mutex;
    static std::uint64_t calls = 0;
    static std::string last;

    const std::lock_guard lock(mutex);
    // A clock seed alone repeats within one clock tick; the call count keeps the seeds apart.
    const auto now = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::seed_seq seed{static_cast<std::uint32_t>(now), static_cast<std::uint32_t>(now >> 32),
        static_cast<std::uint32_t>(++calls), static_cast<std::uint32_t>(calls >> 32)};
    std::mt19937 generator(seed);
    const auto r = [&generator](int n) { return std::uniform_int_distribution<int>(0, n - 1)(generator); };

    std::string tag;
    do {
        tag.assign(8, ' ');
        tag[0] = kAlphabet[static_cast<std::size_t>(r(26))];
        tag[static_cast<std::size_t>(r(7) + 1)] = kAlphabet[static_cast<std::size_t>(r(9) + 52)];
        for (std::size_t i = 1; i < 8; ++i) {
            if (tag[i] != ' ')
                continue;
            char c;
            do
                c = kAlphabet[static_cast<std::size_t>(r(62))];
            while (c == tag[i - 1] || (i < 7 && c == tag[i + 1]));
            tag[i] = c;
        }
    } while (tag == last);
    last = tag;
    return tag;
}

namespace {

struct CursorPicture {
    int id;
    int hotX, hotY;
};

constexpr std::array<CursorPicture, 7> kCursorPictures{{
    {250, 16, 15}, {251, 0, 0}, {252, 16, 15}, {253, 15, 16}, {254, 12, 12}, {255, 12, 12}, {256, 15, 15},
}};

std::map<int, QCursor>& Cursors()
{
    static std::map<int, QCursor> cursors;
    return cursors;
}

}  // namespace

int RegisterCursors()
{
    // Pixmaps need a running QGuiApplication.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return 0;
    int registered = 0;
    for (const CursorPicture& picture : kCursorPictures) {
        const QString path = QStringLiteral(":/cursors/%1.png").arg(picture.id);
        if (!QFile::exists(path))
            continue;
        const QPixmap pixmap(path);
        if (pixmap.isNull())
            continue;
        Cursors().insert_or_assign(picture.id, QCursor(pixmap, picture.hotX, picture.hotY));
        ++registered;
    }
    return registered;
}

QCursor CustomCursor(int id)
{
    const auto found = Cursors().find(id);
    return found != Cursors().end() ? found->second : QCursor(Qt::ArrowCursor);
}

bool IsCursorRegistered(int id)
{
    return Cursors().contains(id);
}

QCursor HandPointCursor()
{
    return QCursor(Qt::PointingHandCursor);
}

int PrepareImageTools()
{
    platform::ApplicationFolder();
    return RegisterCursors();
}

}  // namespace imaging
