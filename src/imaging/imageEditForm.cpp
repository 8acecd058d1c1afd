#include "imaging/imageEditForm.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

#include "imaging/FreeBitmap.h"
#include "imaging/imageControl.h"
#include "imaging/imageExporter.h"
#include "widgets/Image.h"
#include "widgets/LinePanelUnit.h"
#include "widgets/MyButtonEx.h"

namespace imaging {

std::function<void(TImageEditDlg&)> TImageEditDlg::BeforeExecute;

namespace {

const QColor kCaptionColor{0x15, 0x42, 0x8B};

// The information line's ground: a soft blue band, stretched over the panel.
QPixmap InfoBackground()
{
    QPixmap picture(16, TImageEditDlg::InfoPanelHeight - 1);
    QPainter painter(&picture);
    QLinearGradient band(0, 0, 0, picture.height());
    band.setColorAt(0, QColor(0xF4, 0xF7, 0xFC));
    band.setColorAt(1, QColor(0xD6, 0xE2, 0xF3));
    painter.fillRect(picture.rect(), band);
    return picture;
}

}  // namespace

void TImageEditDlg::SetCaptionLook(QWidget& widget, bool bold)
{
    QFont font(QStringLiteral("Trebuchet MS"));
    font.setPointSize(9);
    font.setBold(bold);
    widget.setFont(font);
    QPalette palette = widget.palette();
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        palette.setColor(role, kCaptionColor);
    widget.setPalette(palette);
}

TImageEditDlg::TImageEditDlg(QWidget* owner, const QString& caption, const char* actionName, const QString& actionCaption)
    : QDialog(owner)
{
    setWindowTitle(caption);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    setAutoFillBackground(true);
    const QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr)
        resize(screen->geometry().width() * 3 / 4, screen->geometry().height() * 3 / 4);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    column->addLayout(row, 1);

    ImageControlBox = new TImageControlBox(this);
    ImageControlBox->setObjectName(QStringLiteral("ImageControlBox"));
    row->addWidget(ImageControlBox, 1);

    lpButtons = new TLinePanel(this);
    lpButtons->setObjectName(QStringLiteral("lpButtons"));
    lpButtons->SetLineBorders(lbLeft);
    lpButtons->setFixedWidth(ButtonPanelWidth);
    row->addWidget(lpButtons);

    lpInfo = new TLinePanel(this);
    lpInfo->setObjectName(QStringLiteral("lpInfo"));
    lpInfo->SetLineBorders(lbTop);
    lpInfo->setFixedHeight(InfoPanelHeight);
    column->addWidget(lpInfo);
    auto* ground = new TImage(lpInfo);
    ground->setObjectName(QStringLiteral("imgInfo"));
    ground->SetStretch(true);
    ground->SetPicture(InfoBackground());
    auto* groundLayout = new QVBoxLayout(lpInfo);
    groundLayout->setContentsMargins(0, 1, 0, 0);
    groundLayout->addWidget(ground);
    lbInfo = new QLabel(ground);
    lbInfo->setObjectName(QStringLiteral("lbInfo"));
    SetCaptionLook(*lbInfo, false);
    lbInfo->move(8, 7);

    struct Button {
        const char* name;
        QString caption;
        int y;
        TMyButtonEx** field;
        std::function<void()> click;
    };
    const Button buttons[] = {
        {actionName, actionCaption, 31, &btnAction, [this] { ActionClick(); }},
        {"btnSave", QStringLiteral("&Save"), 87, &btnSave, [this] { SaveClick(); }},
        {"btnExport", QStringLiteral("&Export"), 143, &btnExport, [this] { ExportClick(); }},
        {"btnUndo", QStringLiteral("&Undo"), 199, &btnUndo, [this] { UndoClick(); }},
        {"btnRefresh", QStringLiteral("&Refresh"), 255, &btnRefresh, [this] { RefreshClick(); }},
        {"btnClose", QStringLiteral("&Close"), 311, &btnClose, [this] { CloseClick(); }},
    };
    for (const Button& b : buttons) {
        auto* button = new TMyButtonEx(lpButtons);
        button->setObjectName(QString::fromLatin1(b.name));
        button->SetCaption(b.caption);
        SetCaptionLook(*button);
        button->setGeometry(ButtonX, b.y, ButtonWidth, ButtonHeight);
        button->OnClick = b.click;
        *b.field = button;
    }
}

TImageEditDlg::~TImageEditDlg() = default;

TImageControl& TImageEditDlg::Control() const
{
    return *ImageControlBox->Control();
}

QLabel* TImageEditDlg::MakeCaption(const QString& text, int x, int y)
{
    auto* label = new QLabel(text, lpButtons);
    SetCaptionLook(*label);
    label->move(x, y);
    label->adjustSize();
    return label;
}

void TImageEditDlg::LoadImageFile(const QString& path)
{
    Control().LoadImageFile(path);
    FilePath = path;
    UpdateInfo();
    ImageLoaded();
}

void TImageEditDlg::Execute()
{
    if (const QWidget* owner = parentWidget()) {
        const QRect frame = owner->frameGeometry();
        move(frame.center() - QPoint(width() / 2, height() / 2));
    }
    if (BeforeExecute)
        BeforeExecute(*this);
    exec();
}

QString TImageEditDlg::InfoText() const
{
    const TFastDIB& picture = Control().WorkingImage;
    return QStringLiteral("[%1x%2] - %3").arg(picture.Width()).arg(picture.AbsHeight()).arg(FilePath);
}

void TImageEditDlg::UpdateInfo()
{
    lbInfo->setText(InfoText());
    lbInfo->adjustSize();
}

bool TImageEditDlg::Ask(const QString& question)
{
    QMessageBox box(QMessageBox::Question, QCoreApplication::applicationName(), question,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
    return box.exec() == QMessageBox::Yes;
}

void TImageEditDlg::SaveClick()
{
    if (!Changed || !Ask(QStringLiteral("Image changed, confirm saving?")))
        return;
    SaveRequested = true;
    Changed = false;
    CopyPicture(Control().WorkingImage, SavedImage);
    QMessageBox box(QMessageBox::Information, QCoreApplication::applicationName(), QStringLiteral("Image is saved!"),
        QMessageBox::Ok, this);
    box.exec();
}

void TImageEditDlg::ExportClick()
{
    TImageExporter exporter;
    BufferToBitmap(Control().WorkingImage, exporter.Bitmap());
    exporter.Execute(this);
}

void TImageEditDlg::RefreshClick()
{
    Control().update();
}

void TImageEditDlg::CloseClick()
{
    reject();
}

void TImageEditDlg::reject()
{
    if (Changed && !Ask(QStringLiteral("Image changed, confirm quitting?")))
        return;
    QDialog::reject();
}

}  // namespace imaging
