// What an X11 owner leaves in a property, reply by reply: a TARGETS answer, and answers read whole
// or incrementally. The input is a mode byte, an announced size, then replies, each a two-byte
// length, the bytes the property still holds after it, and the value.

#include "fuzzing.h"
#include "platform/x11/propertyanswer.h"

#include <QtEndian>

using namespace tessary;
using x11::PropertyAnswer;

namespace {

constexpr qint64 kMaxBytes = 4096;

quint64 take(QByteArrayView &input, int width)
{
    quint64 value = 0;
    for (int i = 0; i < width && !input.isEmpty(); ++i) {
        value = value << 8 | quint8(input.front());
        input = input.sliced(1);
    }
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArrayView input = fuzzing::bytesOf(data, size);
    FUZZ_EXPECT(x11::atomsOf(input).size() == input.size() / 4);

    const auto mode =
        take(input, 1) % 2 ? PropertyAnswer::Mode::Incremental : PropertyAnswer::Mode::Whole;
    const quint64 announced = take(input, 4);
    PropertyAnswer answer(mode, announced, kMaxBytes);
    FUZZ_EXPECT(answer.fits() == (announced <= quint64(kMaxBytes)));
    QByteArray sent;
    PropertyAnswer::Step step =
        answer.isComplete() ? PropertyAnswer::Step::Complete : PropertyAnswer::Step::More;
    while (step == PropertyAnswer::Step::More && !input.isEmpty()) {
        const quint64 length = take(input, 2);
        const auto after = quint32(take(input, 4));
        const QByteArrayView value =
            input.first(std::min<qsizetype>(qsizetype(length), input.size()));
        input = input.sliced(value.size());
        // A server never hands out more than was asked for.
        if (quint64(value.size()) > quint64(answer.lengthUnits()) * 4)
            break;
        if (mode == PropertyAnswer::Mode::Whole)
            FUZZ_EXPECT(answer.offsetUnits() * 4ull == quint64(sent.size()));
        sent.append(value);
        step = answer.add(value, after);
    }
    FUZZ_EXPECT(answer.fits() || step != PropertyAnswer::Step::Complete);
    if (step == PropertyAnswer::Step::Complete) {
        const QByteArray result = answer.take();
        FUZZ_EXPECT(result == sent);
        FUZZ_EXPECT(result.size() <= kMaxBytes);
        if (mode == PropertyAnswer::Mode::Whole)
            FUZZ_EXPECT(quint64(result.size()) == announced);
    }
    return 0;
}
