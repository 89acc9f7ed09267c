#include "waylandglobals.h"

#include <wayland-client.h>

namespace tessary::wayland {

std::optional<QHash<QByteArray, quint32>> advertisedGlobals(const QByteArray &displayName)
{
    wl_display *display =
        wl_display_connect(displayName.isEmpty() ? nullptr : displayName.constData());
    if (!display)
        return std::nullopt;
    QHash<QByteArray, quint32> globals;
    static const wl_registry_listener listener = {
        .global =
            [](void *data, wl_registry *, uint32_t, const char *interface, uint32_t version) {
                auto *found = static_cast<QHash<QByteArray, quint32> *>(data);
                (*found)[interface] = std::max(version, found->value(interface));
            },
        .global_remove = [](void *, wl_registry *, uint32_t) {},
    };
    wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &globals);
    const bool answered = wl_display_roundtrip(display) >= 0;
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    if (!answered)
        return std::nullopt;
    return globals;
}

} // namespace tessary::wayland
