// A compositor with nothing but a seat and the data-control protocols, for clipboard tests: no
// compositor in Debian 12 offers the standard ext protocol, and clipboard clients need no
// surfaces. Arguments pick the globals: "ext", "wlr" or both. It listens on a wayland-N socket
// in $XDG_RUNTIME_DIR and runs until SIGTERM.
//
// Both protocols share one selection, so that wl-copy and wl-paste (which speak wlroots' one)
// talk to a client on the ext one. They also share their wire shape: resources of either are
// served through the ext functions, as in the client.

#include "ext-data-control-v1-server-protocol.h"
#include "wlr-data-control-unstable-v1-server-protocol.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>
#include <wayland-server.h>

static_assert(EXT_DATA_CONTROL_DEVICE_V1_SELECTION == ZWLR_DATA_CONTROL_DEVICE_V1_SELECTION);
static_assert(EXT_DATA_CONTROL_DEVICE_V1_DATA_OFFER == ZWLR_DATA_CONTROL_DEVICE_V1_DATA_OFFER);
static_assert(EXT_DATA_CONTROL_OFFER_V1_OFFER == ZWLR_DATA_CONTROL_OFFER_V1_OFFER);
static_assert(EXT_DATA_CONTROL_SOURCE_V1_SEND == ZWLR_DATA_CONTROL_SOURCE_V1_SEND);
static_assert(EXT_DATA_CONTROL_SOURCE_V1_CANCELLED == ZWLR_DATA_CONTROL_SOURCE_V1_CANCELLED);

namespace {

struct Protocol {
    const wl_interface *manager, *device, *source, *offer;
    int version;
};
const Protocol kExt{&ext_data_control_manager_v1_interface, &ext_data_control_device_v1_interface,
                    &ext_data_control_source_v1_interface, &ext_data_control_offer_v1_interface, 1};
const Protocol kWlr{&zwlr_data_control_manager_v1_interface, &zwlr_data_control_device_v1_interface,
                    &zwlr_data_control_source_v1_interface, &zwlr_data_control_offer_v1_interface,
                    2};

struct Source {
    wl_resource *resource;
    std::vector<std::string> mimeTypes;
};

struct Offer {
    wl_resource *resource;
    Source *source; // null once the source is gone
};

struct Device {
    wl_resource *resource;
    const Protocol *protocol;
};

struct Seat {
    std::vector<Device *> devices;
    std::vector<Offer *> offers;
    Source *selection = nullptr;

    void sendSelection(const Device &device)
    {
        if (!selection) {
            ext_data_control_device_v1_send_selection(device.resource, nullptr);
            return;
        }
        wl_resource *resource =
            wl_resource_create(wl_resource_get_client(device.resource), device.protocol->offer,
                               wl_resource_get_version(device.resource), 0);
        auto *offer = new Offer{resource, selection};
        offers.push_back(offer);
        wl_resource_set_implementation(resource, &kOfferRequests, offer, [](wl_resource *r) {
            auto *offer = static_cast<Offer *>(wl_resource_get_user_data(r));
            std::erase(seat().offers, offer);
            delete offer;
        });
        ext_data_control_device_v1_send_data_offer(device.resource, resource);
        for (const std::string &mimeType : selection->mimeTypes)
            ext_data_control_offer_v1_send_offer(resource, mimeType.c_str());
        ext_data_control_device_v1_send_selection(device.resource, resource);
    }

    void setSelection(Source *source)
    {
        if (selection && selection != source)
            ext_data_control_source_v1_send_cancelled(selection->resource);
        selection = source;
        for (const Device *device : devices)
            sendSelection(*device);
    }

    void sourceGone(Source *source)
    {
        for (Offer *offer : offers) {
            if (offer->source == source)
                offer->source = nullptr;
        }
        if (selection == source) {
            selection = nullptr; // not cancelled: it is gone already
            setSelection(nullptr);
        }
    }

    static Seat &seat()
    {
        static Seat instance;
        return instance;
    }

    static const struct ext_data_control_offer_v1_interface kOfferRequests;
};

const struct ext_data_control_offer_v1_interface Seat::kOfferRequests = {
    .receive =
        [](wl_client *, wl_resource *resource, const char *mimeType, int32_t fd) {
            const auto *offer = static_cast<Offer *>(wl_resource_get_user_data(resource));
            if (offer->source)
                ext_data_control_source_v1_send_send(offer->source->resource, mimeType, fd);
            close(fd);
        },
    .destroy = [](wl_client *, wl_resource *resource) { wl_resource_destroy(resource); },
};

const struct ext_data_control_source_v1_interface kSourceRequests = {
    .offer =
        [](wl_client *, wl_resource *resource, const char *mimeType) {
            static_cast<Source *>(wl_resource_get_user_data(resource))
                ->mimeTypes.push_back(mimeType);
        },
    .destroy = [](wl_client *, wl_resource *resource) { wl_resource_destroy(resource); },
};

Source *sourceOf(wl_resource *resource)
{
    return resource ? static_cast<Source *>(wl_resource_get_user_data(resource)) : nullptr;
}

const struct ext_data_control_device_v1_interface kDeviceRequests = {
    .set_selection = [](wl_client *, wl_resource *,
                        wl_resource *source) { Seat::seat().setSelection(sourceOf(source)); },
    .destroy = [](wl_client *, wl_resource *resource) { wl_resource_destroy(resource); },
    // No primary selection here: requests for it are ignored, as the protocol allows.
    .set_primary_selection = [](wl_client *, wl_resource *, wl_resource *) {},
};

const struct ext_data_control_manager_v1_interface kManagerRequests = {
    .create_data_source =
        [](wl_client *client, wl_resource *manager, uint32_t id) {
            const auto *protocol =
                static_cast<const Protocol *>(wl_resource_get_user_data(manager));
            wl_resource *resource =
                wl_resource_create(client, protocol->source, wl_resource_get_version(manager), id);
            wl_resource_set_implementation(resource, &kSourceRequests, new Source{resource, {}},
                                           [](wl_resource *r) {
                                               Source *source = sourceOf(r);
                                               Seat::seat().sourceGone(source);
                                               delete source;
                                           });
        },
    .get_data_device =
        [](wl_client *client, wl_resource *manager, uint32_t id, wl_resource *) {
            const auto *protocol =
                static_cast<const Protocol *>(wl_resource_get_user_data(manager));
            wl_resource *resource =
                wl_resource_create(client, protocol->device, wl_resource_get_version(manager), id);
            auto *device = new Device{resource, protocol};
            wl_resource_set_implementation(resource, &kDeviceRequests, device, [](wl_resource *r) {
                auto *device = static_cast<Device *>(wl_resource_get_user_data(r));
                std::erase(Seat::seat().devices, device);
                delete device;
            });
            Seat::seat().devices.push_back(device);
            Seat::seat().sendSelection(*device);
        },
    .destroy = [](wl_client *, wl_resource *resource) { wl_resource_destroy(resource); },
};

void bindManager(wl_client *client, void *data, uint32_t version, uint32_t id)
{
    const auto *protocol = static_cast<const Protocol *>(data);
    wl_resource *resource = wl_resource_create(client, protocol->manager, int(version), id);
    wl_resource_set_implementation(resource, &kManagerRequests, data, nullptr);
}

// A seat without pointer, keyboard or touch: what clipboard clients bind to.
const struct wl_seat_interface kSeatRequests = {
    .get_pointer = [](wl_client *, wl_resource *, uint32_t) {},
    .get_keyboard = [](wl_client *, wl_resource *, uint32_t) {},
    .get_touch = [](wl_client *, wl_resource *, uint32_t) {},
    .release = [](wl_client *, wl_resource *resource) { wl_resource_destroy(resource); },
};

void bindSeat(wl_client *client, void *, uint32_t version, uint32_t id)
{
    wl_resource *resource = wl_resource_create(client, &wl_seat_interface, int(version), id);
    wl_resource_set_implementation(resource, &kSeatRequests, nullptr, nullptr);
    wl_seat_send_capabilities(resource, 0);
    if (version >= WL_SEAT_NAME_SINCE_VERSION)
        wl_seat_send_name(resource, "seat0");
}

} // namespace

int main(int argc, char **argv)
{
    wl_display *display = wl_display_create();
    wl_global_create(display, &wl_seat_interface, 2, nullptr, bindSeat);
    for (int i = 1; i < argc; ++i) {
        const Protocol *protocol = std::strcmp(argv[i], "ext") == 0   ? &kExt
                                   : std::strcmp(argv[i], "wlr") == 0 ? &kWlr
                                                                      : nullptr;
        if (!protocol) {
            std::fprintf(stderr, "unknown protocol %s: ext or wlr\n", argv[i]);
            return 2;
        }
        wl_global_create(display, protocol->manager, protocol->version,
                         const_cast<Protocol *>(protocol), bindManager);
    }
    if (!wl_display_add_socket_auto(display)) {
        std::perror("no socket");
        return 1;
    }
    wl_event_loop_add_signal(
        wl_display_get_event_loop(display), SIGTERM,
        [](int, void *display) {
            wl_display_terminate(static_cast<wl_display *>(display));
            return 0;
        },
        display);
    wl_display_run(display);
    wl_display_destroy_clients(display);
    wl_display_destroy(display);
    return 0;
}
