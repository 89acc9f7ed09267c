#include "panelfixture.h"

#include "app/appqml.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QQmlContext>
#include <QQmlEngine>
#include <QUrl>

namespace tessary::test {

PanelFixture::PanelFixture() : m_monitor(m_pasteboard, m_sound) {}

void PanelFixture::install(QQmlEngine &engine)
{
    registerPanelQmlTypes(engine, history());
    engine.rootContext()->setContextProperty(QStringLiteral("fixture"), this);
}

QString PanelFixture::add(Payload payload)
{
    Entry entry = Entry::create(std::move(payload));
    const QString id = entry.id.toString(QUuid::WithoutBraces);
    history().prepend(std::move(entry));
    return id;
}

QString PanelFixture::addText(const QString &text)
{
    return add(Payload::text(text));
}

QString PanelFixture::addImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(70, 130, 200));
    QPainter painter(&image);
    painter.fillRect(QRect(0, 0, width / 2, height / 2), QColor(240, 180, 60));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return add(Payload::image(bytes));
}

QString PanelFixture::addFiles(const QStringList &paths)
{
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    return add(Payload::files(urls));
}

void PanelFixture::addTexts(int count)
{
    for (int i = 0; i < count; ++i)
        addText(QStringLiteral("Entry %1").arg(i + 1));
}

void PanelFixture::removeRow(int row)
{
    history().removeAt(row);
}

void PanelFixture::clear()
{
    history().truncate(0);
}

void PanelFixture::addMixed()
{
    addFiles({QStringLiteral("/etc/hostname"), QStringLiteral("/etc/hosts")});
    addText(QStringLiteral("git log --oneline --graph --decorate --all"));
    addImage(640, 400);
    addText(QStringLiteral("The quick brown fox jumps over the lazy dog. Pack my box with five "
                           "dozen liquor jugs. How vexingly quick daft zebras jump!"));
    addImage(1200, 800);
}

int PanelFixture::writes() const
{
    return static_cast<int>(m_pasteboard.calls().filter(QStringLiteral("write")).size());
}

} // namespace tessary::test
