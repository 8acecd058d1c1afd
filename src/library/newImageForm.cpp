#include "library/newImageForm.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QSlider>

#include <algorithm>
#include <cstring>

#include "imaging/imageTools.h"
#include "library/dialogLook.h"
#include "widgets/FlatEditUnit.h"
#include "widgets/Image.h"
#include "widgets/LinePanelUnit.h"
#include "widgets/MyButtonEx.h"

using library::PreviewBoxHeight;
using library::PreviewBoxWidth;
namespace look = library::look;

std::function<void(TnewImageDlg&)> TnewImageDlg::BeforeExecute;

namespace {

constexpr QRect ContainerRect{29, 16, 500, 281};
constexpr QRect ViewRect{123, 45, PreviewBoxWidth, PreviewBoxHeight};

// A soft screen bezel around the preview's place.
QPixmap ContainerPicture()
{
    QPixmap picture(ContainerRect.size());
    picture.fill(Qt::white);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF bezel = QRectF(ViewRect.translated(-ContainerRect.topLeft())).adjusted(-18, -18, 18, 18);
    QLinearGradient face(bezel.topLeft(), bezel.bottomLeft());
    face.setColorAt(0, QColor(0x5d, 0x6f, 0x8c));
    face.setColorAt(1, QColor(0x24, 0x30, 0x45));
    p.setPen(QPen(QColor(0x15, 0x42, 0x8B), 1));
    p.setBrush(face);
    p.drawRoundedRect(bezel, 10, 10);
    // Stand under the bezel.
    const qreal middle = bezel.center().x();
    QPainterPath stand;
    stand.moveTo(middle - 30, bezel.bottom());
    stand.lineTo(middle + 30, bezel.bottom());
    stand.lineTo(middle + 46, bezel.bottom() + 22);
    stand.lineTo(middle - 46, bezel.bottom() + 22);
    stand.closeSubpath();
    p.setBrush(QColor(0x9d, 0xb9, 0xeb));
    p.drawPath(stand);
    return picture;
}

QLabel* MakeValueLabel(QWidget* parent, const char* name, int top)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(look::DialogFont(false));
    look::SetCaptionColor(*label);
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    label->setGeometry(272, top, 49, 18);
    return label;
}

}  // namespace

TnewImageDlg::TnewImageDlg(QWidget* owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("newImageDlg"));
    look::PrepareDialog(*this, QStringLiteral("New Image"), ClientWidth, ClientHeight);
    CreateControls();
    CreatePostProcessing();

    setTabOrder(etName, btnOk);
    setTabOrder(btnOk, btnCancel);
    setTabOrder(btnCancel, etComment);
    setTabOrder(etComment, cbAspect);
    setTabOrder(cbAspect, tbLightness);
    setTabOrder(tbLightness, tbContrast);
    setTabOrder(tbContrast, tbSaturation);
    setTabOrder(tbSaturation, btReset);
    etName->setFocus();

    // Esc cancels and Enter in the name accepts whichever control has the focus.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);

    for (QSlider* bar : {tbLightness, tbContrast, tbSaturation})
        connect(bar, &QSlider::valueChanged, this, [this] { UpdatePreview(); });
}

TnewImageDlg::~TnewImageDlg() = default;

void TnewImageDlg::CreateControls()
{
    imgContainer = new TImage(this);
    imgContainer->setObjectName(QStringLiteral("imgContainer"));
    imgContainer->setGeometry(ContainerRect);
    imgContainer->SetPicture(ContainerPicture());

    imgView = new TImage(this);
    imgView->setObjectName(QStringLiteral("imgView"));
    imgView->setGeometry(ViewRect);
    ShowInView(imaging::TFastDIB());

    look::MakeLabel(this, QStringLiteral("Category"), 32, 296);
    etCategory = look::MakeEdit(this, "etCategory", QStringLiteral("parent category for the image"), 31, 320, 497, 24);
    etCategory->setReadOnly(true);
    etCategory->setFocusPolicy(Qt::ClickFocus);
    etCategory->setCursor(Qt::ArrowCursor);

    look::MakeLabel(this, QStringLiteral("Name"), 32, 352);
    etName = look::MakeEdit(this, "etName", QStringLiteral("label for the image"), 31, 376, 497, 24);
    etName->setText(QStringLiteral("Untitled"));

    look::MakeLabel(this, QStringLiteral("Comment"), 32, 416);
    lpComment = new TLinePanel(this);
    lpComment->setObjectName(QStringLiteral("lpComment"));
    lpComment->SetLineBorders(lbTop | lbLeft | lbRight | lbBottom);
    lpComment->SetBorderWidth(1);
    lpComment->setGeometry(32, 440, 497, 105);
    etComment = new QPlainTextEdit(lpComment);
    etComment->setObjectName(QStringLiteral("etComment"));
    etComment->setToolTip(QStringLiteral("comment for the image"));
    etComment->setFrameShape(QFrame::NoFrame);
    etComment->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    etComment->setTabChangesFocus(true);
    etComment->setGeometry(lpComment->rect().adjusted(1, 1, -1, -1));

    cbAspect = new QCheckBox(QStringLiteral("Aspect Ratio"), this);
    cbAspect->setObjectName(QStringLiteral("cbAspect"));
    cbAspect->setFont(look::DialogFont(true));
    look::SetCaptionColor(*cbAspect);
    // 89 pixels hold the caption in the interface font; a wider substitute font must not clip it.
    cbAspect->setGeometry(32, 568, std::max(89, cbAspect->sizeHint().width()), 20);
    cbAspect->setChecked(true);

    btnCancel = look::MakeButton(this, "btnCancel", QStringLiteral("&Cancel"), 296, 568, 113, 41);
    btnCancel->OnClick = [this] { btnCancelClick(); };
    btnOk = look::MakeButton(this, "btnOk", QStringLiteral("&OK"), 416, 568, 113, 41);
    btnOk->OnClick = [this] { btnOkClick(); };
}

QSlider* TnewImageDlg::MakeTrackBar(const char* name, int minimum, int maximum, int value, int top)
{
    auto* bar = new QSlider(Qt::Horizontal, gbPanel);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setRange(minimum, maximum);
    bar->setValue(value);
    bar->setFocusPolicy(Qt::StrongFocus);
    bar->setGeometry(8, top, 321, 25);
    return bar;
}

void TnewImageDlg::CreatePostProcessing()
{
    gbPanel = new QGroupBox(QStringLiteral("Post Processing"), this);
    gbPanel->setObjectName(QStringLiteral("gbPanel"));
    gbPanel->setFont(look::DialogFont(true));
    look::SetCaptionColor(*gbPanel);
    gbPanel->setGeometry(544, 8, 337, 602);

    struct Row {
        const char* caption;
        const char* valueName;
        const char* barName;
        int minimum, maximum, value, top;
        QLabel** label;
        QSlider** bar;
    };
    const Row rows[] = {
        {"Lightness", "lbLightness", "tbLightness", -255, 255, 0, 24, &lbLightness, &tbLightness},
        {"Contrast", "lbContrast", "tbContrast", -128, 128, 0, 88, &lbContrast, &tbContrast},
        {"Saturation", "lbSaturation", "tbSaturation", 0, 510, 255, 152, &lbSaturation, &tbSaturation},
    };
    for (const Row& row : rows) {
        look::MakeLabel(gbPanel, QString::fromLatin1(row.caption), 16, row.top, false);
        *row.label = MakeValueLabel(gbPanel, row.valueName, row.top);
        (*row.label)->setText(QString::number(row.value));
        *row.bar = MakeTrackBar(row.barName, row.minimum, row.maximum, row.value, row.top + 24);
    }

    btReset = look::MakeButton(gbPanel, "btReset", QStringLiteral("&Reset"), 8, 225, 321, 41);
    btReset->OnClick = [this] { btResetClick(); };
}

bool TnewImageDlg::Execute()
{
    etName->setFocus();
    etName->selectAll();
    look::CentreOnScreen(*this);
    if (BeforeExecute)
        BeforeExecute(*this);
    exec();
    return Accepted;
}

void TnewImageDlg::SetPreview(const imaging::TFastDIB& preview)
{
    OriginalPreview.Allocate(preview.Width(), preview.AbsHeight(), 32);
    AdjustedPreview.Allocate(preview.Width(), preview.AbsHeight(), 32);
    if (preview.Bits() != nullptr && preview.Bpp() == 32) {
        std::memcpy(OriginalPreview.Bits(), preview.Bits(), static_cast<std::size_t>(preview.ImageSize()));
        std::memcpy(AdjustedPreview.Bits(), preview.Bits(), static_cast<std::size_t>(preview.ImageSize()));
    }
    ShowInView(preview);
}

void TnewImageDlg::SetEditMode(const QString& categoryName, const imaging::TFastDIB& thumbnail)
{
    gbPanel->setEnabled(false);
    gbPanel->hide();
    setFixedWidth(EditWidth);
    setWindowTitle(QStringLiteral("Edit Item"));
    etCategory->setText(categoryName);
    ShowInView(thumbnail);
}

library::TCaptureAdjustments TnewImageDlg::Adjustments() const
{
    return {tbLightness->value(), tbContrast->value(), tbSaturation->value(), cbAspect->isChecked()};
}

QString TnewImageDlg::CommentText() const
{
    QString text = etComment->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

void TnewImageDlg::SetCommentText(const QString& text)
{
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    etComment->setPlainText(lines);
}

void TnewImageDlg::UpdatePreview()
{
    if (OriginalPreview.Bits() != nullptr)
        std::memcpy(AdjustedPreview.Bits(), OriginalPreview.Bits(), static_cast<std::size_t>(OriginalPreview.ImageSize()));
    const library::TCaptureAdjustments adjustments = Adjustments();
    library::ApplyAdjustments(AdjustedPreview, adjustments);
    lbLightness->setText(QString::number(adjustments.Lightness));
    lbContrast->setText(QString::number(adjustments.Contrast));
    lbSaturation->setText(QString::number(adjustments.Saturation));
    ShowInView(AdjustedPreview);
}

void TnewImageDlg::btResetClick()
{
    tbLightness->setValue(0);
    tbContrast->setValue(0);
    tbSaturation->setValue(255);
}

void TnewImageDlg::btnOkClick()
{
    Accepted = true;
    accept();
}

void TnewImageDlg::btnCancelClick()
{
    reject();
}

void TnewImageDlg::ShowInView(const imaging::TFastDIB& picture)
{
    QPixmap view(PreviewBoxWidth, PreviewBoxHeight);
    {
        QPainter painter(&view);
        imaging::DrawCentered(picture, painter, PreviewBoxWidth, PreviewBoxHeight, imaging::TBgrColor{});
    }
    imgView->SetPicture(view);
    imgView->repaint();
}

bool TnewImageDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn && watched == etCategory) {
        etName->setFocus(Qt::TabFocusReason);
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Escape) {
        btnCancelClick();
        return true;
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && watched == etName) {
        btnOkClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
