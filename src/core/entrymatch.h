#pragma once

#include "entry.h"

#include <QStringList>
#include <functional>

namespace tessary {

// A filter typed over the history, prepared once and matched against every entry. Matching
// ignores case and follows the history's idea of equal text, canonical equivalence: "é" typed
// precomposed finds it decomposed. Diacritics are not folded: "e" does not find "é". Texts
// match on their text, files on their paths (names included), images only when the whole
// query is one of the words that name them in the user's language ("image").
class EntryQuery {
public:
    EntryQuery() = default;
    EntryQuery(const QString &typed, const QStringList &imageWords);

    bool isEmpty() const { return m_needle.isEmpty(); }

    // `cancelled` is asked now and then during a long text; a cancelled match is false.
    bool matches(const Payload &payload, const std::function<bool()> &cancelled = {}) const;

    // Whether matching the payload takes long enough (a long text) to be done off the GUI
    // thread. Anything else is matched at once.
    static bool isLong(const Payload &payload);

private:
    bool findIn(QStringView haystack, const std::function<bool()> &cancelled) const;

    QString m_needle; // canonical form
    bool m_namesImages = false;
};

} // namespace tessary
