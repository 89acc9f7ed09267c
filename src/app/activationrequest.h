#pragma once

#include <QByteArray>

namespace tessary {

// What a later launch writes to the running instance's socket: the one line "activate". Any
// process of the user may connect and write anything, so the line is read as it arrives, held
// only up to a short length, and nothing else counts.
class ActivationRequestReader {
public:
    static constexpr QByteArrayView kRequest = "activate\n";
    // Longer than any request; a line that passes it is refused before it ends.
    static constexpr qsizetype kMaxLineBytes = 256;

    enum class Verdict { NeedMore, Activate, Refused };

    // Takes the next bytes received. Once it has said Activate or Refused, it refuses.
    Verdict feed(QByteArrayView bytes);

private:
    QByteArray m_line;
    bool m_done = false;
};

} // namespace tessary
