// Opens the panel over a full history (50 entries, ten of them 8-megapixel images) and prints:
// the time from activation to the first frame, frame intervals and the time the scene graph
// takes to draw each frame while the list scrolls, and the resident and private memory before
// the first open, while open and after closing.
//
//   bench_panel [--backend software|opengl] [--cycles N] [--blur on|off]
//   bench_panel --screenshots DIR
//
// --blur off hides the bands' backdrop blur, to weigh what it costs. --screenshots draws the
// README's pictures of the panel (and a few more) into DIR instead, with no display needed.
//
// Run it on an X server (Xvfb will do); the scene graph backend is the program's default
// (software) unless --backend says otherwise.
#include "app/card/relativetime.h"
#include "app/panelfixture.h"
#include "app/panelwindow.h"
#include "core/monitor.h"
#include "platform/memory/memorypasteboard.h"
#include "platform/shortcuts/globalshortcut.h"
#include "preview/filethumbnails.h"
#include "preview/previewcontroller.h"
#include "preview/previewer.h"
#include "preview/stager.h"
#include "preview/thumbnailer.h"
#include "qml/backdropblur.h"
#include "settings/launchatlogin.h"
#include "support/countingsound.h"
#include "support/images.h"
#include "support/memory.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLoggingCategory>
#include <QPainter>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <QThreadPool>
#include <QTimer>
#include <QtQml/qqmlextensionplugin.h>
#include <algorithm>
#include <cstdio>
#include <malloc.h>

Q_IMPORT_QML_PLUGIN(TessaryPlugin)

using namespace tessary;
using namespace Qt::StringLiterals;

namespace {

class NoPreviewer : public FilePreviewer {
public:
    void show(const QUrl &, const QString &) override {}
};

double residentMegabytes()
{
    return testing::procStatusKiB("VmRSS:") / 1024.0;
}

QByteArray photo(int index)
{
    // 3264 x 2448: 8 megapixels, with enough structure that decoding is real work.
    QImage image(3264, 2448, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 3264, 2448);
    gradient.setColorAt(0, QColor::fromHsv((index * 36) % 360, 160, 220));
    gradient.setColorAt(1, QColor::fromHsv((index * 36 + 120) % 360, 200, 120));
    painter.fillRect(image.rect(), gradient);
    painter.setPen(QPen(Qt::white, 6));
    for (int i = 0; i < 200; ++i)
        painter.drawLine(i * 17, 0, 3264 - i * 13, 2448);
    painter.end();
    return testing::encodedImage(image, "PNG", 90);
}

void wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The bands' blur alone, over a picture of the open panel: what it adds to every frame in which
// the list moves under both bands.
void timeBlurAlone(QQuickWindow &window, QQuickItem &panel)
{
    QImage picture = window.grabWindow().convertToFormat(QImage::Format_RGB32);
    struct Band {
        QRect area;
        int radius;
        QList<QPointF> mask;
    };
    QList<Band> bands;
    for (auto *band : panel.findChildren<QQuickItem *>(u"backdropBlur"_s)) {
        const QRectF area = band->mapRectToScene(band->boundingRect());
        const qreal scale = picture.devicePixelRatio();
        bands.append({QRectF(area.topLeft() * scale, area.size() * scale).toAlignedRect(),
                      qRound(band->property("radius").toInt() * scale),
                      band->property("mask").value<QList<QPointF>>()});
    }
    QList<qint64> runs;
    QElapsedTimer timer;
    for (int run = 0; run < 300; ++run) {
        timer.start();
        for (const Band &band : bands)
            blurInPlace(picture, band.area, band.radius, band.mask);
        runs.append(timer.nsecsElapsed());
    }
    std::sort(runs.begin(), runs.end());
    std::printf("blurring both bands alone (%lld): best %.3f ms, median %.3f ms a frame\n",
                static_cast<long long>(bands.size()), runs.first() / 1e6,
                runs[runs.size() / 2] / 1e6);
}

// The panel drawn as the program draws it (software scene graph, no compositor) over a small
// history of texts, files and pictures, the newest a picture: empty, full, scrolled under the
// bands, filtered, with no match, and its settings.
int takeScreenshots(const QDir &directory)
{
    test::PanelFixture fixture;
    PanelWindow panel(fixture.services());
    bool saved = directory.mkpath(u"."_s);
    const auto shoot = [&](const QString &name) {
        saved = QTest::qWaitForWindowExposed(panel.window()) && saved;
        saved = QTest::qWaitFor([&] { // every picture on show decoded
                    const auto images =
                        panel.panelItem()->findChildren<QQuickItem *>(u"entryImage"_s);
                    return std::ranges::all_of(images, [](QQuickItem *image) {
                        return image->property("status").toInt() == 1; // Image.Ready
                    });
                }) &&
                saved;
        QTest::qWait(500); // springs settled
        saved = panel.window()->grabWindow().save(directory.filePath(name + u".png"_s)) && saved;
    };
    panel.open();
    shoot(u"panel-empty"_s);
    panel.close();
    fixture.addTexts(6);
    fixture.add(Payload::files({QUrl::fromLocalFile(u"/etc/hostname"_s)}));
    fixture.add(u"git log --oneline --graph --decorate --all"_s);
    for (const QColor colour : {QColor(240, 180, 60), QColor(70, 130, 200)}) {
        fixture.add(u"The quick brown fox jumps over the lazy dog. Pack my box with "
                    "five dozen liquor jugs."_s);
        fixture.add(Payload::image(testing::encodedImage({1200, 800}, "PNG", colour)));
    }
    panel.open();
    shoot(u"panel-entries"_s);
    auto *list = panel.panelItem()
                     ->property("current")
                     .value<QObject *>()
                     ->property("list")
                     .value<QQuickItem *>();
    list->setProperty("contentY", list->property("contentY").toReal() + 260);
    shoot(u"panel-scrolled"_s);
    for (const char key : {'f', 'o', 'x'})
        QTest::keyClick(panel.window(), key);
    shoot(u"panel-filtered"_s);
    for (const char key : {'e', 's'})
        QTest::keyClick(panel.window(), key);
    shoot(u"panel-no-match"_s);
    QMetaObject::invokeMethod(panel.panelItem(), "openSettings");
    shoot(u"panel-settings"_s);
    std::printf("%s in %s\n", saved ? "screenshots saved" : "screenshots NOT saved",
                qPrintable(directory.absolutePath()));
    return saved ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QString backend = QStringLiteral("software");
    int cycles = 5;
    bool blur = true;
    QString screenshots;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (qstrcmp(argv[i], "--backend") == 0)
            backend = QString::fromLatin1(argv[i + 1]);
        else if (qstrcmp(argv[i], "--cycles") == 0)
            cycles = std::max(1, atoi(argv[i + 1]));
        else if (qstrcmp(argv[i], "--blur") == 0)
            blur = qstrcmp(argv[i + 1], "off") != 0;
        else if (qstrcmp(argv[i], "--screenshots") == 0)
            screenshots = QString::fromLocal8Bit(argv[i + 1]);
    }
    if (!screenshots.isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (backend == QStringLiteral("software"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    else
        QQuickWindow::setGraphicsApi(QSGRendererInterface::OpenGL);

    QApplication app(argc, argv);
    if (!screenshots.isEmpty())
        return takeScreenshots(QDir(screenshots));
    // The panel says where the time of building it goes.
    QLoggingCategory::setFilterRules(QStringLiteral("tessary.panel.debug=true"));
    std::printf("backend: %s, backdrop blur %s\n", qPrintable(backend), blur ? "on" : "off");
    std::printf("RSS at start: %.1f MB\n", residentMegabytes());

    MemoryPasteboard pasteboard;
    testing::CountingSound sound;
    ClipboardMonitor monitor(pasteboard, sound);
    HistoryModel &history = *monitor.history();
    QElapsedTimer timer;
    timer.start();
    qint64 imageBytes = 0;
    for (int i = 0; i < 50; ++i) {
        if (i % 5 == 2) {
            const QByteArray bytes = photo(i);
            imageBytes += bytes.size();
            history.prepend(Entry::create(Payload::image(bytes)));
        } else if (i % 5 == 4) {
            history.prepend(Entry::create(
                Payload::files({QUrl::fromLocalFile(QStringLiteral("/etc/hostname")),
                                QUrl::fromLocalFile(QStringLiteral("/etc/os-release"))})));
        } else {
            history.prepend(Entry::create(Payload::text(
                QStringLiteral("Entry %1: the quick brown fox jumps over the lazy dog").arg(i))));
        }
    }
    std::printf("history: 50 entries, 10 images of 3264x2448 (%.1f MB of PNG), built in %lld ms\n",
                imageBytes / 1048576.0, timer.elapsed());
    malloc_trim(0);
    const double baseline = residentMegabytes();
    std::printf("RSS with the history, panel never opened: %.1f MB\n", baseline);

    // The services as the application makes them.
    const RelativeTimeFormatter formatter(QLocale::system());
    QThreadPool decodingPool;
    decodingPool.setMaxThreadCount(2);
    SystemThumbnailer thumbnailer(QDBusConnection::sessionBus(), decodingPool);
    FileThumbnails thumbnails(thumbnailer);
    PreviewStager stager;
    NoPreviewer previewer;
    PreviewController previews(history, sound, stager, previewer);
    GlobalShortcut shortcut({QDBusConnection::sessionBus(), false, {}, {}}); // never registered
    LaunchAtLogin launchAtLogin(createLoginItem(), writeToSystemLog);
    PanelWindow panel({monitor, previews, formatter, thumbnails, shortcut, launchAtLogin});

    QList<qint64> firstFrames;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        QElapsedTimer activation;
        qint64 firstFrame = -1;
        activation.start();
        panel.open();
        if (!blur) {
            for (auto *band : panel.panelItem()->findChildren<QQuickItem *>(u"backdropBlur"_s))
                band->setVisible(false);
        }
        const qint64 shown = activation.elapsed();
        QObject::connect(panel.window(), &QQuickWindow::frameSwapped, &app, [&] {
            if (firstFrame < 0)
                firstFrame = activation.elapsed();
        });
        while (firstFrame < 0 && activation.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        firstFrames.append(firstFrame);
        std::printf("open %d: first frame %lld ms after activation (%lld ms to show, %lld ms to "
                    "draw)\n",
                    cycle + 1, firstFrame, shown, firstFrame - shown);

        wait(800); // tiles decoded, springs settled
        if (cycle == 0)
            std::printf("RSS with the panel open: %.1f MB, private %.1f MB\n", residentMegabytes(),
                        testing::privateKilobytes() / 1024.0);

        if (cycle == cycles - 1) {
            // Scroll the whole list at a steady pace and record the frame intervals.
            QObject *screen = panel.panelItem()->property("current").value<QObject *>();
            auto *list = screen->property("list").value<QQuickItem *>();
            QList<qint64> intervals, drawing;
            QElapsedTimer frames;
            frames.start();
            qint64 last = 0, drawStart = 0;
            auto connection =
                QObject::connect(panel.window(), &QQuickWindow::frameSwapped, &app, [&] {
                    const qint64 now = frames.nsecsElapsed();
                    intervals.append(now - last);
                    last = now;
                });
            // The software scene graph draws on this thread, between these two signals.
            auto drawBegins = QObject::connect(
                panel.window(), &QQuickWindow::beforeRendering, &app,
                [&] { drawStart = frames.nsecsElapsed(); }, Qt::DirectConnection);
            auto drawEnds = QObject::connect(
                panel.window(), &QQuickWindow::afterRendering, &app,
                [&] { drawing.append(frames.nsecsElapsed() - drawStart); }, Qt::DirectConnection);
            const qreal end = list->property("contentHeight").toReal();
            for (int step = 0; step < 240; ++step) {
                list->setProperty("contentY", end * step / 240.0);
                panel.window()->update();
                wait(16);
            }
            QObject::disconnect(connection);
            QObject::disconnect(drawBegins);
            QObject::disconnect(drawEnds);
            std::sort(drawing.begin(), drawing.end());
            if (!drawing.isEmpty()) {
                qint64 total = 0;
                for (qint64 ns : drawing)
                    total += ns;
                std::printf("drawing a scrolled frame: mean %.2f ms, median %.2f ms, 95th "
                            "percentile %.2f ms\n",
                            total / 1e6 / drawing.size(), drawing[drawing.size() / 2] / 1e6,
                            drawing[drawing.size() * 95 / 100] / 1e6);
            }
            std::sort(intervals.begin(), intervals.end());
            timeBlurAlone(*panel.window(), *panel.panelItem());
            if (!intervals.isEmpty()) {
                std::printf("scrolling: %lld frames, median interval %.1f ms, 95th percentile "
                            "%.1f ms, worst %.1f ms\n",
                            static_cast<long long>(intervals.size()),
                            intervals[intervals.size() / 2] / 1e6,
                            intervals[intervals.size() * 95 / 100] / 1e6, intervals.last() / 1e6);
            }
        }
        panel.close();
        wait(300);
        if (cycle == 0)
            std::printf("RSS after closing: %.1f MB\n", residentMegabytes());
    }
    std::sort(firstFrames.begin(), firstFrames.end());
    std::printf("first frame: best %lld ms, median %lld ms, worst %lld ms\n", firstFrames.first(),
                firstFrames[firstFrames.size() / 2], firstFrames.last());
    return 0;
}
