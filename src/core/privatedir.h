#pragma once

#include <QString>
#include <optional>

namespace tessary {

// The per-user directory for what must not be seen by other users (staged previews, the
// single-instance socket): $XDG_RUNTIME_DIR/tessary, else $TMPDIR (or /tmp) + /tessary-<uid>.
// Created with mode 0700. Refused (nothing returned) when it is a symlink, not a directory or
// owned by someone else, as anyone could have prepared it in a shared directory.
std::optional<QString> privateRuntimeDirectory();

// The same checks for a given path; exposed so tests can point it at directories they control.
std::optional<QString> ensurePrivateDirectory(const QString &path);

} // namespace tessary
