#include "launchatlogin.h"

#include <QByteArray>
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

LaunchAtLogin::LaunchAtLogin(std::unique_ptr<LoginItem> item, LaunchAtLoginLog log, QObject *parent)
    : QObject(parent), m_item(std::move(item)), m_log(std::move(log))
{
    connect(m_item.get(), &LoginItem::finished, this, &LaunchAtLogin::answered);
}

LaunchAtLogin::~LaunchAtLogin() = default;

void LaunchAtLogin::refresh()
{
    if (m_busy)
        return;
    assign(m_item->status() == LoginItemStatus::Enabled);
}

void LaunchAtLogin::request(bool wanted)
{
    if (m_busy || wanted == m_enabled)
        return;
    m_busy = true;
    m_wanted = wanted;
    emit busyChanged();
    emit checkedChanged();
    m_item->request(wanted);
}

void LaunchAtLogin::answered(const LoginItemResult &result)
{
    if (!m_busy)
        return;
    const bool wasChecked = isChecked();
    m_busy = false;
    if (result.ok()) {
        m_enabled = m_wanted;
        emit enabledChanged();
    } else if (m_log) {
        m_log(QString::fromLatin1(kLogPrefix) + oneLine(result.error()));
    }
    emit busyChanged();
    if (isChecked() != wasChecked)
        emit checkedChanged();
}

void LaunchAtLogin::assign(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    emit enabledChanged();
    emit checkedChanged();
}

} // namespace tessary
