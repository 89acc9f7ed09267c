#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QStringList>
#include <optional>

namespace tessary::testing {

// Runs a command-line client (xclip, wl-copy, wl-paste) to its end while this thread's events
// keep being handled: the client may be talking to this very process. Its standard output, or
// nothing when it fails or is still running after the timeout (it is killed then).
std::optional<QByteArray>
runClient(const QString &program, const QStringList &arguments, const QByteArray &input = {},
          int timeoutMs = 10000,
          const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());

} // namespace tessary::testing
