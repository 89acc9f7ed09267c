// Staging entries as files for the previewer, and the controller that hands them over.

#include "preview/previewcontroller.h"
#include "preview/previewer.h"
#include "preview/stager.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace tessary;

namespace {

class CountingSound : public SoundPlayer {
public:
    int beeps = 0;
    void playCopyConfirmation() override {}
    void playErrorBeep() override { ++beeps; }
};

class RecordingPreviewer : public FilePreviewer {
public:
    QList<QUrl> shown;
    void show(const QUrl &url, const QString &) override { shown.append(url); }
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
        // The 36-character upper-case UUID, no braces.
        const QRegularExpression name(QStringLiteral("^tessary-[0-9A-F-]{36}\\.") + extension +
                                      u'$');
        QVERIFY2(name.match(url->fileName()).hasMatch(), qPrintable(url->fileName()));
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
        PreviewController controller(history, sound, stager, previewer);
        for (int row : {0, 1, 2, 3}) // text, files, files without URLs, no such row
            controller.previewRow(row);
        QCOMPARE(previewer.shown.size(), 2);
        QCOMPARE(readAll(previewer.shown[0].toLocalFile()), QByteArray("hello"));
        QCOMPARE(previewer.shown[1], pdf); // the first URL, nothing written
        QCOMPARE(QDir(m_dir).entryList(QDir::Files | QDir::Hidden).size(), 1);
        QCOMPARE(sound.beeps, 1);

        // A failed write (disk full, missing directory): the beep, nothing left behind.
        FailingWriter failing;
        QVERIFY(QDir().mkdir(m_dir + QStringLiteral("/full")));
        PreviewStager full = stagerInto(m_dir + QStringLiteral("/full"), &failing);
        PreviewStager missing = stagerInto(m_dir + QStringLiteral("/gone"));
        for (PreviewStager *failingStager : {&full, &missing})
            PreviewController(history, sound, *failingStager, previewer).previewRow(0);
        QCOMPARE(sound.beeps, 3);
        QCOMPARE(previewer.shown.size(), 2);
        QVERIFY(isEmptyDir(m_dir + QStringLiteral("/full")));
    }
};

QTEST_GUILESS_MAIN(TestStaging)
#include "tst_staging.moc"
