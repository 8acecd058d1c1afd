#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QTest>
#include <QWheelEvent>

#include "widget_test_util.h"
#include "widgets/FlatEditLogic.h"
#include "widgets/FlatEditUnit.h"

using flatedit::kBackspace;
using flatedit::TextState;
using flatedit::TypeIntegerChar;

namespace {

TextState Type(TextState s, QChar ch, int maxLength = 0)
{
    return TypeIntegerChar(s, ch, maxLength);
}

}  // namespace

TEST(FlatEditLogic, TypingRules)
{
    struct Case {
        const char* name;
        TextState before;
        QChar ch;
        QString text;
        int caret;
    };
    const Case cases[] = {
        {"digit appends", {"12", 2, 0}, u'3', "123", 3},
        {"digit inserts at the caret", {"12", 1, 0}, u'5', "152", 2},
        {"non-digit dropped", {"12", 2, 0}, u'a', "12", 2},
        {"minus dropped", {"12", 0, 0}, u'-', "12", 0},
        {"leading zero dropped", {"12", 0, 0}, u'0', "12", 0},
        {"zero inside kept", {"12", 1, 0}, u'0', "102", 2},
        {"zero into empty", {"", 0, 0}, u'0', "0", 1},
        {"digit lands before a lone zero", {"0", 1, 0}, u'5', "50", 1},
        {"zero on a lone zero dropped", {"0", 1, 0}, u'0', "0", 0},
        {"digit replaces a selection", {"123", 1, 2}, u'9', "19", 2},
        {"backspace over whole selection", {"12", 0, 2}, kBackspace, "0", 0},
        {"backspace on one character", {"7", 1, 0}, kBackspace, "0", 0},
        {"backspace on empty", {"", 0, 0}, kBackspace, "0", 0},
        {"backspace deletes left", {"123", 3, 0}, kBackspace, "12", 2},
        {"backspace at start does nothing", {"123", 0, 0}, kBackspace, "123", 0},
        {"backspace on part selection", {"1234", 1, 2}, kBackspace, "14", 1},
    };
    for (const Case& c : cases) {
        const TextState after = Type(c.before, c.ch);
        EXPECT_EQ(after.text, c.text) << c.name;
        EXPECT_EQ(after.Caret(), c.caret) << c.name;
    }
}

TEST(FlatEditLogic, TypingStopsAtMaxLength)
{
    EXPECT_EQ(Type({"1234", 4, 0}, u'5', 4).text, "1234");
    EXPECT_EQ(Type({"1234", 0, 4}, u'5', 4).text, "5");
}

TEST(FlatEditLogic, ValueAndSteps)
{
    EXPECT_EQ(flatedit::TextToInteger(""), 0);
    EXPECT_EQ(flatedit::TextToInteger("0042"), 42);
    EXPECT_EQ(flatedit::TextToInteger("12a"), 0);
    EXPECT_EQ(flatedit::TextToInteger("99999999999"), INT_MAX);

    EXPECT_EQ(flatedit::StepUp("", 0, 0), "1");
    EXPECT_EQ(flatedit::StepUp("99999", 0, 0), "100000");  // MaxValue 0: no limit
    EXPECT_EQ(flatedit::StepUp("4", 5, 0), "5");
    EXPECT_EQ(flatedit::StepUp("5", 5, 0), std::nullopt);
    EXPECT_EQ(flatedit::StepUp("2147483647", 0, 0), std::nullopt);
    // A step that would not fit is refused rather than cut to "10000000".
    EXPECT_EQ(flatedit::StepUp("99999999", 0, 8), std::nullopt);

    EXPECT_EQ(flatedit::StepDown("3", 0, 0), "2");
    EXPECT_EQ(flatedit::StepDown("0", 0, 0), std::nullopt);
    EXPECT_EQ(flatedit::StepDown("", 0, 0), std::nullopt);
    EXPECT_EQ(flatedit::StepDown("10", 10, 0), std::nullopt);
}

class IntegerEdit : public ::testing::Test {
protected:
    void SetUp() override
    {
        edit = new TMyFlatEdit(&host.window);
        edit->SetValueType(evtInteger);
        edit->move(10, 10);
        ASSERT_TRUE(host.ShowActive());
        edit->setFocus();
    }
    void Wheel(int dy)
    {
        QWheelEvent event(QPointF(5, 5), edit->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, dy),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(edit, &event);
    }

    Host host;
    TMyFlatEdit* edit = nullptr;
};

TEST_F(IntegerEdit, BackspaceOverEverythingLeavesZero)
{
    edit->setText("12");
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), "0");
    EXPECT_EQ(edit->asInteger(), 0);
    QTest::keyClick(edit, Qt::Key_5);
    EXPECT_EQ(edit->text(), "50");
}

TEST_F(IntegerEdit, OnlyDigitsGetIn)
{
    edit->setText("");
    QTest::keyClicks(edit, "a7-b 3.+");
    EXPECT_EQ(edit->text(), "73");
    EXPECT_EQ(edit->asInteger(), 73);
    // A lone zero takes the next digit in front of it.
    edit->setText("");
    QTest::keyClicks(edit, "07");
    EXPECT_EQ(edit->text(), "70");
}

TEST_F(IntegerEdit, LeadingZeroDroppedAndDeleteSwallowed)
{
    edit->setText("12");
    edit->setCursorPosition(0);
    QTest::keyClick(edit, Qt::Key_0);
    EXPECT_EQ(edit->text(), "12");
    QTest::keyClick(edit, Qt::Key_Delete);
    EXPECT_EQ(edit->text(), "12");
}

TEST_F(IntegerEdit, ArrowsStepWithinLimits)
{
    edit->setText("");
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->text(), "1");
    for (int i = 0; i < 120; ++i)
        QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->asInteger(), 121);  // MaxValue 0 never stops
    edit->SetMaxValue(122);
    QTest::keyClick(edit, Qt::Key_Up);
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->text(), "122");
    edit->SetMinValue(120);
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(edit->text(), "120");
}

TEST_F(IntegerEdit, WheelAwayAddsTowardsSubtracts)
{
    edit->setText("5");
    Wheel(120);
    EXPECT_EQ(edit->text(), "6");
    Wheel(15);  // each notification is one step, however small
    EXPECT_EQ(edit->text(), "7");
    Wheel(-120);
    EXPECT_EQ(edit->text(), "6");
}

TEST_F(IntegerEdit, PasteKeepsTheBoxNumeric)
{
    edit->setText("12");
    edit->setCursorPosition(2);
    QApplication::clipboard()->setText("3x");
    edit->paste();
    EXPECT_EQ(edit->text(), "12");
    QApplication::clipboard()->setText("34");
    edit->paste();
    EXPECT_EQ(edit->text(), "1234");
}

TEST_F(IntegerEdit, EightCharacterBoxDoesNotGrowPastItsLimit)
{
    edit->setMaxLength(8);
    edit->setText("99999999");
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->text(), "99999999");
    edit->setCursorPosition(8);
    QTest::keyClick(edit, Qt::Key_1);
    EXPECT_EQ(edit->text(), "99999999");
}

TEST(FlatEdit, DefaultModeIsAnOrdinaryBox)
{
    Host host;
    auto* edit = new TMyFlatEdit(&host.window);
    ASSERT_TRUE(host.ShowActive());
    edit->setFocus();
    QTest::keyClicks(edit, "a-1");
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->text(), "a-1");
    EXPECT_EQ(edit->asInteger(), 0);
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClick(edit, Qt::Key_Delete);
    EXPECT_EQ(edit->text(), "-1");
}

TEST(FlatEdit, FloatModeTakesNoInput)
{
    Host host;
    auto* edit = new TMyFlatEdit(&host.window);
    edit->SetValueType(evtFloat);
    ASSERT_TRUE(host.ShowActive());
    edit->setFocus();
    QTest::keyClicks(edit, "1.5");
    EXPECT_EQ(edit->text(), "");
}

TEST(FlatEdit, LookAndSize)
{
    Host host;
    host.window.setStyleSheet("");
    QPalette pal = host.window.palette();
    pal.setColor(QPalette::Window, QColor(10, 20, 30));
    host.window.setPalette(pal);
    auto* edit = new TMyFlatEdit(&host.window);
    auto* other = new TMyFlatEdit(&host.window);
    other->move(0, 40);
    EXPECT_EQ(edit->width(), 121);
    EXPECT_EQ(edit->height(), QFontMetrics(edit->font()).height() + 6);
    QFont big = edit->font();
    big.setPixelSize(30);
    edit->setFont(big);
    EXPECT_EQ(edit->height(), QFontMetrics(big).height() + 6);

    EXPECT_EQ(edit->ColorBorder(), QColor(160, 150, 131));
    EXPECT_EQ(edit->ColorFocused(), QColor(Qt::white));
    EXPECT_TRUE(edit->ParentColor());
    EXPECT_EQ(edit->ColorFlat(), QColor(10, 20, 30));  // follows the parent
    edit->SetColorFlat(QColor(235, 234, 225));
    EXPECT_FALSE(edit->ParentColor());

    ASSERT_TRUE(host.ShowActive());
    other->setFocus();
    EXPECT_EQ(edit->CurrentBackground(), QColor(235, 234, 225));
    edit->setFocus();
    EXPECT_EQ(edit->CurrentBackground(), QColor(Qt::white));
    const QImage shot = edit->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(0, 0)), edit->ColorBorder());
    EXPECT_EQ(QColor(shot.pixel(1, 5)), QColor(Qt::white));
    EXPECT_EQ(QColor(shot.pixel(2, 5)), QColor(Qt::white));
}
