#pragma once

// What the X11 and Wayland clipboard tests hold both backends to: the data they copy and
// capture, and what the monitor does with other programs on the clipboard.

#include "clipboardpeer.h"
#include "core/monitor.h"
#include "support/countingsound.h"

#include <QByteArray>
#include <QMap>
#include <QMetaType>
#include <QTest>
#include <functional>
#include <optional>

using MaybePayload = std::optional<tessary::Payload>;
Q_DECLARE_METATYPE(MaybePayload)

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

// Every capture read to its end.
inline MaybePayload captureNow(Pasteboard &pasteboard)
{
    QFuture<MaybePayload> captured = pasteboard.capture();
    if (!QTest::qWaitFor([&] { return captured.isFinished(); }, 10000))
        return Payload::text("capture never finished");
    return captured.result();
}

// The rows of a capture test, columns "offers", "expected" and "requests": first what CLIENT
// copies under the one type it is given (no requests), then owners offering several types, with
// the types they are asked for in order (TARGETS first where the protocol has it asked). The
// client's rows come first: a scripted owner's exit at the end of a row could move the count
// after the client has the clipboard.
template <typename Offer>
void addCaptureRows(const char *client, const QByteArray &textType, bool targetsRequested)
{
    using Offers = QList<Offer>;
    QTest::addColumn<Offers>("offers");
    QTest::addColumn<MaybePayload>("expected");
    QTest::addColumn<QStringList>("requests");
    const auto asked = [&](const QStringList &types) {
        return (targetsRequested ? QStringList{"TARGETS"} : QStringList()) + types;
    };

    QTest::addRow("%s text, untrimmed", client)
        << Offers{{textType, "  two words\n"}} << MaybePayload(Payload::text("  two words\n"))
        << QStringList();
    QTest::addRow("%s TIFF", client)
        << Offers{{"image/tiff", tiff}} << MaybePayload(Payload::image(tiff)) << QStringList();
    QTest::addRow("%s files", client)
        << Offers{{"text/uri-list", "file:///tmp/x\r\nfile:///tmp/y\r\n"}}
        << MaybePayload(Payload::files({QUrl("file:///tmp/x"), QUrl("file:///tmp/y")}))
        << QStringList();
    const QByteArray big = pngOfSize(30 << 20);
    QTest::addRow("%s 30 MB PNG", client)
        << Offers{{"image/png", big}} << MaybePayload(Payload::image(big)) << QStringList();

    const QByteArray uris = QByteArray("# a\r\nfile:///tmp/a\nfile:///tmp/b%20c\r\n") + '\0';
    QTest::newRow("files over image over text; comments, CRLF, escapes, NUL")
        << Offers{{"image/png", png}, {"text/uri-list", uris}, {"UTF8_STRING", "a"}}
        << MaybePayload(Payload::files({QUrl("file:///tmp/a"), QUrl("file:///tmp/b c")}))
        << asked({"text/uri-list"});
    QTest::newRow("a file manager offering only its own list")
        << Offers{{"x-special/gnome-copied-files", "copy\nfile:///tmp/a"}}
        << MaybePayload(Payload::files({QUrl("file:///tmp/a")}))
        << asked({"x-special/gnome-copied-files"});
    QTest::newRow("a file and a web link: no files; TIFF over PNG")
        << Offers{{"text/uri-list", "file:///tmp/a\r\nhttps://example.org/\r\n"},
                  {"image/png", png},
                  {"image/tiff", tiff}}
        << MaybePayload(Payload::image(tiff)) << asked({"text/uri-list", "image/tiff"});
    QTest::newRow("PNG over text") << Offers{{"UTF8_STRING", "alt"}, {"image/png", png}}
                                   << MaybePayload(Payload::image(png)) << asked({"image/png"});
    QTest::newRow("explicit UTF-8 type first; invalid UTF-8 replaced")
        << Offers{{"UTF8_STRING", "u"}, {"text/plain;charset=utf-8", " \xff\n"}}
        << MaybePayload(Payload::text(QString(" ") + QChar::ReplacementCharacter + "\n"))
        << asked({"text/plain;charset=utf-8"});
    QTest::newRow("STRING read as Latin-1")
        << Offers{{"STRING", "caf\xe9"}} << MaybePayload(Payload::text("café"))
        << asked({"STRING"});
    QTest::newRow("a password manager's secret: nothing")
        << Offers{{"UTF8_STRING", "pw"}, {"x-kde-passwordManagerHint", "secret"}} << MaybePayload()
        << asked({"x-kde-passwordManagerHint"});
}

// What the monitor does with other programs on the clipboard, on any backend's pasteboard.
namespace contract {

// Our own copy back is neither captured again nor moved to the top; another program copying
// afterwards is captured as usual.
template <typename Backend>
void copyBackIsNotCapturedAgain(Backend &pasteboard, ClipboardPeer &peer)
{
    CountingSound sound;
    ClipboardMonitor monitor(pasteboard, sound);
    monitor.startMonitoring();
    for (const char *text : {"first", "second", "third"}) {
        const int rows = monitor.history()->rowCount();
        QVERIFY(peer.copy(text));
        QTRY_COMPARE_WITH_TIMEOUT(monitor.history()->rowCount(), rows + 1, 5000);
    }
    const QUuid newest = monitor.history()->entries().first().id;
    monitor.copyRow(1);
    QCOMPARE(sound.confirmations, 1);
    QTRY_COMPARE_WITH_TIMEOUT(peer.paste(), std::optional<QByteArray>("second"), 5000);
    QTest::qWait(1200); // several ticks: our own ownership change has arrived by now
    QCOMPARE(monitor.lastChangeCount(), pasteboard.changeCount());
    QCOMPARE(monitor.history()->rowCount(), 3);
    QCOMPARE(monitor.history()->entries().first().id, newest);

    QVERIFY(peer.copy("second"));
    QTRY_VERIFY_WITH_TIMEOUT(monitor.history()->entries().first().id != newest, 5000);
    QCOMPARE(monitor.history()->entries().first().payload, Payload::text("second"));
}

// Once an editor quits, its copy is on offer again: silently, and without a new entry.
// AFTERWARDS goes on with the same monitor.
template <typename Backend>
void clipboardOutlivesItsOwner(Backend &pasteboard, ClipboardPeer &peer,
                               const std::function<void(ClipboardMonitor &)> &afterwards = {})
{
    CountingSound sound;
    ClipboardMonitor monitor(pasteboard, sound);
    monitor.startMonitoring();
    QVERIFY(peer.startEditor("unsaved paragraph"));
    QTRY_COMPARE_WITH_TIMEOUT(monitor.history()->rowCount(), 1, 5000);
    const QUuid id = monitor.history()->entries().first().id;

    peer.quitEditor();
    QTRY_VERIFY_WITH_TIMEOUT(pasteboard.ownsClipboard(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(peer.paste(), std::optional<QByteArray>("unsaved paragraph"), 5000);
    QTest::qWait(600);
    QCOMPARE(monitor.history()->rowCount(), 1);
    QCOMPARE(monitor.history()->entries().first().id, id);
    QCOMPARE(sound.confirmations, 0);
    if (afterwards)
        afterwards(monitor);
}

// An owner quitting and another program copying at once: the newer copy stays on the clipboard
// and reaches the history; the older entry is not put back over it.
template <typename Backend>
void aCopyRightAfterItsOwnerQuitIsNotCoveredByTheRestore(Backend &pasteboard, ClipboardPeer &peer)
{
    CountingSound sound;
    ClipboardMonitor monitor(pasteboard, sound);
    monitor.startMonitoring();
    QVERIFY(peer.startEditor("older"));
    QTRY_COMPARE_WITH_TIMEOUT(monitor.history()->rowCount(), 1, 5000);

    QVERIFY(peer.quitEditorAndCopy("newer"));
    QTRY_COMPARE_WITH_TIMEOUT(monitor.history()->rowCount(), 2, 5000);
    QCOMPARE(monitor.history()->entries().first().payload, Payload::text("newer"));
    QTest::qWait(600);
    QVERIFY(!pasteboard.ownsClipboard());
    QCOMPARE(peer.paste(), std::optional<QByteArray>("newer"));
}

} // namespace contract

} // namespace tessary::testing
