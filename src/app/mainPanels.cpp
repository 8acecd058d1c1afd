// The main window's container: video area with its control strip, library panel, thumbnail
// strip and the strip's progress bar.
#include "app/mainForm.h"

#include <QApplication>
#include <QBoxLayout>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QSpacerItem>
#include <QTreeWidget>

#include "app/theme.h"
#include "library/treeManager.h"
#include "widgets/FSProgressBar.h"
#include "widgets/Image.h"
#include "widgets/LinePanelUnit.h"
#include "widgets/MyFlatHintUnit.h"
#include "widgets/SliderBar.h"
#include "widgets/TileImage.h"
#include "widgets/imagebutton.h"

namespace {

constexpr TLineBorders AllSides{lbTop, lbLeft, lbRight, lbBottom};

TLinePanel* MakePanel(QWidget* parent, const char* name, TLineBorders lines, int borderWidth)
{
    auto* panel = new TLinePanel(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->SetLineBorders(lines);
    panel->SetBorderWidth(borderWidth);
    return panel;
}

TImage* MakeImage(QWidget* parent, const QString& name, const QString& picture, QRect geometry)
{
    auto* image = new TImage(parent);
    image->setObjectName(name);
    if (!picture.isEmpty())
        image->SetPicture(QPixmap(picture));
    image->setGeometry(geometry);
    return image;
}

QVBoxLayout* MakeColumn(QWidget* parent)
{
    auto* column = new QVBoxLayout(parent);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    return column;
}

// The four pictures of an image button on the control strip.
void SetButtonPictures(TImageButton* button, const QString& stem)
{
    const QString base = QStringLiteral(":/buttons/") + stem;
    button->SetImage(QPixmap(base + QStringLiteral("_normal.png")));
    button->SetImageOver(QPixmap(base + QStringLiteral("_over.png")));
    button->SetImageDown(QPixmap(base + QStringLiteral("_down.png")));
    button->SetImageDisable(QPixmap(base + QStringLiteral("_disabled.png")));
}

}  // namespace

void TmainDlg::CreateContainer()
{
    lpContainer = MakePanel(this, "lpContainer", {}, 3);
    setCentralWidget(lpContainer);

    // Docked from the bottom up, then the library panel on the right; the video area takes the
    // rest (633 x 308).
    QVBoxLayout* column = MakeColumn(lpContainer);
    auto* upper = new QHBoxLayout;
    upper->setContentsMargins(0, 0, 0, 0);
    upper->setSpacing(0);
    column->addLayout(upper, 1);

    lpView = MakePanel(lpContainer, "lpView", {}, 0);
    lpView->SetColor(Qt::black);
    upper->addWidget(lpView, 1);
    containerGaps_[0] = new QSpacerItem(3, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
    upper->addSpacerItem(containerGaps_[0]);
    lpTree = MakePanel(lpContainer, "lpTree", AllSides, 5);
    lpTree->setFixedWidth(250);
    upper->addWidget(lpTree);

    containerGaps_[1] = new QSpacerItem(0, 3, QSizePolicy::Minimum, QSizePolicy::Fixed);
    column->addSpacerItem(containerGaps_[1]);
    lpThumbnail = MakePanel(lpContainer, "lpThumbnail", AllSides, 5);
    lpThumbnail->setFixedHeight(135);
    column->addWidget(lpThumbnail);
    containerGaps_[2] = new QSpacerItem(0, 3, QSizePolicy::Minimum, QSizePolicy::Fixed);
    column->addSpacerItem(containerGaps_[2]);

    ProgressBar = new TFSProgressBar(lpContainer);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setFixedHeight(16);
    ProgressBar->SetMin(0);
    ProgressBar->SetMax(7);
    ProgressBar->SetStep(1);
    ProgressBar->SetOrientation(pbHorizontal);
    ProgressBar->SetColorBorder(app::theme::PanelLine);
    column->addWidget(ProgressBar);

    CreateVideoArea(lpView);
    CreateLibraryPanel(lpTree);
    CreateThumbnailStrip(lpThumbnail);
}

void TmainDlg::CreateVideoArea(TLinePanel* parent)
{
    QVBoxLayout* column = MakeColumn(parent);
    Image8 = MakeImage(parent, QStringLiteral("Image8"), QStringLiteral(":/placeholder.png"), {});
    Image8->SetStretch(true);
    column->addWidget(Image8, 1);

    lpControl = MakePanel(parent, "lpControl", {}, 0);
    lpControl->SetColor(Qt::black);
    lpControl->setFixedHeight(64);
    column->addWidget(lpControl);

    // The strip is drawn from a left cap, a stretched middle and a right cap.
    auto* strip = new QHBoxLayout(lpControl);
    strip->setContentsMargins(0, 0, 0, 0);
    strip->setSpacing(0);
    TImage* capLeft = MakeImage(lpControl, QStringLiteral("imgControlLeft"), QStringLiteral(":/control/left.png"), {});
    capLeft->setFixedWidth(15);
    TImage* middle = MakeImage(lpControl, QStringLiteral("imgControlMiddle"), QStringLiteral(":/control/middle.png"), {});
    middle->SetStretch(true);
    TImage* capRight = MakeImage(lpControl, QStringLiteral("imgControlRight"), QStringLiteral(":/control/right.png"), {});
    capRight->setFixedWidth(15);
    strip->addWidget(capLeft);
    strip->addWidget(middle, 1);
    strip->addWidget(capRight);

    btnPlay = new TImageButton(lpControl);
    btnPlay->setObjectName(QStringLiteral("btnPlay"));
    btnPlay->setGeometry(6, 33, 29, 29);
    SetButtonPictures(btnPlay, QStringLiteral("play"));

    btnPause = new TImageButton(lpControl);
    btnPause->setObjectName(QStringLiteral("btnPause"));
    btnPause->setGeometry(6, 33, 29, 29);
    SetButtonPictures(btnPause, QStringLiteral("pause"));
    btnPause->hide();

    btnStop = new TImageButton(lpControl);
    btnStop->setObjectName(QStringLiteral("btnStop"));
    btnStop->setGeometry(35, 33, 20, 29);
    SetButtonPictures(btnStop, QStringLiteral("stop"));

    SliderBar = new TSliderBar(lpControl);
    SliderBar->setObjectName(QStringLiteral("SliderBar"));
    SliderBar->SetColor(Qt::black);
    SliderBar->SetBar(QPixmap(QStringLiteral(":/slider/bar.png")));
    SliderBar->SetBarLeft(QPixmap(QStringLiteral(":/slider/left.png")));
    SliderBar->SetBarRight(QPixmap(QStringLiteral(":/slider/right.png")));
    SliderBar->SetBarPointer(QPixmap(QStringLiteral(":/slider/pointer.png")));
    SliderBar->SetBarPointerDown(QPixmap(QStringLiteral(":/slider/pointer_down.png")));
    SliderBar->setGeometry(8, 19, 617, 11);
    SliderBar->SetMax(100);

    lbTimestamp = new QLabel(QStringLiteral("timestamp: 00:00:00/00:00:00"), lpControl);
    lbTimestamp->setObjectName(QStringLiteral("lbTimestamp"));
    lbTimestamp->setGeometry(360, 1, 265, 17);
    lbTimestamp->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lbTimestamp->setAttribute(Qt::WA_TranslucentBackground);
    lbTimestamp->setAutoFillBackground(false);
    lbTimestamp->setFont(app::theme::InterfaceFont(12));
    QPalette pal = lbTimestamp->palette();
    pal.setColor(QPalette::WindowText, app::theme::Timestamp);
    lbTimestamp->setPalette(pal);

    // The slider and the timestamp keep their distances to the strip's right edge.
    lpControl->installEventFilter(this);
}

void TmainDlg::CreateLibraryPanel(TLinePanel* parent)
{
    QVBoxLayout* column = MakeColumn(parent);

    vstImage = new QTreeWidget(parent);
    library::PrepareLibraryTree(*vstImage, app::theme::InterfaceFont(12), true);
    vstImage->setMouseTracking(true);
    vstImage->header()->setStretchLastSection(true);
    column->addWidget(vstImage, 1);
    column->addSpacing(5);

    lpThumbnailView = MakePanel(parent, "lpThumbnailView", {}, 0);
    lpThumbnailView->SetColor(app::theme::PreviewBackground);
    lpThumbnailView->setFixedHeight(100);
    column->addWidget(lpThumbnailView);

    QVBoxLayout* preview = MakeColumn(lpThumbnailView);
    imgThumbnail = MakeImage(lpThumbnailView, QStringLiteral("imgThumbnail"), {}, {});
    imgThumbnail->SetCenter(true);
    imgThumbnail->SetStretch(true);
    imgThumbnail->setCursor(Qt::PointingHandCursor);
    imgThumbnail->setToolTip(QStringLiteral("Click to enlarge"));
    preview->addWidget(imgThumbnail);
}

void TmainDlg::CreateThumbnailStrip(TLinePanel* parent)
{
    // Perforation bands along the top and the bottom, inside the panel's border.
    const QPixmap band(QStringLiteral(":/film/band.png"));
    tiBandTop = new TTileImage(parent);
    tiBandTop->setObjectName(QStringLiteral("tiBandTop"));
    tiBandTop->SetPicture(band);
    tiBandTop->SetTileImage(true);
    tiBandTop->setGeometry(5, 5, 876, 18);
    tiBandBottom = new TTileImage(parent);
    tiBandBottom->setObjectName(QStringLiteral("tiBandBottom"));
    tiBandBottom->SetPicture(band);
    tiBandBottom->SetTileImage(true);
    tiBandBottom->setGeometry(5, 112, 876, 18);

    static const char* const frameNames[7] = {"imgThumb1", "imgThumb2", "imgThumb3", "Image4",
                                              "Image5",    "Image6",    "Image7"};
    for (int i = 0; i < 7; ++i) {
        filmFrames[i] = MakeImage(parent, QString::fromLatin1(frameNames[i]), QStringLiteral(":/film/frame.png"),
                                  QRect(10 + 112 * i, 25, 96, 84));
        imgViews[i] = MakeImage(parent, QStringLiteral("imgView%1").arg(i), {}, QRect(18 + 112 * i, 39, 81, 57));
        imgViews[i]->SetTag(i);
        imgViews[i]->setCursor(Qt::PointingHandCursor);
    }
    // The bands follow the strip's width and the frames its middle.
    parent->installEventFilter(this);
}

void TmainDlg::CreateHint()
{
    MyFlatHint = new TMyFlatHint(this);
    MyFlatHint->setObjectName(QStringLiteral("MyFlatHint"));
    const QColor tooltip = QApplication::palette().color(QPalette::ToolTipBase);
    MyFlatHint->SetColorBackground(tooltip);
    MyFlatHint->SetColorArrowBackground(tooltip);
    MyFlatHint->SetColorBorder(Qt::black);
    MyFlatHint->SetColorArrow(app::theme::MenuText);
    MyFlatHint->SetFont(app::theme::InterfaceFont(16, false, true));
    MyFlatHint->SetFontColor(app::theme::MenuText);
    MyFlatHint->SetMaxHintWidth(500);
}

void TmainDlg::FollowPanelWidths(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Resize)
        return;
    if (watched == lpControl) {
        const int width = lpControl->width();
        SliderBar->setGeometry(8, 19, width - 16, 11);
        lbTimestamp->setGeometry(width - 8 - 265, 1, 265, 17);
    } else if (watched == lpThumbnail) {
        // The row of frames keeps the place it has at the opening width (886) and moves by half
        // of what the strip gains.
        const int width = lpThumbnail->width();
        const int shift = (width - 886) / 2;
        tiBandTop->setGeometry(5, 5, width - 10, 18);
        tiBandBottom->setGeometry(5, 112, width - 10, 18);
        for (int i = 0; i < 7; ++i) {
            filmFrames[i]->setGeometry(10 + 112 * i + shift, 25, 96, 84);
            imgViews[i]->setGeometry(18 + 112 * i + shift, 39, 81, 57);
        }
    }
}
