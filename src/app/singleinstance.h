#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

namespace tessary {

// One running instance per user session. The first process claims the application id as a
// session D-Bus name (exporting org.freedesktop.Application); without a session bus it
// listens on a local socket in the private runtime directory instead. A later process finds
// the first one, asks it to activate and is told to end.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Role {
        Primary,   // this process runs the application
        Secondary, // another instance runs and has been asked to activate
        Alone,     // neither a bus name nor a socket could be had; run unguarded
    };

    // `socketDirectory` empty: the private runtime directory.
    explicit SingleInstance(QString applicationId, QString socketDirectory = {},
                            QObject *parent = nullptr);
    ~SingleInstance() override;

    Role claim();
    // How the claim was made or found: "dbus", "socket" or "".
    QString channel() const { return m_channel; }

signals:
    // Another launch asked this instance to show itself. Over the session bus it hands on the
    // token it was launched with (an XDG activation token, or an X11 startup notification id),
    // so that the window shown may take the focus; over the socket there is none.
    void activationRequested(const QString &activationToken);

private:
    Role claimBusName();
    Role claimSocket();
    void acceptClients();
    void dropClient(QLocalSocket *client);

    QString m_id;
    QString m_socketDirectory;
    QString m_channel;
    QLocalServer *m_server = nullptr;
    QList<QLocalSocket *> m_clients; // oldest first
    bool m_ownsBusName = false;
};

} // namespace tessary
