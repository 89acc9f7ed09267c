#include "propertyanswer.h"

#include <algorithm>
#include <cstring>

namespace tessary::x11 {

QList<xcb_atom_t> atomsOf(QByteArrayView answer)
{
    QList<xcb_atom_t> atoms(answer.size() / qsizetype(sizeof(xcb_atom_t)));
    if (!atoms.isEmpty()) // an empty list has no storage to copy into
        std::memcpy(atoms.data(), answer.data(), atoms.size() * sizeof(xcb_atom_t));
    return atoms;
}

PropertyAnswer::PropertyAnswer(Mode mode, quint64 size, qint64 maxBytes)
    : m_mode(mode), m_size(size), m_maxBytes(maxBytes), m_fits(size <= quint64(maxBytes)),
      m_complete(m_fits && mode == Mode::Whole && size == 0)
{
    if (m_fits)
        m_data.reserve(qsizetype(size));
}

quint32 PropertyAnswer::offsetUnits() const
{
    return m_mode == Mode::Whole ? quint32(m_data.size() / 4) : 0;
}

quint32 PropertyAnswer::lengthUnits() const
{
    if (m_mode == Mode::Whole)
        return kPieceUnits;
    // One unit more than the cap leaves room for: a piece that does not fit is never fetched
    // whole (and, with bytes left after it, not deleted either).
    return quint32(std::max<qint64>(0, m_maxBytes - m_data.size()) / 4) + 1;
}

PropertyAnswer::Step PropertyAnswer::add(QByteArrayView value, quint32 bytesAfter)
{
    if (m_complete || !m_fits)
        return Step::Abandoned;
    if (m_mode == Mode::Whole) {
        // A property that changes while it is read (an owner that keeps appending, or replaces
        // it) is no answer, and could grow without end.
        // Pieces are read at offsets in four-byte units: one that is followed by more but is not
        // a whole number of units comes from no server, and would be read again in part.
        if (value.isEmpty() || quint64(m_data.size()) + value.size() + bytesAfter != m_size ||
            (bytesAfter > 0 && value.size() % 4 != 0))
            return Step::Abandoned;
        m_data.append(value);
        m_complete = quint64(m_data.size()) == m_size;
        return m_complete ? Step::Complete : Step::More;
    }
    if (value.isEmpty() && bytesAfter == 0) {
        m_complete = true;
        return Step::Complete;
    }
    if (bytesAfter > 0 || m_data.size() + value.size() > m_maxBytes)
        return Step::Abandoned;
    // Owners need not announce the size (xclip does not). Growing by hand lets realloc move the
    // pages instead of copying them, which QByteArray's own growth does not.
    if (m_data.size() + value.size() > m_data.capacity())
        m_data.reserve(std::max(m_data.capacity() * 2, m_data.size() + value.size()));
    m_data.append(value);
    return Step::More;
}

} // namespace tessary::x11
