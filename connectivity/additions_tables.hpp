// Additions beyond the described methods: a device's stored routing and
// destination tables read back. Bound as KETRAL methods
// (module/bind_additions_tables.cpp); the KETRAL argument is the object they
// are called on.
#pragma once

#include "core/ketral_object.hpp"

namespace ketral {

StringVec routing_table_rows(KETRAL &, const std::string &devicename);
StringVec destination_table_rows(KETRAL &, const std::string &devicename);

}  // namespace ketral
