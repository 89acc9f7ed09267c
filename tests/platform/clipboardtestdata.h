#pragma once

// What the X11 and Wayland clipboard tests copy and count, shared so that both backends are
// held to the same data.

#include "core/services.h"

#include <QByteArray>
#include <QMap>
#include <QMetaType>
#include <QTest>
#include <optional>

namespace tessary::testing {

inline const QByteArray png = QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(300, 'p');
inline const QByteArray tiff = QByteArray("II*\0", 4) + QByteArray(300, 't');

// A pattern, so that pieces put together in the wrong order show.
inline QByteArray pngOfSize(qsizetype size)
{
    QByteArray bytes = png.left(8);
    bytes.reserve(size);
    for (qsizetype i = bytes.size(); i < size; ++i)
        bytes.append(char((i * 131) >> 3));
    return bytes;
}

using Served = QMap<QByteArray, QByteArray>; // type name -> the exact bytes a reader gets

// The rows of a copy-back test, columns "payload" and "served": what each kind of payload must be
// offered as, on any backend. The last row is a PNG of the size given.
inline void addCopyBackRows(qsizetype largePngSize)
{
    QTest::addColumn<Payload>("payload");
    QTest::addColumn<Served>("served");

    const auto asText = [](const QString &text) {
        Served served{{"STRING", text.toLatin1()}};
        for (const char *name : {"UTF8_STRING", "text/plain;charset=utf-8", "text/plain", "TEXT"})
            served.insert(name, text.toUtf8());
        return served;
    };
    const QString text = QStringLiteral("  two\nlines café \n");
    QTest::newRow("text, untrimmed, under the UTF-8 names and Latin-1 STRING")
        << Payload::text(text) << asText(text);
    // Files paste into text fields as their paths, one a line, as file managers offer them.
    const QList<QUrl> urls{QUrl::fromLocalFile("/tmp/c d.txt"), QUrl::fromLocalFile("/tmp/a"),
                           QUrl::fromLocalFile("/tmp/b")};
    Served asFiles = asText(QStringLiteral("/tmp/c d.txt\n/tmp/a\n/tmp/b"));
    asFiles.insert("text/uri-list", "file:///tmp/c%20d.txt\r\nfile:///tmp/a\r\nfile:///tmp/b\r\n");
    asFiles.insert("x-special/gnome-copied-files",
                   "copy\nfile:///tmp/c%20d.txt\nfile:///tmp/a\nfile:///tmp/b");
    QTest::newRow("three files, in order, and their paths as text")
        << Payload::files(urls) << asFiles;
    QTest::newRow("PNG stays PNG") << Payload::image(png) << Served{{"image/png", png}};
    QTest::newRow("TIFF stays TIFF") << Payload::image(tiff) << Served{{"image/tiff", tiff}};
    // Bytes of no known signature keep the type they came as; calling them TIFF would be a guess.
    const QByteArray jpeg = QByteArray("\xff\xd8\xff\xe0\0\x10JFIF", 10) + QByteArray(300, 'j');
    QTest::newRow("unknown bytes stay as they came")
        << Payload::image(jpeg, ImageFormat::Png) << Served{{"image/png", jpeg}};
    const QByteArray big = pngOfSize(largePngSize);
    QTest::addRow("a %lld MiB PNG", qlonglong(largePngSize >> 20))
        << Payload::image(big) << Served{{"image/png", big}};
}

class CountingSound : public SoundPlayer {
public:
    void playCopyConfirmation() override { ++confirmations; }
    void playErrorBeep() override {}
    int confirmations = 0;
};

} // namespace tessary::testing

using MaybePayload = std::optional<tessary::Payload>;
Q_DECLARE_METATYPE(MaybePayload)
