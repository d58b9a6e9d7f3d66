// Additions beyond the described methods: failure impact and weak points.
// Bound as KETRAL methods (module/bind_additions_impact.cpp); the KETRAL
// argument is the object they are called on.
#pragma once

#include "core/ketral_object.hpp"

namespace ketral {

StringVec failure_impact_of_device(KETRAL &, const std::string &devicename, int reload_connectivity,
                                   int delete_connectivity);
StringVec failure_impact_of_link(KETRAL &, int lkid, int reload_connectivity, int delete_connectivity);
StringVec failure_impact_of_port(KETRAL &, const std::string &devicename, const std::string &port_nbr, int port_way,
                                 const std::string &port_type, int reload_connectivity, int delete_connectivity);
StringVec weak_points(KETRAL &, int reload_connectivity, int delete_connectivity);

}  // namespace ketral
