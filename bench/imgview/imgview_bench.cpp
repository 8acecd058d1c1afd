// Repaint times of the image explorer's view showing a 3840 x 2160 picture: fit mode, every
// wheel zoom step from 1 to 5, and drag pans at zoom 1, 3 and 5, each a synchronous repaint of
// the view on the X server's window (paint plus flush), as the explorer does on every move.
// The peer is the plain way of drawing a zoomed picture: scale the whole picture to the zoom
// (nearest pixel, no smoothing), then blit the visible part.
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/bench_imgview [--maximised]

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "library/imageViewForm.h"
#include "widgets/ImgView32.h"

namespace {

constexpr double TargetMs = 30.0;

// Turns the event loop until the widget's window is on screen, and a little longer so that the
// window manager's first paints are over.
bool WaitExposed(QWidget& widget)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 5000 && (widget.windowHandle() == nullptr || !widget.windowHandle()->isExposed()))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    const qint64 exposedAt = clock.elapsed();
    while (clock.elapsed() < exposedAt + 200)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return widget.windowHandle() != nullptr && widget.windowHandle()->isExposed();
}

QImage TestPicture()
{
    QImage image(3840, 2160, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qRgb(x * 255 / 3840, y * 255 / 2160, (x ^ y) & 0xFF);
    }
    return image;
}

struct Figures {
    double median = 0;
    double worst = 0;
};

Figures Summarise(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

// Counts the paints a widget receives, so that a figure is known to include one.
class TPaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

// Times `step` followed by a synchronous repaint of `widget`, `runs` times.
Figures Time(QWidget& widget, int runs, const std::function<void(int)>& step)
{
    // One untimed repaint first: the first one after a resize also sets up the window's buffer.
    widget.repaint();
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        step(i);
        widget.repaint();
        ms.push_back(clock.nsecsElapsed() / 1e6);
    }
    return Summarise(ms);
}

// The peer: the whole picture scaled to the zoom on every change, the visible part blitted.
class TWholeScaleView : public QWidget {
public:
    explicit TWholeScaleView(const QImage& picture) : picture_(picture) { setAttribute(Qt::WA_OpaquePaintEvent); }
    void SetZoom(float zoom)
    {
        scaled_ = picture_.scaled(qRound(picture_.width() * zoom), qRound(picture_.height() * zoom),
                                  Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    QPoint scroll;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::gray);
        painter.drawImage(QPoint(0, 0), scaled_, QRect(scroll, size()));
    }

private:
    QImage picture_;
    QImage scaled_;
};

void Row(const char* what, Figures ours, Figures peer)
{
    std::printf("%-26s %8.2f %8.2f   %8.2f %8.2f   %6.2fx   %5.2f\n", what, ours.median, ours.worst, peer.median,
                peer.worst, peer.median / ours.median, ours.worst / TargetMs);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const bool maximised = app.arguments().contains(QStringLiteral("--maximised"));
    const QImage picture = TestPicture();

    library::TimageViewDlg dialog(nullptr, "/nonexistent");
    // Without a window manager a maximise request does nothing: size the window to the screen.
    if (maximised)
        dialog.resize(1270, 990);
    dialog.show();
    if (!WaitExposed(dialog))
        return 1;
    TImgView32& view = *dialog.imageView;
    view.SetBitmap(picture);
    QWidget& surface = *view.viewport();
    TPaintCounter counter;
    surface.installEventFilter(&counter);

    TWholeScaleView peer(picture);
    peer.resize(surface.size());
    peer.show();
    if (!WaitExposed(peer))
        return 1;

    std::printf("picture 3840 x 2160, view %d x %d, platform %s\n", surface.width(), surface.height(),
                qPrintable(QGuiApplication::platformName()));
    std::printf("%-26s %8s %8s   %8s %8s   %7s   %s\n", "repaint (ms)", "median", "worst", "peer med", "worst",
                "peer/us", "worst/30ms");

    view.SetFitMode(true);
    const Figures fit = Time(surface, 50, [](int) {});
    peer.SetZoom(imgviewlogic::FitScale(picture.size(), surface.size()));
    const Figures fitPeer = Time(peer, 50, [&peer, &picture, &surface](int) {
        peer.SetZoom(imgviewlogic::FitScale(picture.size(), surface.size()));
    });
    Row("fit", fit, fitPeer);

    view.SetFitMode(false);
    view.SetScale(1.0f);
    // 40 wheel steps: 1.0 up to 5.0, each one zoom change and its repaint.
    float factor = 1.0f;
    const Figures zoom = Time(surface, 40, [&](int) {
        factor = library::ExplorerWheelZoom(factor, 120);
        view.SetScale(factor);
    });
    float peerFactor = 1.0f;
    const Figures zoomPeer = Time(peer, 40, [&](int) {
        peerFactor = library::ExplorerWheelZoom(peerFactor, 120);
        peer.SetZoom(peerFactor);
    });
    Row("wheel zoom 1 -> 5", zoom, zoomPeer);

    for (float level : {1.0f, 3.0f, 5.0f}) {
        view.SetScale(level);
        view.horizontalScrollBar()->setValue(0);
        view.verticalScrollBar()->setValue(0);
        // A drag to the right and down, 7 pixels a move, as a quick hand does.
        const Figures pan = Time(surface, 200, [&view](int) { view.ScrollBy(7, 4); });
        peer.SetZoom(level);
        peer.scroll = {};
        const Figures panPeer = Time(peer, 200, [&peer](int) { peer.scroll += QPoint(7, 4); });
        char label[40];
        std::snprintf(label, sizeof label, "drag pan at zoom %.0f", level);
        Row(label, pan, panPeer);
    }
    std::printf("view repaints: %d (timed and warm-up)\n", counter.paints);
    std::printf("target: every repaint under %.0f ms (last column below 1)\n", TargetMs);
    return 0;
}
