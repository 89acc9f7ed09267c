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
#include <sys/stat.h>
#include <unistd.h>

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
    void show(const QUrl &url) override { shown.append(url); }
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

const QByteArray kPng("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
const QByteArray kTiff("II*\0\x08\0\0\0", 8);

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestStaging : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_dir;

    PreviewStager stagerInto(const QString &dir, StagingWriter *writer = nullptr)
    {
        return PreviewStager([dir] { return std::optional<QString>(dir); }, writer);
    }

private slots:
    void init()
    {
        m_dir = m_root.path() + QStringLiteral("/") +
                QString::number(QRandomGenerator::global()->generate());
        QVERIFY(QDir().mkpath(m_dir));
    }

    void stagedFileHoldsTheEntryExactly_data()
    {
        QTest::addColumn<Payload>("payload");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("extension");
        const QString accented = QStringLiteral("Grüße, 東京 \U0001F600\nno newline at end");
        QTest::newRow("text as UTF-8 without BOM")
            << Payload::text(accented) << accented.toUtf8() << "txt";
        QTest::newRow("empty text") << Payload::text({}) << QByteArray() << "txt";
        QTest::newRow("PNG bytes") << Payload::image(kPng) << kPng << "png";
        QTest::newRow("TIFF bytes") << Payload::image(kTiff) << kTiff << "tiff";
        QTest::newRow("short bytes") << Payload::image("\x89P") << QByteArray("\x89P") << "tiff";
        // Only the full eight-byte signature makes a PNG.
        QTest::newRow("four PNG bytes then junk")
            << Payload::image("\x89PNGjunk") << QByteArray("\x89PNGjunk") << "tiff";
    }

    void stagedFileHoldsTheEntryExactly()
    {
        QFETCH(Payload, payload);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, extension);
        PreviewStager stager = stagerInto(m_dir);
        const std::optional<QUrl> url = stager.stage(payload);
        QVERIFY(url);
        QVERIFY(url->isLocalFile());
        const QString path = url->toLocalFile();
        QCOMPARE(QFileInfo(path).absolutePath(), m_dir);
        static const QRegularExpression name(QStringLiteral(
            "^tessary-[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\.(\\w+)$"));
        const QRegularExpressionMatch match = name.match(url->fileName());
        QVERIFY2(match.hasMatch(), qPrintable(url->fileName()));
        QCOMPARE(match.captured(1), extension);
        QCOMPARE(readAll(path), bytes);
        struct stat info {};
        QCOMPARE(::lstat(QFile::encodeName(path).constData(), &info), 0);
        QCOMPARE(info.st_mode & 07777, 0600u);
        // Nothing but the staged file is left behind.
        QCOMPARE(QDir(m_dir).entryList(QDir::Files | QDir::Hidden), QStringList{url->fileName()});
    }

    void everyPreviewWritesANewFile()
    {
        PreviewStager stager = stagerInto(m_dir);
        const Payload text = Payload::text(QStringLiteral("same"));
        const std::optional<QUrl> first = stager.stage(text);
        const std::optional<QUrl> second = stager.stage(text);
        QVERIFY(first && second);
        QVERIFY(*first != *second);
        QVERIFY(QFile::exists(first->toLocalFile()));
        QVERIFY(QFile::exists(second->toLocalFile()));
    }

    void filesEntryOffersItsFirstUrlWithoutWriting()
    {
        PreviewStager stager = stagerInto(m_dir);
        const QList<QUrl> urls{QUrl::fromLocalFile(QStringLiteral("/nowhere/a b.pdf")),
                               QUrl::fromLocalFile(QStringLiteral("/etc/hostname")),
                               QUrl::fromLocalFile(QStringLiteral("/etc/passwd"))};
        QCOMPARE(stager.stage(Payload::files(urls)), std::optional<QUrl>(urls.first()));
        QCOMPARE(stager.stage(Payload::files({})), std::nullopt);
        QVERIFY(QDir(m_dir).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }

    // The runtime directory is refused when someone else could have prepared it.
    void refusesASymlinkedOrForeignDirectory()
    {
        const QString runtime = m_dir + QStringLiteral("/runtime");
        const QString elsewhere = m_dir + QStringLiteral("/elsewhere");
        QVERIFY(QDir().mkpath(runtime) && QDir().mkpath(elsewhere));
        const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        auto restore = qScopeGuard([&] { qputenv("XDG_RUNTIME_DIR", oldRuntime); });
        PreviewStager stager;
        const Payload secret = Payload::text(QStringLiteral("hunter2"));

        QVERIFY(QFile::link(elsewhere, runtime + QStringLiteral("/tessary")));
        QCOMPARE(stager.stage(secret), std::nullopt);
        QVERIFY(QDir(elsewhere).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));

        QVERIFY(QFile::remove(runtime + QStringLiteral("/tessary")));
        QVERIFY(QDir().mkdir(runtime + QStringLiteral("/tessary")));
        if (::geteuid() != 0)
            QSKIP("making a directory foreign needs root");
        QCOMPARE(::chown(QFile::encodeName(runtime + QStringLiteral("/tessary")).constData(), 65534,
                         65534),
                 0);
        QCOMPARE(stager.stage(secret), std::nullopt);
        QVERIFY(QDir(runtime + QStringLiteral("/tessary"))
                    .isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));

        // Our own directory is taken, and tightened to 0700.
        QVERIFY(QDir(runtime).rmdir(QStringLiteral("tessary")));
        const std::optional<QUrl> url = stager.stage(secret);
        QVERIFY(url);
        QCOMPARE(QFileInfo(url->toLocalFile()).absolutePath(),
                 runtime + QStringLiteral("/tessary"));
    }

    void neverWritesThroughAPlantedName()
    {
        PreviewStager stager = stagerInto(m_dir);
        const QString target = m_dir + QStringLiteral("/target");
        QFile targetFile(target);
        QVERIFY(targetFile.open(QIODevice::WriteOnly));
        targetFile.write("original");
        targetFile.close();

        // A symlink where the temporary name goes, then a file where the final name goes.
        QVERIFY(QFile::link(target, m_dir + QStringLiteral("/.tessary-planted.txt.part")));
        QCOMPARE(stager.writeNewFile(m_dir, QStringLiteral("tessary-planted.txt"), "secret"),
                 std::nullopt);
        QVERIFY(QFile::link(target, m_dir + QStringLiteral("/tessary-taken.txt")));
        QCOMPARE(stager.writeNewFile(m_dir, QStringLiteral("tessary-taken.txt"), "secret"),
                 std::nullopt);
        QCOMPARE(readAll(target), QByteArray("original"));
        QVERIFY(!QFile::exists(m_dir + QStringLiteral("/.tessary-taken.txt.part")));
    }

    void failedWriteLeavesNothingBehind()
    {
        FailingWriter failing;
        PreviewStager broken = stagerInto(m_dir, &failing);
        QCOMPARE(broken.stage(Payload::text(QStringLiteral("half of this"))), std::nullopt);
        QCOMPARE(broken.stage(Payload::image(kPng)), std::nullopt);
        QVERIFY(QDir(m_dir).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));

        PreviewStager missing = stagerInto(m_dir + QStringLiteral("/gone"));
        QCOMPARE(missing.stage(Payload::text(QStringLiteral("x"))), std::nullopt);
        PreviewStager none([] { return std::optional<QString>(); });
        QCOMPARE(none.stage(Payload::text(QStringLiteral("x"))), std::nullopt);
    }

    void controllerShowsTheStagedFileOrBeeps()
    {
        HistoryModel history;
        history.prepend(Entry::create(Payload::files({})));
        history.prepend(Entry::create(Payload::text(QStringLiteral("hello"))));
        CountingSound sound;
        RecordingPreviewer previewer;
        PreviewStager stager = stagerInto(m_dir);
        PreviewController controller(history, sound, stager, previewer);

        controller.previewRow(0);
        QCOMPARE(previewer.shown.size(), 1);
        QCOMPARE(readAll(previewer.shown.first().toLocalFile()), QByteArray("hello"));
        QCOMPARE(sound.beeps, 0);

        controller.previewRow(1); // a files entry without URLs
        controller.previewRow(2); // no such row: nothing at all
        controller.previewRow(-1);
        QCOMPARE(previewer.shown.size(), 1);
        QCOMPARE(sound.beeps, 1);

        FailingWriter failing;
        PreviewStager broken = stagerInto(m_dir, &failing);
        PreviewController failingController(history, sound, broken, previewer);
        failingController.previewRow(0);
        QCOMPARE(previewer.shown.size(), 1);
        QCOMPARE(sound.beeps, 2);
    }
};

QTEST_GUILESS_MAIN(TestStaging)
#include "tst_staging.moc"
