// The card view under Qt Quick Test (qml/tst_clipboardcard.qml), one entry of each interesting
// shape in the panel fixture's history.
#include "app/panelfixture.h"
#include "support/images.h"

#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickImageProvider>
#include <QtQml/qqmlextensionplugin.h>
#include <QtQuickTest>
#include <optional>

Q_IMPORT_QML_PLUGIN(TessaryPlugin)

using namespace tessary;
using tessary::testing::encodedImage;

namespace {

// Counts the loads that markup in a text would make.
class ProbeProvider : public QQuickImageProvider {
public:
    explicit ProbeProvider(QAtomicInt &count) : QQuickImageProvider(Image), m_count(count) {}
    QImage requestImage(const QString &, QSize *, const QSize &) override
    {
        m_count.ref();
        return {};
    }
    QAtomicInt &m_count;
};

} // namespace

// `fixture.entry(name)` gives what the list hands a card for the named entry; `fixture.support`
// and `fixture.thumbnails` what the panel hands it.
class Setup : public QObject {
    Q_OBJECT
    Q_PROPERTY(tessary::CardSupport *support READ support CONSTANT FINAL)
    Q_PROPERTY(tessary::FileThumbnails *thumbnails READ thumbnails CONSTANT FINAL)
public:
    Q_INVOKABLE QVariantMap entry(const QString &name)
    {
        const HistoryModel &history = m_fixture->history();
        const QModelIndex index = history.index(history.rowOf(m_ids.value(name)));
        QVariantMap roles{{"index", index.row()}};
        const QHash<int, QByteArray> names = history.roleNames();
        for (auto it = names.cbegin(); it != names.cend(); ++it)
            roles.insert(QString::fromLatin1(it.value()), history.data(index, it.key()));
        return roles;
    }
    Q_INVOKABLE int probeRequests() const { return m_probes.loadRelaxed(); }
    CardSupport *support() { return m_fixture->cards(); }
    FileThumbnails *thumbnails() { return m_fixture->thumbnails(); }

public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        m_fixture.emplace(); // once the application object exists: it keeps a timer
        const QByteArray wide = encodedImage({400, 100}, "PNG");
        add("text", Payload::text("Hello, world"));
        add("long", Payload::text(QStringLiteral("line\n").repeated(40)));
        add("markup", Payload::text("<b>bold</b><img src=\"image://probe/x\">"));
        add("carriage returns", Payload::text("classic Mac\rWindows\r\nUnix\n"));
        add("wide", Payload::image(wide));
        add("tall", Payload::image(encodedImage({100, 400}, "TIFF")));
        // Stored wide, shot sideways: shown upright.
        add("sideways", Payload::image(encodedImage({400, 100}, "TIFF", Qt::darkMagenta,
                                                    QImageIOHandler::TransformationRotate90)));
        add("garbage", Payload::image("this is not an image"));
        add("truncated", Payload::image(wide.left(60))); // the header reads, the pixels do not
        add("files", Payload::files({QUrl::fromLocalFile("/tmp/first.txt"),
                                     QUrl::fromLocalFile("/tmp/second.txt")}));
        add("nofiles", Payload::files({}));
        support()->setRunning(true);
        preparePanelEngine(*engine, m_fixture->services());
        engine->addImageProvider("probe", new ProbeProvider(m_probes));
        engine->rootContext()->setContextProperty("fixture", this);
    }

private:
    void add(const QString &name, Payload payload)
    {
        Entry entry = Entry::create(std::move(payload));
        entry.capturedAt = QDateTime::currentDateTime().addSecs(-180);
        m_ids.insert(name, entry.id.toString(QUuid::WithoutBraces));
        m_fixture->history().prepend(std::move(entry));
    }

    std::optional<test::PanelFixture> m_fixture;
    QHash<QString, QString> m_ids;
    QAtomicInt m_probes;
};

QUICK_TEST_MAIN_WITH_SETUP(tst_clipboardcard, Setup)

#include "tst_clipboardcard.moc"
