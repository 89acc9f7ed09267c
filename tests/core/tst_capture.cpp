#include "core/capture.h"
#include "platform/memory/memorypasteboard.h"

#include <QTest>

using tessary::MemoryPasteboard;
using tessary::Payload;

Q_DECLARE_METATYPE(MemoryPasteboard::Content)
Q_DECLARE_METATYPE(std::optional<Payload>)

namespace {
const QUrl fileA = QUrl::fromLocalFile("/home/u/a.txt");
const QUrl fileB = QUrl::fromLocalFile("/home/u/b.png");
const QUrl web("https://example.org/page");
const QByteArray tiff("II*\0tiffdata", 12);
const QByteArray png("\x89PNG\r\n\x1a\npngdata", 15);

std::optional<Payload> captureNow(MemoryPasteboard &pasteboard)
{
    auto future = pasteboard.capture();
    return future.result();
}
} // namespace

class CapturePriority : public QObject {
    Q_OBJECT
private slots:
    void capture_data();
    void capture();
    void readsStopAtTheFirstRepresentationThatYields();
};

void CapturePriority::capture_data()
{
    QTest::addColumn<MemoryPasteboard::Content>("content");
    QTest::addColumn<std::optional<Payload>>("expected");

    QTest::newRow("files with their names and icon")
        << MemoryPasteboard::Content{{{fileA, fileB}}, tiff, {}, "a.txt\nb.png"}
        << std::optional(Payload::files({fileA, fileB}));
    QTest::newRow("file plus web link falls through to the image")
        << MemoryPasteboard::Content{{{fileA, web}}, tiff, {}, "a"}
        << std::optional(Payload::image(tiff));
    QTest::newRow("file plus web link without image gives text")
        << MemoryPasteboard::Content{{{fileA, web}}, {}, {}, "a"}
        << std::optional(Payload::text("a"));
    QTest::newRow("web link alone gives its text")
        << MemoryPasteboard::Content{{{web}}, {}, {}, web.toString()}
        << std::optional(Payload::text(web.toString()));
    QTest::newRow("empty URL list is no files")
        << MemoryPasteboard::Content{QList<QUrl>{}, {}, {}, "x"}
        << std::optional(Payload::text("x"));
    QTest::newRow("TIFF wins over PNG")
        << MemoryPasteboard::Content{{}, tiff, png, {}} << std::optional(Payload::image(tiff));
    QTest::newRow("PNG alone") << MemoryPasteboard::Content{{}, {}, png, "caption"}
                               << std::optional(Payload::image(png));
    QTest::newRow("zero-byte image is unreadable")
        << MemoryPasteboard::Content{{}, QByteArray(), {}, "t"}
        << std::optional(Payload::text("t"));
    QTest::newRow("text kept untrimmed") << MemoryPasteboard::Content{{}, {}, {}, "  abc\n"}
                                         << std::optional(Payload::text("  abc\n"));
    QTest::newRow("blanks, tabs and line breaks are nothing")
        << MemoryPasteboard::Content{{}, {}, {}, " \t\n\r\n"} << std::optional<Payload>();
    QTest::newRow("Unicode separators are nothing")
        << MemoryPasteboard::Content{{},
                                     {},
                                     {},
                                     QString::fromUtf16(u"\u00a0\u2028\u2029\u3000\u0085")}
        << std::optional<Payload>();
    QTest::newRow("nothing on offer") << MemoryPasteboard::Content{} << std::optional<Payload>();
}

void CapturePriority::capture()
{
    QFETCH(MemoryPasteboard::Content, content);
    QFETCH(std::optional<Payload>, expected);
    MemoryPasteboard pasteboard;
    pasteboard.setContent(content);
    QCOMPARE(captureNow(pasteboard), expected);
}

void CapturePriority::readsStopAtTheFirstRepresentationThatYields()
{
    MemoryPasteboard pasteboard;
    pasteboard.setContent({{{web}}, {}, png, "t"});
    pasteboard.clearCalls();
    captureNow(pasteboard);
    QCOMPARE(pasteboard.calls(), (QStringList{"urls", "tiff", "png"}));
}

QTEST_GUILESS_MAIN(CapturePriority)
#include "tst_capture.moc"
