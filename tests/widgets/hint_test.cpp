#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QScreen>
#include <QTest>
#include <QToolButton>

#include "widget_test_util.h"
#include "widgets/MyFlatHintUnit.h"

using flathint::PlaceHint;

TEST(HintPlacement, ByScreenQuarter)
{
    const QRect screen(0, 0, 1000, 800);
    const QSize size(100, 30);
    struct Case {
        QPoint cursor;
        QRect rect;
        bool left, upper;
    };
    const Case cases[] = {
        {{100, 100}, QRect(112, 112, 100, 30), true, true},  // below right, 12 away
        {{900, 100}, QRect(795, 105, 100, 30), false, true},  // below left, 5 away
        {{100, 700}, QRect(105, 665, 100, 30), true, false},  // above right
        {{900, 700}, QRect(795, 665, 100, 30), false, false}, // above left
        {{499, 399}, QRect(511, 411, 100, 30), true, true},   // halves rounded down
        {{500, 400}, QRect(395, 365, 100, 30), false, false},
    };
    for (const Case& c : cases) {
        const flathint::Placement place = PlaceHint(c.cursor, size, screen);
        EXPECT_EQ(place.rect, c.rect) << c.cursor.x() << "," << c.cursor.y();
        EXPECT_EQ(place.pointerLeft, c.left);
        EXPECT_EQ(place.pointerUpper, c.upper);
    }
    // A second screen to the right: its own halves count.
    const auto second = PlaceHint({1100, 100}, size, QRect(1000, 0, 1000, 800));
    EXPECT_TRUE(second.pointerLeft);
}

TEST(HintPlacement, SizeIsWrappedTextPlusMargins)
{
    const QFontMetrics metrics(QApplication::font());
    const QSize one = flathint::HintSize(metrics, "Stop", 200);
    EXPECT_NEAR(one.width(), metrics.horizontalAdvance("Stop") + 22, 2);
    EXPECT_EQ(one.height(), metrics.height() + 6);
    const QString longText = QString("word ").repeated(40).trimmed();
    const QSize wrapped = flathint::HintSize(metrics, longText, 200);
    EXPECT_LE(wrapped.width(), 200);
    EXPECT_GT(wrapped.height(), 2 * metrics.height());
}

class FlatHint : public ::testing::Test {
protected:
    void SetUp() override
    {
        hint = new TMyFlatHint(&host.window);
        first = new QToolButton(&host.window);
        first->setGeometry(10, 10, 40, 40);
        first->setToolTip("Open a video file from disk");
        second = new QToolButton(&host.window);
        second->setGeometry(60, 10, 40, 40);
        second->setToolTip("Stop");
        second->setEnabled(false);  // disabled controls still show their hint
        ASSERT_TRUE(host.ShowActive());
    }
    void TearDown() override { QCursor::setPos(0, 0); }

    Host host{{300, 100}};
    TMyFlatHint* hint = nullptr;
    QToolButton* first = nullptr;
    QToolButton* second = nullptr;
};

TEST_F(FlatHint, DefaultsAndItsOwnWindow)
{
    EXPECT_EQ(TMyFlatHint::Current(), hint);
    EXPECT_EQ(hint->ColorBackground(), QColor(Qt::white));
    EXPECT_EQ(hint->ColorBorder(), QColor(Qt::black));
    EXPECT_EQ(hint->ColorArrowBackground(), QColor(255, 210, 83));
    EXPECT_EQ(hint->ColorArrow(), QColor(Qt::black));
    EXPECT_EQ(hint->MaxHintWidth(), 200);
    ASSERT_NE(hint->HintWindow(), nullptr);
    EXPECT_FALSE(hint->HintWindow()->isVisible());
}

TEST_F(FlatHint, QtTooltipsAreSwallowed)
{
    QHelpEvent event(QEvent::ToolTip, QPoint(5, 5), first->mapToGlobal(QPoint(5, 5)));
    EXPECT_TRUE(QApplication::sendEvent(first, &event));
}

TEST_F(FlatHint, OwnerMayRewriteOrSuppressTheText)
{
    QWidget* seen = nullptr;
    hint->OnShowHint = [&](QString& text, QWidget* control) {
        seen = control;
        text = "[" + text + "]";
    };
    hint->ShowHintFor(first, "Play", QPoint(100, 100));
    EXPECT_EQ(seen, first);
    EXPECT_TRUE(hint->HintWindow()->isVisible());
    EXPECT_EQ(hint->HintWindow()->Text(), "[Play]");
    hint->HideHint();

    hint->OnShowHint = [](QString& text, QWidget*) { text.clear(); };
    hint->ShowHintFor(first, "Play", QPoint(100, 100));
    EXPECT_FALSE(hint->HintWindow()->isVisible());
}

TEST_F(FlatHint, WindowSitsByThePointerWithItsSize)
{
    hint->SetMaxHintWidth(500);
    const QPoint cursor(100, 100);
    hint->ShowHintFor(first, "Capture current frame", cursor);
    TMyFlatHintWindow* window = hint->HintWindow();
    const QSize size = flathint::HintSize(QFontMetrics(hint->Font()), "Capture current frame", 500);
    EXPECT_EQ(window->size(), size);
    const QScreen* screen = QGuiApplication::screenAt(cursor);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(window->geometry(), PlaceHint(cursor, size, screen->geometry()).rect);
    const QImage shot = window->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(0, 0)), hint->ColorBorder());
    EXPECT_EQ(QColor(shot.pixel(7, size.height() - 3)), hint->ColorArrowBackground());
    EXPECT_EQ(QColor(shot.pixel(size.width() - 3, size.height() - 3)), hint->ColorBackground());
}

TEST_F(FlatHint, TimingFirstHintThenQuickHopThenHide)
{
    TMyFlatHintWindow* window = hint->HintWindow();
    QCursor::setPos(host.window.mapToGlobal(QPoint(150, 80)));
    QTest::qWait(20);
    QCursor::setPos(first->mapToGlobal(QPoint(20, 20)));
    QTest::qWait(250);
    EXPECT_FALSE(window->isVisible());  // not before 500 ms
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->isVisible(); }, 1000));
    EXPECT_EQ(window->Text(), "Open a video file from disk");

    // Moving on to the next control brings its hint almost at once.
    QCursor::setPos(second->mapToGlobal(QPoint(20, 20)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->isVisible() && window->Text() == "Stop"; }, 400));

    // A click puts the hint away.
    QTest::mouseClick(first, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_FALSE(window->isVisible());
}

TEST(FlatHintOwner, LaterComponentsDeferToTheFirst)
{
    QWidget a;
    QWidget b;
    auto* first = new TMyFlatHint(&a);
    auto* second = new TMyFlatHint(&b);
    EXPECT_EQ(TMyFlatHint::Current(), first);
    delete first;
    EXPECT_EQ(TMyFlatHint::Current(), second);
}
