#pragma once

// The two data-control protocols, ext (standard) and wlroots' older one, are one protocol under
// two sets of names: the same requests and events with the same arguments in the same order.
// Objects of either are therefore handled through the ext types and functions; only the
// requests that create objects need to know which protocol's interface the new object has.

#include "ext-data-control-v1-client-protocol.h"

#include <cstdint>

namespace tessary::wayland {

struct DataControlProtocol {
    const char *managerName; // the global's interface name
    const wl_interface *manager;
    const wl_interface *device;
    const wl_interface *source;
    uint32_t newestVersion; // the newest version this code speaks
};

extern const DataControlProtocol kExtDataControl;
extern const DataControlProtocol kWlrDataControl;

using DataControlManager = ext_data_control_manager_v1;
using DataControlDevice = ext_data_control_device_v1;
using DataControlSource = ext_data_control_source_v1;
using DataControlOffer = ext_data_control_offer_v1;

DataControlManager *bindManager(wl_registry *registry, uint32_t name, uint32_t version,
                                const DataControlProtocol &protocol);
DataControlSource *createSource(DataControlManager *manager, const DataControlProtocol &protocol);
DataControlDevice *getDevice(DataControlManager *manager, wl_seat *seat,
                             const DataControlProtocol &protocol);

} // namespace tessary::wayland
