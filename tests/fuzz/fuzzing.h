#pragma once

// What every fuzz target shares: the input as Qt views, and a failed expectation as a crash that
// libFuzzer reports with the input that caused it.

#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace tessary::fuzzing {

inline QByteArrayView bytesOf(const uint8_t *data, size_t size)
{
    return {reinterpret_cast<const char *>(data), qsizetype(size)};
}

// Any UTF-16 code units, unpaired surrogates included.
inline QString utf16Of(QByteArrayView bytes)
{
    return QString(reinterpret_cast<const QChar *>(bytes.data()), bytes.size() / 2);
}

inline void expect(bool holds, const char *what)
{
    if (!holds) {
        std::fprintf(stderr, "expectation failed: %s\n", what);
        std::abort();
    }
}

} // namespace tessary::fuzzing

#define FUZZ_EXPECT(condition) tessary::fuzzing::expect((condition), #condition)
