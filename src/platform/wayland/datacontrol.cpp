#include "datacontrol.h"

#include "wlr-data-control-unstable-v1-client-protocol.h"

#include <algorithm>
#include <cstddef>

namespace tessary::wayland {

// Requests share their opcodes, and events their places in the listeners.
static_assert(EXT_DATA_CONTROL_MANAGER_V1_CREATE_DATA_SOURCE ==
              ZWLR_DATA_CONTROL_MANAGER_V1_CREATE_DATA_SOURCE);
static_assert(EXT_DATA_CONTROL_MANAGER_V1_GET_DATA_DEVICE ==
              ZWLR_DATA_CONTROL_MANAGER_V1_GET_DATA_DEVICE);
static_assert(EXT_DATA_CONTROL_MANAGER_V1_DESTROY == ZWLR_DATA_CONTROL_MANAGER_V1_DESTROY);
static_assert(EXT_DATA_CONTROL_DEVICE_V1_SET_SELECTION ==
              ZWLR_DATA_CONTROL_DEVICE_V1_SET_SELECTION);
static_assert(EXT_DATA_CONTROL_DEVICE_V1_DESTROY == ZWLR_DATA_CONTROL_DEVICE_V1_DESTROY);
static_assert(EXT_DATA_CONTROL_SOURCE_V1_OFFER == ZWLR_DATA_CONTROL_SOURCE_V1_OFFER);
static_assert(EXT_DATA_CONTROL_SOURCE_V1_DESTROY == ZWLR_DATA_CONTROL_SOURCE_V1_DESTROY);
static_assert(EXT_DATA_CONTROL_OFFER_V1_RECEIVE == ZWLR_DATA_CONTROL_OFFER_V1_RECEIVE);
static_assert(EXT_DATA_CONTROL_OFFER_V1_DESTROY == ZWLR_DATA_CONTROL_OFFER_V1_DESTROY);

#define TESSARY_SAME_EVENT(listener, event)                                                        \
    static_assert(offsetof(ext_data_control_##listener##_v1_listener, event) ==                    \
                  offsetof(zwlr_data_control_##listener##_v1_listener, event))
TESSARY_SAME_EVENT(device, data_offer);
TESSARY_SAME_EVENT(device, selection);
TESSARY_SAME_EVENT(device, finished);
TESSARY_SAME_EVENT(device, primary_selection);
TESSARY_SAME_EVENT(source, send);
TESSARY_SAME_EVENT(source, cancelled);
TESSARY_SAME_EVENT(offer, offer);
#undef TESSARY_SAME_EVENT

const DataControlProtocol kExtDataControl{
    "ext_data_control_manager_v1", &ext_data_control_manager_v1_interface,
    &ext_data_control_device_v1_interface, &ext_data_control_source_v1_interface, 1};

// Version 2 adds the primary selection, whose offers are only ever dropped; version 1 works too.
const DataControlProtocol kWlrDataControl{
    "zwlr_data_control_manager_v1", &zwlr_data_control_manager_v1_interface,
    &zwlr_data_control_device_v1_interface, &zwlr_data_control_source_v1_interface, 2};

DataControlManager *bindManager(wl_registry *registry, uint32_t name, uint32_t version,
                                const DataControlProtocol &protocol)
{
    return static_cast<DataControlManager *>(wl_registry_bind(
        registry, name, protocol.manager, std::min(version, protocol.newestVersion)));
}

DataControlSource *createSource(DataControlManager *manager, const DataControlProtocol &protocol)
{
    auto *proxy = reinterpret_cast<wl_proxy *>(manager);
    return reinterpret_cast<DataControlSource *>(
        wl_proxy_marshal_flags(proxy, EXT_DATA_CONTROL_MANAGER_V1_CREATE_DATA_SOURCE,
                               protocol.source, wl_proxy_get_version(proxy), 0, nullptr));
}

DataControlDevice *getDevice(DataControlManager *manager, wl_seat *seat,
                             const DataControlProtocol &protocol)
{
    auto *proxy = reinterpret_cast<wl_proxy *>(manager);
    return reinterpret_cast<DataControlDevice *>(
        wl_proxy_marshal_flags(proxy, EXT_DATA_CONTROL_MANAGER_V1_GET_DATA_DEVICE, protocol.device,
                               wl_proxy_get_version(proxy), 0, nullptr, seat));
}

} // namespace tessary::wayland
