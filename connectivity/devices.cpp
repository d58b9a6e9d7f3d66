// Connections between two devices, or a device and a device type: column
// stores joined into one row per path (columns numbered in row order), and a
// plain list of texts for GetConnOutBetweenDeviceDeviceType.
#include "core/column_store.hpp"
#include "core/ketral_object.hpp"
#include "ketral/ketral.h"

using namespace ketral;

namespace {

// pathid | link_pos | node_from | port_from | lkid | node_to | port_to | lktype | lkinfo
const Layout kBetweenDevices{2000,
                             Retry::AnyChanged,
                             {kInt, kInt, text(500000), text(5000), kInt, text(500000), text(5000), kInt,
                              text(5000000)}};

// node_from | node_to | port_from | port_to | pathid | link_pos | lkid | lktype | lkinfo;
// lkinfo starts empty, so an answer that carries it always takes the second call.
const Layout kBetweenDeviceAndType{60000,
                                   Retry::AnyChanged,
                                   {text(1000000), text(1000000), text(100000), text(100000), kInt, kInt, kInt, kInt,
                                    text(0)}};

// One text per connection.
const Layout kConnOut{kNoCount, Retry::AnyRaised, {text(1000)}, /*rows_by_text=*/1};

}  // namespace

StringVec KETRAL::PyGetConnectivityBetweenDevices(Str dev_from, Str dev_to, int reload_connectivity,
                                                  int delete_connectivity) {
    return fetch_rows(kBetweenDevices, [&](ColumnStore &s, char *error) {
        return GetConnectivityBetweenDevices(dev_from.c_str(), dev_to.c_str(), s.count(), s.len(4), s.len(3), s.len(7),
                                             s.len(6), s.len(9), s.text(3), s.text(6), s.text(4), s.ints(5), s.text(7),
                                             s.ints(8), s.ints(1), s.ints(2), s.text(9), reload_connectivity,
                                             delete_connectivity, error);
    });
}

StringVec KETRAL::PyGetDetailedConnectivityBetweenDevices(Str dev_from, Str dev_to, int reload_connectivity,
                                                          int delete_connectivity) {
    return fetch_rows(kBetweenDevices, [&](ColumnStore &s, char *error) {
        return GetDetailedConnectivityBetweenDevices(dev_from.c_str(), dev_to.c_str(), s.text(3), s.count(), s.len(3),
                                                     s.len(4), s.len(6), s.len(7), s.len(9), s.text(4), s.text(7),
                                                     s.ints(5), s.ints(8), s.text(6), s.ints(1), s.ints(2), s.text(9),
                                                     reload_connectivity, delete_connectivity, error);
    });
}

StringVec KETRAL::PyGetDetailedConnBetweenDeviceDevType(Str devicename, Str nto, int nto_dtype,
                                                        int reload_connectivity, int delete_connectivity) {
    return fetch_rows(kBetweenDeviceAndType, [&](ColumnStore &s, char *error) {
        return GetDetailedConnBetweenDeviceDevType(devicename.c_str(), nto.c_str(), nto_dtype, s.text(1), s.text(3),
                                                   s.text(4), s.count(), s.len(1), s.len(3), s.len(2), s.len(4),
                                                   s.len(9), s.ints(5), s.ints(6), s.text(2), s.ints(8), s.ints(7),
                                                   s.text(9), reload_connectivity, delete_connectivity, error);
    });
}

StringVec KETRAL::PyGetConnOutBetweenDeviceDeviceType(Str devicename, Str nto, int nto_dtype,
                                                      int reload_connectivity, int delete_connectivity) {
    if (static_cast<unsigned>(nto_dtype) > 1) fail("nto_dtype is 1 if nto is a device type, 0 if it's a fixed part");
    return fetch_rows(kConnOut, [&](ColumnStore &s, char *error) {
        return GetConnOutBetweenDeviceDeviceType(devicename.c_str(), nto.c_str(), nto_dtype, s.len(1), s.text(1),
                                                 reload_connectivity, delete_connectivity, error);
    });
}
