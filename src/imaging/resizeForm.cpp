#include "imaging/resizeForm.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>

#include "imaging/imageControl.h"
#include "widgets/FlatEditUnit.h"
#include "widgets/LinePanelUnit.h"

namespace imaging {

namespace {

constexpr int kEditChars = 8;
constexpr int kLargestEditValue = 99999999;

}  // namespace

int ProportionalSide(int value, int numerator, int denominator)
{
    if (denominator <= 0)
        return 0;
    // The product overflows 32 bits for large typed values.
    const std::int64_t product = std::int64_t{value} * numerator;
    const long double exact = static_cast<long double>(product) / denominator;
    const long double rounded = std::nearbyint(exact);
    return static_cast<int>(std::clamp<long double>(rounded, 0, kLargestEditValue));
}

TresizeDlg::TresizeDlg(QWidget* owner)
    : TImageEditDlg(owner, QStringLiteral("Resize Image"), "btnResize", QStringLiteral("&Resize"))
    , tool_(std::make_unique<TImageResizeTool>(Control()))
{
    setObjectName(QStringLiteral("resizeDlg"));
    setMinimumSize(size());

    MakeCaption(QStringLiteral("New Width"), ButtonX, 368)->setObjectName(QStringLiteral("lbWidth"));
    MakeCaption(QStringLiteral("New Height"), ButtonX, 432)->setObjectName(QStringLiteral("lbHeight"));
    const auto makeEdit = [this](const char* name, int y) {
        auto* edit = new TMyFlatEdit(lpButtons);
        edit->setObjectName(QString::fromLatin1(name));
        edit->SetValueType(evtInteger);
        edit->setMaxLength(kEditChars);
        edit->setText(QStringLiteral("0"));
        edit->setGeometry(ButtonX, y, ButtonWidth, 24);
        return edit;
    };
    etWidth = makeEdit("etWidth", 391);
    etHeight = makeEdit("etHeight", 455);
    cbConstrain = new QCheckBox(QStringLiteral("Constrain"), lpButtons);
    cbConstrain->setObjectName(QStringLiteral("cbConstrain"));
    cbConstrain->setToolTip(QStringLiteral("Constrain Aspect Ratio"));
    SetCaptionLook(*cbConstrain);
    cbConstrain->move(ButtonX, 496);
    cbConstrain->adjustSize();
    cbConstrain->setChecked(true);

    setTabOrder(etWidth, etHeight);
    setTabOrder(etHeight, cbConstrain);

    connect(etWidth, &QLineEdit::textChanged, this, [this] { WidthTyped(); });
    connect(etHeight, &QLineEdit::textChanged, this, [this] { HeightTyped(); });
    connect(cbConstrain, &QCheckBox::toggled, this, [this](bool on) { ConstrainToggled(on); });
}

TresizeDlg::~TresizeDlg() = default;

void TresizeDlg::ImageLoaded()
{
    etWidth->setText(QString::number(Control().width()));
    etHeight->setText(QString::number(Control().height()));
}

void TresizeDlg::ShowWorkingSize()
{
    etWidth->setText(QString::number(Control().WorkingImage.Width()));
    etHeight->setText(QString::number(Control().WorkingImage.AbsHeight()));
}

// The edits update each other only while the user types in one of them: a text set by the
// program would otherwise set the other edit back.
void TresizeDlg::WidthTyped()
{
    if (!cbConstrain->isChecked() || !etWidth->hasFocus())
        return;
    const TFastDIB& picture = Control().WorkingImage;
    etHeight->setText(QString::number(ProportionalSide(etWidth->asInteger(), picture.AbsHeight(), picture.Width())));
}

void TresizeDlg::HeightTyped()
{
    if (!cbConstrain->isChecked() || !etHeight->hasFocus())
        return;
    const TFastDIB& picture = Control().WorkingImage;
    etWidth->setText(QString::number(ProportionalSide(etHeight->asInteger(), picture.Width(), picture.AbsHeight())));
}

void TresizeDlg::ConstrainToggled(bool on)
{
    if (!on)
        return;
    const TFastDIB& picture = Control().WorkingImage;
    etHeight->setText(QString::number(ProportionalSide(etWidth->asInteger(), picture.AbsHeight(), picture.Width())));
}

void TresizeDlg::ActionClick()
{
    const TFastDIB& picture = Control().WorkingImage;
    if (picture.Width() <= 0 || picture.AbsHeight() <= 0)
        return;
    const int width = etWidth->asInteger();
    const int height = cbConstrain->isChecked() ? ProportionalSide(width, picture.AbsHeight(), picture.Width())
                                                : etHeight->asInteger();
    // An empty picture written over the file, or a buffer of gigabytes, is no resize.
    if (width < 1 || height < 1 || width > MaxResizeSide || height > MaxResizeSide) {
        QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(),
            QStringLiteral("The new size %1 x %2 cannot be made: width and height must be from 1 to %3 pixels.")
                .arg(width)
                .arg(height)
                .arg(MaxResizeSide),
            QMessageBox::Ok, this);
        box.exec();
        return;
    }
    if (!tool_->ResizeTo(width, height))
        return;
    Changed = true;
    UpdateInfo();
}

void TresizeDlg::UndoClick()
{
    tool_->Undo();
    ShowWorkingSize();
    Changed = false;
    UpdateInfo();
}

}  // namespace imaging
