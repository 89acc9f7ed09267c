#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

namespace tessary::testing {

// Another client owning CLIPBOARD with the targets given, answered in the way chosen.
class ForeignOwner {
public:
    enum class Behaviour {
        Answer,
        NeverAnswer,    // requests are read and ignored
        DieMidTransfer, // starts an incremental transfer, sends one piece and disconnects
    };
    struct Target {
        QByteArray name;
        QByteArray data;
    };

    ForeignOwner(QList<Target> targets, Behaviour behaviour = Behaviour::Answer,
                 int incrementSize = 64 * 1024);
    ~ForeignOwner();

    // Takes the clipboard; false when the X server cannot be reached.
    bool start();
    // The owner's process ends: its connection closes and the clipboard is left empty.
    void exit();
    // Targets asked for so far, in order.
    QStringList requests() const;

private:
    struct Connection;
    void serve();

    QList<Target> m_targets;
    Behaviour m_behaviour;
    int m_incrementSize;
    std::unique_ptr<Connection> m_connection;
    std::thread m_thread;
    int m_wakeFd = -1;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    QStringList m_requests;
};

} // namespace tessary::testing
