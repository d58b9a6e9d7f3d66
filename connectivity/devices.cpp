// Connections between two devices, or a device and a device type: column
// stores joined into one row per path (columns numbered in row order), and a
// plain list of texts for GetConnOutBetweenDeviceDeviceType.
#include "core/column_store.hpp"
#include "core/ketral_object.hpp"
#include "ketral/ketral.h"

using namespace ketral;

namespace {

// The columns of a path between two devices, in row order.
namespace between {
enum Column { pathid = 1, link_pos, node_from, port_from, lkid, node_to, port_to, lktype, lkinfo };
}
const Layout kBetweenDevices{
    2000,
    Retry::AnyChanged,
    {kInt, kInt, text(500000), text(5000), kInt, text(500000), text(5000), kInt, text(5000000)}};

// The columns of a path between a device and a device type, in row order;
// lkinfo starts empty, so an answer that carries it always takes the second call.
namespace to_type {
enum Column { node_from = 1, node_to, port_from, port_to, pathid, link_pos, lkid, lktype, lkinfo };
}
const Layout kBetweenDeviceAndType{
    60000,
    Retry::AnyChanged,
    {text(1000000), text(1000000), text(100000), text(100000), kInt, kInt, kInt, kInt, text(0)}};

// One text per connection.
const Layout kConnOut{kNoCount, Retry::AnyRaised, {text(1000)}, /*rows_by_text=*/1};

}  // namespace

StringVec KETRAL::PyGetConnectivityBetweenDevices(const std::string &dev_from, const std::string &dev_to,
                                                  int reload_connectivity, int delete_connectivity) {
    return fetch_rows(kBetweenDevices, [&](ColumnStore &s, char *error) {
        return GetConnectivityBetweenDevices(
            dev_from.c_str(), dev_to.c_str(), s.count(), s.len(between::port_from), s.len(between::node_from),
            s.len(between::port_to), s.len(between::node_to), s.len(between::lkinfo), s.text(between::node_from),
            s.text(between::node_to), s.text(between::port_from), s.ints(between::lkid), s.text(between::port_to),
            s.ints(between::lktype), s.ints(between::pathid), s.ints(between::link_pos), s.text(between::lkinfo),
            reload_connectivity, delete_connectivity, error);
    });
}

StringVec KETRAL::PyGetDetailedConnectivityBetweenDevices(const std::string &dev_from, const std::string &dev_to,
                                                          int reload_connectivity, int delete_connectivity) {
    return fetch_rows(kBetweenDevices, [&](ColumnStore &s, char *error) {
        return GetDetailedConnectivityBetweenDevices(
            dev_from.c_str(), dev_to.c_str(), s.text(between::node_from), s.count(), s.len(between::node_from),
            s.len(between::port_from), s.len(between::node_to), s.len(between::port_to), s.len(between::lkinfo),
            s.text(between::port_from), s.text(between::port_to), s.ints(between::lkid), s.ints(between::lktype),
            s.text(between::node_to), s.ints(between::pathid), s.ints(between::link_pos), s.text(between::lkinfo),
            reload_connectivity, delete_connectivity, error);
    });
}

StringVec KETRAL::PyGetDetailedConnBetweenDeviceDevType(const std::string &devicename, const std::string &nto,
                                                        int nto_dtype, int reload_connectivity,
                                                        int delete_connectivity) {
    return fetch_rows(kBetweenDeviceAndType, [&](ColumnStore &s, char *error) {
        return GetDetailedConnBetweenDeviceDevType(
            devicename.c_str(), nto.c_str(), nto_dtype, s.text(to_type::node_from), s.text(to_type::port_from),
            s.text(to_type::port_to), s.count(), s.len(to_type::node_from), s.len(to_type::port_from),
            s.len(to_type::node_to), s.len(to_type::port_to), s.len(to_type::lkinfo), s.ints(to_type::pathid),
            s.ints(to_type::link_pos), s.text(to_type::node_to), s.ints(to_type::lktype), s.ints(to_type::lkid),
            s.text(to_type::lkinfo), reload_connectivity, delete_connectivity, error);
    });
}

StringVec KETRAL::PyGetConnOutBetweenDeviceDeviceType(const std::string &devicename, const std::string &nto,
                                                      int nto_dtype, int reload_connectivity, int delete_connectivity) {
    if (static_cast<unsigned>(nto_dtype) > 1) fail("nto_dtype is 1 if nto is a device type, 0 if it's a fixed part");
    return fetch_rows(kConnOut, [&](ColumnStore &s, char *error) {
        return GetConnOutBetweenDeviceDeviceType(devicename.c_str(), nto.c_str(), nto_dtype, s.len(1), s.text(1),
                                                 reload_connectivity, delete_connectivity, error);
    });
}
