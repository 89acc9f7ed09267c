// Staging entries as files for the previewer, and the controller that hands them over.

#include "preview/previewcontroller.h"
#include "preview/previewer.h"
#include "preview/stager.h"
#include "support/countingsound.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace tessary;
using tessary::testing::CountingSound;

namespace {

class RecordingPreviewer : public FilePreviewer {
public:
    QList<QUrl> shown;
    void show(const QUrl &url, const QString &) override { shown.append(url); }
    void close() { tell(Event::Closed); }
    void handOver() { tell(Event::HandedOver); }
};

// Holds every write until it is let go, as a slow disk would.
class HeldWriter : public StagingWriter {
public:
    QSemaphore go;
    bool writeAll(int fd, QByteArrayView bytes) override
    {
        go.tryAcquire(1, 10000);
        return StagingWriter::writeAll(fd, bytes);
    }
};

// Writes the first half and then fails, as a disk filling up would.
class FailingWriter : public StagingWriter {
public:
    bool writeAll(int fd, QByteArrayView bytes) override
    {
        StagingWriter::writeAll(fd, bytes.first(bytes.size() / 2));
        return false;
    }
};

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool isEmptyDir(const QString &path)
{
    return QDir(path).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class TestStaging : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_dir;

    static PreviewStager stagerInto(const QString &dir, StagingWriter *writer = nullptr)
    {
        return PreviewStager([dir] { return std::optional<QString>(dir); }, writer);
    }

private slots:
    void init()
    {
        m_dir = m_root.filePath(QString::number(QRandomGenerator::global()->generate()));
        QVERIFY(QDir().mkpath(m_dir));
    }

    void stagedFileHoldsTheEntryExactly_data()
    {
        QTest::addColumn<Payload>("payload");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("extension");
        const QString text = QStringLiteral("Grüße, 東京 \U0001F600\nno newline at end");
        const QByteArray png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
        QTest::newRow("text") << Payload::text(text) << text.toUtf8() << "txt";
        QTest::newRow("png") << Payload::image(png) << png << "png";
        // Only the full eight-byte signature makes a PNG.
        QTest::newRow("png prefix")
            << Payload::image("\x89PNGjunk") << QByteArray("\x89PNGjunk") << "tiff";
        const QByteArray jpeg("\xff\xd8\xff\xe0jpeg", 8);
        QTest::newRow("a JPEG offered as PNG")
            << Payload::image(jpeg, tessary::ImageFormat::Png) << jpeg << "png";
    }

    void stagedFileHoldsTheEntryExactly()
    {
        QFETCH(Payload, payload);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, extension);
        PreviewStager stager = stagerInto(m_dir);
        const std::optional<QUrl> url = stager.stage(payload), again = stager.stage(payload);
        QVERIFY(url && again && *url != *again); // a new file on every preview
        const QString path = url->toLocalFile();
        QCOMPARE(QFileInfo(path).absolutePath(), m_dir);
        QCOMPARE(QFileInfo(path).suffix(), extension);
        QCOMPARE(readAll(path), bytes);
        QCOMPARE(QFile::permissions(path),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        QCOMPARE(QDir(m_dir).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    // A runtime directory someone else could have prepared is refused, and nothing is written.
    void refusesAPlantedRuntimeDirectory()
    {
        const QString elsewhere = m_dir + QStringLiteral("/elsewhere");
        QVERIFY(QDir().mkdir(elsewhere));
        QVERIFY(QFile::link(elsewhere, m_dir + QStringLiteral("/tessary")));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_dir));
        QCOMPARE(PreviewStager().stage(Payload::text(QStringLiteral("hunter2"))), std::nullopt);
        QVERIFY(isEmptyDir(elsewhere));
    }

    void neverWritesThroughAPlantedName()
    {
        PreviewStager stager = stagerInto(m_dir);
        const QString target = m_dir + QStringLiteral("/target");
        QVERIFY(stager.writeNewFile(m_dir, QStringLiteral("target"), "original"));
        // A symlink where the temporary name goes, then one where the final name goes.
        QVERIFY(QFile::link(target, m_dir + QStringLiteral("/.tessary-planted.txt.part")));
        QCOMPARE(stager.writeNewFile(m_dir, QStringLiteral("tessary-planted.txt"), "secret"),
                 std::nullopt);
        QVERIFY(QFile::link(target, m_dir + QStringLiteral("/tessary-taken.txt")));
        QCOMPARE(stager.writeNewFile(m_dir, QStringLiteral("tessary-taken.txt"), "secret"),
                 std::nullopt);
        QCOMPARE(readAll(target), QByteArray("original"));
        QVERIFY(!QFile::exists(m_dir + QStringLiteral("/.tessary-taken.txt.part")));
    }

    // Previews one row after the other, each once it has been shown (or beeped).
    static void previewInTurn(PreviewController &controller, std::initializer_list<int> rows)
    {
        QSignalSpy settled(&controller, &PreviewController::previewSettled);
        for (int row : rows) {
            const qsizetype before = settled.size();
            controller.previewRow(row);
            if (row >= 0 && row < 3)
                QVERIFY(settled.size() > before || settled.wait(5000));
        }
    }

    QStringList stagedFiles() const { return QDir(m_dir).entryList(QDir::Files | QDir::Hidden); }

    void controllerShowsTheStagedFileOrBeeps()
    {
        const QUrl pdf = QUrl::fromLocalFile(QStringLiteral("/nowhere/a b.pdf"));
        HistoryModel history;
        history.prepend(Entry::create(Payload::files({})));
        history.prepend(Entry::create(Payload::files({pdf, QUrl::fromLocalFile("/etc/hostname")})));
        history.prepend(Entry::create(Payload::text(QStringLiteral("hello"))));
        CountingSound sound;
        RecordingPreviewer previewer;
        PreviewStager stager = stagerInto(m_dir);
        {
            PreviewController controller(history, sound, stager, previewer);
            previewInTurn(controller, {0});
            QCOMPARE(readAll(previewer.shown.value(0).toLocalFile()), QByteArray("hello"));
            previewInTurn(controller, {1, 2, 3}); // files, files without URLs, no such row
            QCOMPARE(previewer.shown.size(), 2);
            QCOMPARE(previewer.shown[1], pdf); // the first URL, nothing written
            QCOMPARE(sound.beeps, 1);
        }

        // A failed write (disk full, missing directory): the beep, nothing left behind.
        FailingWriter failing;
        QVERIFY(QDir().mkdir(m_dir + QStringLiteral("/full")));
        PreviewStager full = stagerInto(m_dir + QStringLiteral("/full"), &failing);
        PreviewStager missing = stagerInto(m_dir + QStringLiteral("/gone"));
        for (PreviewStager *failingStager : {&full, &missing}) {
            PreviewController controller(history, sound, *failingStager, previewer);
            previewInTurn(controller, {0});
        }
        QCOMPARE(sound.beeps, 3);
        QCOMPARE(previewer.shown.size(), 2);
        QVERIFY(isEmptyDir(m_dir + QStringLiteral("/full")));
    }

    // Writing a large text takes a while: the event loop goes on turning meanwhile, and the
    // previewer gets the file once it is complete.
    void stagesOffTheGuiThread()
    {
        HistoryModel history;
        history.prepend(Entry::create(Payload::text(QStringLiteral("slow to write"))));
        CountingSound sound;
        RecordingPreviewer previewer;
        HeldWriter held;
        PreviewStager stager = stagerInto(m_dir, &held);
        PreviewController controller(history, sound, stager, previewer);
        QSignalSpy settled(&controller, &PreviewController::previewSettled);
        controller.previewRow(0);
        bool turned = false;
        QTimer::singleShot(0, [&] { turned = true; });
        QTRY_VERIFY(turned);
        QVERIFY(previewer.shown.isEmpty());
        held.go.release();
        QVERIFY(settled.wait(5000));
        QCOMPARE(readAll(previewer.shown.value(0).toLocalFile()), QByteArray("slow to write"));
    }

    // A staged file holds what was copied, a secret perhaps: it goes once its preview is
    // replaced or closed (or, handed to another application, at exit), all of them go at exit,
    // and those a run left behind go at the next start.
    void stagedFilesLiveNoLongerThanTheirPreview()
    {
        QVERIFY(stagerInto(m_dir).writeNewFile(m_dir, PreviewStager::newFileName("txt"), "left"));
        QVERIFY(stagerInto(m_dir).writeNewFile(m_dir, ".tessary-half.txt.part", "half"));
        QVERIFY(stagerInto(m_dir).writeNewFile(m_dir, "org.tessary.Tessary.socket", ""));
        HistoryModel history;
        for (const char *text : {"third", "second", "first"})
            history.prepend(Entry::create(Payload::text(QString::fromLatin1(text))));
        CountingSound sound;
        RecordingPreviewer previewer;
        PreviewStager stager = stagerInto(m_dir);
        auto controller = std::make_unique<PreviewController>(history, sound, stager, previewer);
        QCOMPARE(stagedFiles(), QStringList{"org.tessary.Tessary.socket"});

        previewInTurn(*controller, {0});
        const QString first = previewer.shown.last().toLocalFile();
        previewInTurn(*controller, {1});
        const QString second = previewer.shown.last().toLocalFile();
        QVERIFY(!QFile::exists(first) && QFile::exists(second)); // replaced
        previewer.close();
        QVERIFY(!QFile::exists(second)); // closed

        previewInTurn(*controller, {2});
        const QString handedOver = previewer.shown.last().toLocalFile();
        previewer.handOver();
        previewer.close();
        QVERIFY(QFile::exists(handedOver)); // another application may still be reading it
        controller.reset();
        QCOMPARE(stagedFiles(), QStringList{"org.tessary.Tessary.socket"});
    }
};

QTEST_GUILESS_MAIN(TestStaging)
#include "tst_staging.moc"
