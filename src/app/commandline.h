#pragma once

#include <QCoreApplication>
#include <QStringList>

namespace tessary {

// Tessary takes no argument that changes how it runs: those it knows (--help, --version) answer
// and end the process, and any other is a mistake. So only a bare start needs a display.
class CommandLine {
    Q_DECLARE_TR_FUNCTIONS(CommandLine)
public:
    // The exit status for a start with these arguments (the program's name first): 0 once
    // help or the version is printed, 2 after a mistake is reported on stderr.
    static int answer(const QStringList &arguments);
};

} // namespace tessary
