#pragma once

#include <QByteArray>
#include <QHash>
#include <optional>

namespace tessary::wayland {

// The globals a compositor advertises, interface name to version. Nothing when it cannot be
// reached.
std::optional<QHash<QByteArray, quint32>> advertisedGlobals(const QByteArray &displayName = {});

} // namespace tessary::wayland
