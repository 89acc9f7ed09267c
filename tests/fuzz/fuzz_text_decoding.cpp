// Text as owners offer it, decoded as each type is (UTF-8 for UTF8_STRING and the text/plain
// types, Latin-1 for STRING) and made into a payload as a capture makes one, on either backend.

#include "core/capture.h"
#include "fuzzing.h"
#include "platform/formats/mimecontent.h"

using namespace tessary;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzing::bytesOf(data, size).toByteArray();
    for (const char *type : {"text/plain;charset=utf-8", "UTF8_STRING", "text/plain", "STRING"}) {
        MimeContentSource source({type}, [&bytes](const QByteArray &) { return bytes; });
        const std::optional<Payload> payload = capturePayload(source);
        if (!payload)
            continue;
        const QString text = payload->text();
        FUZZ_EXPECT(payload->kind() == Payload::Kind::Text && hasVisibleCharacter(text));
        FUZZ_EXPECT(!text.endsWith(QChar(0)));
        if (qstrcmp(type, "STRING") == 0)
            FUZZ_EXPECT(text.toLatin1() == bytes.first(text.size()));
        FUZZ_EXPECT(*payload == Payload::text(QString(text.constData(), text.size())));
        // Appending a base character (which no mark before it can reorder with) always differs.
        FUZZ_EXPECT(!(*payload == Payload::text(text + u'x')));
        const TextExtent extent = payload->textExtent();
        FUZZ_EXPECT(extent.clusters >= 1 && extent.clusters <= TextExtent::kCountedClusters);
        FUZZ_EXPECT(extent.pieces >= 1 && extent.pieces <= TextExtent::kCountedPieces);
        FUZZ_EXPECT(payload->memorySize() >= text.size() * qint64(sizeof(QChar)));
    }
    return 0;
}
