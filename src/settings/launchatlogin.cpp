#include "launchatlogin.h"

#include <QByteArray>
#include <QPointer>
#include <syslog.h>

Q_LOGGING_CATEGORY(lcLaunchAtLogin, "tessary.launchatlogin", QtInfoMsg)

namespace tessary {

namespace {

// A description may quote text from elsewhere (a D-Bus error, a file name); it must stay one line.
QString oneLine(QString text)
{
    for (QChar &c : text) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    }
    return text;
}

} // namespace

void writeToSystemLog(const QString &line)
{
    const QByteArray bytes = line.toUtf8();
    // The line is data, never a format.
    syslog(LOG_USER | LOG_ERR, "%s", bytes.constData());
    qCWarning(lcLaunchAtLogin).noquote() << line;
}

LaunchAtLogin::LaunchAtLogin(std::shared_ptr<LoginItem> item, LaunchAtLoginLog log, QObject *parent)
    : QObject(parent), m_item(std::move(item)), m_log(std::move(log))
{}

LaunchAtLogin::~LaunchAtLogin() = default;

void LaunchAtLogin::refresh()
{
    if (m_busy)
        return;
    assign(m_item->status() == LoginItemStatus::Enabled);
}

void LaunchAtLogin::setEnabled(bool wanted)
{
    // A portal request can spin a local event loop; a second flip meanwhile is dropped.
    if (m_busy || wanted == m_enabled)
        return;
    setBusy(true);
    // The screen, and this model with it, may be destroyed while a request waits.
    const QPointer<LaunchAtLogin> self(this);
    const std::shared_ptr<LoginItem> item = m_item;
    const LaunchAtLoginLog log = m_log;

    const LoginItemResult result = wanted ? item->enable() : item->disable();
    if (!result.ok())
        log(QString::fromLatin1(kLogPrefix) + oneLine(result.error()));
    if (!self)
        return;
    setBusy(false);
    if (result.ok())
        assign(wanted);
}

void LaunchAtLogin::setBusy(bool busy)
{
    m_busy = busy;
    emit busyChanged();
}

void LaunchAtLogin::assign(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    emit enabledChanged();
}

} // namespace tessary
