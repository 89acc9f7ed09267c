#pragma once

// What the X11 and Wayland clipboard tests copy and count, shared so that both backends are
// held to the same data.

#include "core/services.h"

#include <QByteArray>
#include <QMetaType>
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

class CountingSound : public SoundPlayer {
public:
    void playCopyConfirmation() override { ++confirmations; }
    void playErrorBeep() override {}
    int confirmations = 0;
};

} // namespace tessary::testing

using MaybePayload = std::optional<tessary::Payload>;
Q_DECLARE_METATYPE(MaybePayload)
