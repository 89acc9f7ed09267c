#include "app/card/cardqml.h"
#include "core/historymodel.h"

#include <QBuffer>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickImageProvider>
#include <QtQml/qqmlextensionplugin.h>
#include <QtQuickTest>

Q_IMPORT_QML_PLUGIN(TessaryPlugin)

using namespace tessary;

namespace {

QByteArray encoded(int width, int height, const char *format)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkMagenta);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

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

// Stands in for the desktop's thumbnails, which the card only places.
class FakeFileThumbnailSource : public QObject {
    Q_OBJECT
    Q_PROPERTY(QUrl url MEMBER m_url NOTIFY changed)
    Q_PROPERTY(QSizeF targetSize MEMBER m_targetSize NOTIFY changed)
    Q_PROPERTY(bool active MEMBER m_active NOTIFY changed)
    Q_PROPERTY(QUrl iconSource MEMBER m_none NOTIFY changed)
    Q_PROPERTY(QUrl thumbnailSource MEMBER m_none NOTIFY changed)
    Q_PROPERTY(bool hasThumbnail MEMBER m_hasThumbnail NOTIFY changed)
signals:
    void changed();

private:
    QUrl m_url, m_none;
    QSizeF m_targetSize;
    bool m_active = false, m_hasThumbnail = false;
};

} // namespace

// One entry of each interesting shape, named; `fixture.entry(name)` gives the roles the list
// would hand a card for it.
class Setup : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE QVariantMap entry(const QString &name) const
    {
        const QModelIndex index = m_history.index(m_history.rowOf(m_ids.value(name)));
        QVariantMap roles{{"index", index.row()}};
        const QHash<int, QByteArray> names = m_history.roleNames();
        for (auto it = names.cbegin(); it != names.cend(); ++it) {
            if (it.value() != "imageBytes") // cards look their image up by id
                roles.insert(QString::fromLatin1(it.value()), m_history.data(index, it.key()));
        }
        return roles;
    }
    Q_INVOKABLE int probeRequests() const { return m_probes.loadRelaxed(); }

public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        const QByteArray wide = encoded(400, 100, "PNG");
        add("text", Payload::text("Hello, world"));
        add("long", Payload::text(QStringLiteral("line\n").repeated(40)));
        add("markup", Payload::text("<b>bold</b><img src=\"image://probe/x\">"));
        add("wide", Payload::image(wide));
        add("tall", Payload::image(encoded(100, 400, "TIFF")));
        add("garbage", Payload::image("this is not an image"));
        add("truncated", Payload::image(wide.left(60))); // the header reads, the pixels do not
        add("files", Payload::files({QUrl::fromLocalFile("/tmp/first.txt"),
                                     QUrl::fromLocalFile("/tmp/second.txt")}));
        add("nofiles", Payload::files({}));
        qmlRegisterType<FakeFileThumbnailSource>("Tessary.Native", 1, 0, "FileThumbnailSource");
        engine->addImportPath("qrc:/");
        registerCardQmlTypes(*engine, m_history);
        engine->addImageProvider("probe", new ProbeProvider(m_probes));
        engine->rootContext()->setContextProperty("fixture", this);
    }

private:
    void add(const QString &name, Payload payload)
    {
        Entry entry = Entry::create(std::move(payload));
        entry.capturedAt = QDateTime::currentDateTime().addSecs(-180);
        m_ids.insert(name, entry.id.toString(QUuid::WithoutBraces));
        m_history.prepend(std::move(entry));
    }

    HistoryModel m_history;
    QHash<QString, QString> m_ids;
    QAtomicInt m_probes;
};

QUICK_TEST_MAIN_WITH_SETUP(tst_clipboardcard, Setup)

#include "tst_clipboardcard.moc"
