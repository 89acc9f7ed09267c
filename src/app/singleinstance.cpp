#include "singleinstance.h"

#include "core/privatedir.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QVariantMap>

Q_LOGGING_CATEGORY(lcInstance, "tessary.instance", QtInfoMsg)

namespace tessary {
namespace {

constexpr char kActivateRequest[] = "activate\n";
constexpr int kSocketTimeoutMs = 1000;

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
        socket.write(kActivateRequest);
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
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *client = m_server->nextPendingConnection()) {
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            connect(client, &QLocalSocket::readyRead, this, [this, client] {
                if (client->readAll().contains('\n'))
                    emit activationRequested({});
            });
        }
    });
    return Role::Primary;
}

} // namespace tessary

#include "singleinstance.moc"
