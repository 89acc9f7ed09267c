#pragma once

// How the answer an owner leaves in a property is put together from the GetProperty replies it
// is fetched with, apart from the connection, so that whatever an owner sends can be checked
// without a server. Owners are other processes: an answer may grow, shrink or never end while
// it is read, and nothing it says is trusted beyond the limits given.

#include <QByteArray>
#include <QList>
#include <xcb/xproto.h>

namespace tessary::x11 {

// The atoms of a TARGETS answer; a partial atom at its end is no atom.
QList<xcb_atom_t> atomsOf(QByteArrayView answer);

// One answer read piece by piece. Whole: the first reply announced the property's size, and the
// property must keep exactly that size while it is read at growing offsets. Incremental (ICCCM
// INCR): each piece is a new value of the property, read and deleted in one go, and an empty one
// ends the answer.
class PropertyAnswer {
public:
    enum class Mode { Whole, Incremental };
    enum class Step { More, Complete, Abandoned };

    // `size` is the announced size (Whole) or the owner's hint (Incremental). An answer over
    // `maxBytes` is abandoned before it is fetched whole.
    PropertyAnswer(Mode mode, quint64 size, qint64 maxBytes);

    // False when the announced size is already over the cap: nothing is to be fetched.
    bool fits() const { return m_fits; }
    // Where the next GetProperty reads, and how much, in four-byte units.
    quint32 offsetUnits() const;
    quint32 lengthUnits() const;
    // Takes one reply: the value it carried and the bytes the property held beyond it.
    Step add(QByteArrayView value, quint32 bytesAfter);
    // Complete when nothing more is needed, before any reply (an empty Whole answer).
    bool isComplete() const { return m_complete; }
    QByteArray take() { return std::move(m_data); }

    // Large properties come in pieces so that the reply buffer and the result never both hold
    // the whole payload.
    static constexpr quint32 kPieceUnits = 1u << 20;

private:
    Mode m_mode;
    quint64 m_size;
    qint64 m_maxBytes;
    QByteArray m_data;
    bool m_fits;
    bool m_complete;
};

} // namespace tessary::x11
