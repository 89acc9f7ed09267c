#pragma once

// Reading and writing the few parts of freedesktop Desktop Entry files that autostart needs.

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

namespace tessary {

// The keys of the [Desktop Entry] group with their string escapes (\s \n \t \r \\) undone.
// Nothing when the text has no such group.
std::optional<QHash<QString, QString>> parseDesktopEntry(const QByteArray &contents);

// A value as written after "Key=": the string escapes applied, so that no line break can end it.
QString escapeDesktopValue(const QString &value);

// One Exec argument, quoted when it holds a reserved character, with literal '%' doubled.
QString quoteExecArgument(const QString &argument);

// The arguments of an (already unescaped) Exec value, quotes removed and "%%" made '%'.
QStringList splitExec(const QString &exec);

} // namespace tessary
