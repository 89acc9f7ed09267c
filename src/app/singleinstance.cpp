#include "singleinstance.h"

#include "activationrequest.h"
#include "core/privatedir.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QTimer>
#include <QVariantMap>

Q_LOGGING_CATEGORY(lcInstance, "tessary.instance", QtInfoMsg)

namespace tessary {
namespace {

constexpr int kSocketTimeoutMs = 1000;
// Clients of the socket held at once, and how long each may take to say what it wants.
constexpr qsizetype kMaxClients = 8;
constexpr int kClientTimeoutMs = 2000;

QString objectPath(const QString &id)
{
    return u'/' + QString(id).replace(u'.', u'/');
}

// The org.freedesktop.Application interface (the freedesktop Desktop Entry specification's
// D-Bus activation); Activate is the one method a launch needs.
class ApplicationAdaptor : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    explicit ApplicationAdaptor(SingleInstance *instance) : QObject(instance), m_instance(instance)
    {}

public slots:
    void Activate(const QVariantMap &platformData)
    {
        QString token = platformData.value(QStringLiteral("activation-token")).toString();
        if (token.isEmpty())
            token = platformData.value(QStringLiteral("desktop-startup-id")).toString();
        emit m_instance->activationRequested(token);
    }
    void Open(const QStringList &uris, const QVariantMap &platformData)
    {
        Q_UNUSED(uris)
        Activate(platformData);
    }
    void ActivateAction(const QString &name, const QVariantList &parameter,
                        const QVariantMap &platformData)
    {
        Q_UNUSED(name)
        Q_UNUSED(parameter)
        Activate(platformData);
    }

private:
    SingleInstance *m_instance;
};

} // namespace

SingleInstance::SingleInstance(QString applicationId, QString socketDirectory, QObject *parent)
    : QObject(parent), m_id(std::move(applicationId)), m_socketDirectory(std::move(socketDirectory))
{}

SingleInstance::~SingleInstance()
{
    if (m_ownsBusName) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterObject(objectPath(m_id));
        bus.unregisterService(m_id);
    }
}

SingleInstance::Role SingleInstance::claim()
{
    if (QDBusConnection::sessionBus().isConnected())
        return claimBusName();
    return claimSocket();
}

SingleInstance::Role SingleInstance::claimBusName()
{
    m_channel = QStringLiteral("dbus");
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString path = objectPath(m_id);
    bus.registerObject(path, new ApplicationAdaptor(this), QDBusConnection::ExportAllSlots);
    if (bus.registerService(m_id)) {
        m_ownsBusName = true;
        return Role::Primary;
    }
    bus.unregisterObject(path);

    // The token this launch was given goes to the running instance, so that its window may
    // take the focus: an XDG activation token on Wayland, a startup notification id on X11.
    QVariantMap platformData;
    if (const QString token = qEnvironmentVariable("XDG_ACTIVATION_TOKEN"); !token.isEmpty())
        platformData.insert(QStringLiteral("activation-token"), token);
    if (const QString id = qEnvironmentVariable("DESKTOP_STARTUP_ID"); !id.isEmpty())
        platformData.insert(QStringLiteral("desktop-startup-id"), id);
    QDBusMessage call = QDBusMessage::createMethodCall(
        m_id, path, QStringLiteral("org.freedesktop.Application"), QStringLiteral("Activate"));
    call << platformData;
    const QDBusMessage reply = bus.call(call, QDBus::Block, kSocketTimeoutMs * 5);
    if (reply.type() == QDBusMessage::ErrorMessage)
        qCWarning(lcInstance) << "the running instance did not answer:" << reply.errorMessage();
    return Role::Secondary;
}

SingleInstance::Role SingleInstance::claimSocket()
{
    m_channel = QStringLiteral("socket");
    QString directory = m_socketDirectory;
    if (directory.isEmpty())
        directory = privateRuntimeDirectory().value_or(QString());
    if (directory.isEmpty()) {
        m_channel.clear();
        return Role::Alone;
    }
    const QString name = QDir(directory).filePath(m_id + QStringLiteral(".socket"));

    QLocalSocket socket;
    socket.connectToServer(name);
    if (socket.waitForConnected(kSocketTimeoutMs)) {
        socket.write(ActivationRequestReader::kRequest.data(),
                     ActivationRequestReader::kRequest.size());
        socket.waitForBytesWritten(kSocketTimeoutMs);
        socket.disconnectFromServer();
        return Role::Secondary;
    }

    // Nobody answers: whatever socket file is there was left by an instance that died.
    QLocalServer::removeServer(name);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(name)) {
        qCWarning(lcInstance) << "cannot listen on" << name << m_server->errorString();
        m_channel.clear();
        return Role::Alone;
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptClients);
    return Role::Primary;
}

void SingleInstance::acceptClients()
{
    while (QLocalSocket *client = m_server->nextPendingConnection()) {
        // Any process of the user may connect and stay connected. Each client holds a
        // descriptor, and a failed accept would make the server close and remove its name, so
        // only a few are held: the oldest makes way for a newcomer, and none stays for long.
        if (m_clients.size() == kMaxClients)
            dropClient(m_clients.constFirst());
        m_clients.append(client);
        auto request = std::make_shared<ActivationRequestReader>();
        connect(client, &QLocalSocket::disconnected, this, [this, client] { dropClient(client); });
        QTimer::singleShot(kClientTimeoutMs, client, [this, client] { dropClient(client); });
        connect(client, &QLocalSocket::readyRead, this, [this, client, request] {
            switch (request->feed(client->read(ActivationRequestReader::kMaxLineBytes + 1))) {
            case ActivationRequestReader::Verdict::NeedMore:
                return;
            case ActivationRequestReader::Verdict::Activate:
                dropClient(client);
                emit activationRequested({}); // no token travels over the socket
                return;
            case ActivationRequestReader::Verdict::Refused:
                dropClient(client);
                return;
            }
        });
    }
}

void SingleInstance::dropClient(QLocalSocket *client)
{
    if (!m_clients.removeOne(client))
        return;
    client->disconnect(this);
    client->abort();
    client->deleteLater();
}

} // namespace tessary

#include "singleinstance.moc"
