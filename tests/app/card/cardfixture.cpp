#include "cardfixture.h"

#include "app/card/cardqml.h"

#include <QBuffer>
#include <QImage>
#include <QQmlContext>
#include <QQmlEngine>
#include <QtQml/qqmlregistration.h>

namespace tessary::test {

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

class ProbeProvider : public QQuickImageProvider {
public:
    explicit ProbeProvider(CardFixture &fixture, QAtomicInt &count)
        : QQuickImageProvider(QQuickImageProvider::Image), m_fixture(fixture), m_count(count)
    {}
    QImage requestImage(const QString &, QSize *size, const QSize &) override
    {
        m_count.ref();
        QMetaObject::invokeMethod(&m_fixture, &CardFixture::probeRequestsChanged,
                                  Qt::QueuedConnection);
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::red);
        *size = image.size();
        return image;
    }

private:
    CardFixture &m_fixture;
    QAtomicInt &m_count;
};

// Stands in for the desktop's thumbnails: the card only places the view, it does not make
// thumbnails, and tests must not depend on a thumbnail service being there.
class FakeFileThumbnailSource : public QObject {
    Q_OBJECT
    Q_PROPERTY(QUrl url MEMBER m_url NOTIFY changed)
    Q_PROPERTY(QSizeF targetSize MEMBER m_targetSize NOTIFY changed)
    Q_PROPERTY(qreal devicePixelRatio MEMBER m_ratio NOTIFY changed)
    Q_PROPERTY(bool active MEMBER m_active NOTIFY changed)
    Q_PROPERTY(QUrl iconSource READ iconSource NOTIFY changed)
    Q_PROPERTY(QUrl thumbnailSource READ thumbnailSource NOTIFY changed)
    Q_PROPERTY(bool hasThumbnail READ hasThumbnail NOTIFY changed)
public:
    using QObject::QObject;
    QUrl iconSource() const { return QUrl("image://cardicon/text-x-generic"); }
    QUrl thumbnailSource() const { return {}; }
    bool hasThumbnail() const { return false; }
signals:
    void changed();

private:
    QUrl m_url;
    QSizeF m_targetSize;
    qreal m_ratio = 0;
    bool m_active = true;
};

} // namespace

CardFixture::CardFixture()
{
    const QByteArray wide = encoded(400, 100, "PNG");
    add("text", Payload::text(QStringLiteral("Hello, world")));
    add("long", Payload::text(QStringLiteral("line\n").repeated(40)));
    add("markup", Payload::text(QStringLiteral("<b>bold</b><img src=\"image://probe/x\">")));
    add("wide", Payload::image(wide));
    add("tall", Payload::image(encoded(100, 400, "TIFF")));
    add("garbage", Payload::image("this is not an image"));
    // The header still reads, the pixels do not.
    add("truncated", Payload::image(wide.left(60)));
    add("files", Payload::files({QUrl::fromLocalFile("/tmp/first.txt"),
                                 QUrl::fromLocalFile("/tmp/second.txt"),
                                 QUrl::fromLocalFile("/tmp/third.txt")}));
    add("nofiles", Payload::files({}));
}

void CardFixture::add(const QString &name, Payload payload, qint64 ageSeconds)
{
    Entry entry = Entry::create(std::move(payload));
    entry.capturedAt = QDateTime::currentDateTime().addSecs(-ageSeconds);
    m_ids.insert(name, entry.id);
    m_history.prepend(std::move(entry));
}

void CardFixture::install(QQmlEngine &engine)
{
    static const bool registered = [] {
        qmlRegisterType<FakeFileThumbnailSource>("Tessary.Native", 1, 0, "FileThumbnailSource");
        return true;
    }();
    Q_UNUSED(registered);
    engine.addImportPath(QStringLiteral("qrc:/"));
    registerCardQmlTypes(engine, m_history);
    engine.addImageProvider(QStringLiteral("probe"), new ProbeProvider(*this, m_probeRequests));
    engine.rootContext()->setContextProperty(QStringLiteral("fixture"), this);
}

QVariantMap CardFixture::entry(const QString &name) const
{
    const int row = m_history.rowOf(m_ids.value(name).toString(QUuid::WithoutBraces));
    QVariantMap roles;
    if (row < 0)
        return roles;
    const QModelIndex index = m_history.index(row);
    const QHash<int, QByteArray> names = m_history.roleNames();
    for (auto it = names.cbegin(); it != names.cend(); ++it)
        roles.insert(QString::fromLatin1(it.value()), m_history.data(index, it.key()));
    roles.insert(QStringLiteral("index"), row);
    return roles;
}

} // namespace tessary::test

#include "cardfixture.moc"
