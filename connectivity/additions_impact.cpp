// Additions beyond the described methods: failure impact and weak points,
// each a plain list of texts (see docs/additions.md).
#include "connectivity/additions_impact.hpp"

#include "core/column_store.hpp"
#include "ketral/ketral.h"

namespace ketral {

namespace {

// One text per device affected or per weak point.
const Layout kImpact{kNoCount, Retry::AnyRaised, {text(20000)}, /*rows_by_text=*/1};

}  // namespace

StringVec failure_impact_of_device(KETRAL &, const std::string &devicename, int reload_connectivity,
                                   int delete_connectivity) {
    return fetch_rows(kImpact, [&](ColumnStore &s, char *error) {
        return GetFailureImpactOfDevice(devicename.c_str(), s.len(1), s.text(1), reload_connectivity,
                                        delete_connectivity, error);
    });
}

StringVec failure_impact_of_link(KETRAL &, int lkid, int reload_connectivity, int delete_connectivity) {
    return fetch_rows(kImpact, [&](ColumnStore &s, char *error) {
        return GetFailureImpactOfLink(lkid, s.len(1), s.text(1), reload_connectivity, delete_connectivity, error);
    });
}

StringVec failure_impact_of_port(KETRAL &, const std::string &devicename, const std::string &port_nbr, int port_way,
                                 const std::string &port_type, int reload_connectivity, int delete_connectivity) {
    return fetch_rows(kImpact, [&](ColumnStore &s, char *error) {
        return GetFailureImpactOfPort(devicename.c_str(), port_nbr.c_str(), port_way, port_type.c_str(), s.len(1),
                                      s.text(1), reload_connectivity, delete_connectivity, error);
    });
}

StringVec weak_points(KETRAL &, int reload_connectivity, int delete_connectivity) {
    return fetch_rows(kImpact, [&](ColumnStore &s, char *error) {
        return GetWeakPoints(s.len(1), s.text(1), reload_connectivity, delete_connectivity, error);
    });
}

}  // namespace ketral
