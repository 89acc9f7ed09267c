#include "clientprocess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>

namespace tessary::testing {

std::optional<QByteArray> runClient(const QString &program, const QStringList &arguments,
                                    const QByteArray &input, int timeoutMs,
                                    const QProcessEnvironment &environment)
{
    QProcess client;
    client.setProcessEnvironment(environment);
    client.start(program, arguments);
    client.write(input);
    client.closeWriteChannel();
    for (QDeadlineTimer deadline(timeoutMs); client.state() != QProcess::NotRunning;) {
        if (deadline.hasExpired())
            return std::nullopt; // ~QProcess kills it
        client.waitForFinished(5);
        QCoreApplication::processEvents();
    }
    if (client.exitStatus() != QProcess::NormalExit || client.exitCode() != 0)
        return std::nullopt;
    return client.readAllStandardOutput();
}

} // namespace tessary::testing
