// What any process of the user may write to the running instance's socket, in any pieces. The
// input's first byte says where it is split in two.

#include "app/activationrequest.h"
#include "fuzzing.h"

using namespace tessary;
using Verdict = ActivationRequestReader::Verdict;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArrayView bytes = fuzzing::bytesOf(data + 1, size - 1);
    const qsizetype split = std::min<qsizetype>(data[0], bytes.size());

    ActivationRequestReader whole, pieces;
    const Verdict once = whole.feed(bytes);
    Verdict first = pieces.feed(bytes.first(split));
    const Verdict inTwo = first == Verdict::NeedMore ? pieces.feed(bytes.sliced(split)) : first;
    // How the bytes arrive changes nothing.
    FUZZ_EXPECT(once == inTwo);
    FUZZ_EXPECT(once != Verdict::Activate || bytes.startsWith(ActivationRequestReader::kRequest));
    FUZZ_EXPECT(whole.feed("activate\n") != Verdict::Activate || once == Verdict::NeedMore);
    return 0;
}
