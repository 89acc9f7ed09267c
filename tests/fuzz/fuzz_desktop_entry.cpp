// Desktop entry files as anyone may have left them in the autostart directory, and the Exec
// line we write there read back.

#include "fuzzing.h"
#include "settings/desktopentry.h"

using namespace tessary;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray contents = fuzzing::bytesOf(data, size).toByteArray();
    if (const auto keys = parseDesktopEntry(contents)) {
        for (auto it = keys->cbegin(); it != keys->cend(); ++it) {
            FUZZ_EXPECT(!it.key().isEmpty());
            splitExec(it.value());
        }
    }
    // Any executable path written as the Exec line comes back as that one argument.
    const QString path = QString::fromUtf8(contents).remove(QChar(0));
    if (path.isEmpty())
        return 0;
    const QByteArray written =
        "[Desktop Entry]\nExec=" + escapeDesktopValue(quoteExecArgument(path)).toUtf8() + "\n";
    const auto read = parseDesktopEntry(written);
    FUZZ_EXPECT(read && splitExec(read->value(QStringLiteral("Exec"))) == QStringList{path});
    return 0;
}
