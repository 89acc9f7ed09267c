#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QMutex>
#include <QObject>
#include <QStringList>

namespace tessary::test {

// Enough of a desktop panel's StatusNotifierWatcher for Qt to show its tray icon as a
// StatusNotifierItem: it records who registers, and says a host is there to show them. It may
// live on a thread of its own, to answer an item that registers from the test's thread.
class FakeStatusNotifierWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)

public:
    bool isHostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    // Each registered item as "service/path".
    QStringList items() const
    {
        const QMutexLocker lock(&m_mutex);
        return m_items;
    }
    // Takes the watcher's name and path on `bus`.
    bool registerOn(QDBusConnection bus)
    {
        return bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), this,
                                  QDBusConnection::ExportAllSlots |
                                      QDBusConnection::ExportAllProperties) &&
               bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"));
    }

public slots:
    void RegisterStatusNotifierItem(const QString &item, const QDBusMessage &message)
    {
        const QMutexLocker lock(&m_mutex);
        // Items name their bus service, or only their object path on the caller's connection.
        m_items << (item.startsWith(u'/') ? message.service() + item
                                          : item + QStringLiteral("/StatusNotifierItem"));
    }
    void RegisterStatusNotifierHost(const QString &) {}

private:
    mutable QMutex m_mutex;
    QStringList m_items;
};

} // namespace tessary::test
