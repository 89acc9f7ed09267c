#pragma once

#include "core/historymodel.h"

#include <QAtomicInt>
#include <QObject>
#include <QQuickImageProvider>
#include <QVariantMap>

class QQmlEngine;

namespace tessary::test {

// A history with one entry of each interesting shape, for card views under test. The entries
// are named; `entry(name)` gives the roles the list would hand a card for it.
class CardFixture : public QObject {
    Q_OBJECT
    Q_PROPERTY(int probeRequests READ probeRequests NOTIFY probeRequestsChanged)
public:
    CardFixture();

    // Registers the card's types, this fixture's history and a "probe" image provider that
    // only counts the requests it gets, on the engine; exposes the fixture as `fixture`.
    void install(QQmlEngine &engine);

    Q_INVOKABLE QVariantMap entry(const QString &name) const;
    int probeRequests() const { return m_probeRequests.loadRelaxed(); }

    HistoryModel &history() { return m_history; }

signals:
    void probeRequestsChanged();

private:
    void add(const QString &name, tessary::Payload payload, qint64 ageSeconds = 180);

    HistoryModel m_history;
    QHash<QString, QUuid> m_ids;
    QAtomicInt m_probeRequests;
};

} // namespace tessary::test
