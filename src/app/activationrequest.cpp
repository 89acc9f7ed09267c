#include "activationrequest.h"

namespace tessary {

ActivationRequestReader::Verdict ActivationRequestReader::feed(QByteArrayView bytes)
{
    if (m_done)
        return Verdict::Refused;
    const qsizetype end = bytes.indexOf('\n');
    const QByteArrayView piece = end < 0 ? bytes : bytes.first(end + 1);
    if (m_line.size() + piece.size() > kMaxLineBytes) {
        m_done = true;
        return Verdict::Refused;
    }
    m_line.append(piece);
    if (end < 0)
        return Verdict::NeedMore;
    m_done = true;
    return m_line == kRequest ? Verdict::Activate : Verdict::Refused;
}

} // namespace tessary
