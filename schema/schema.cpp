// Schema management: each member is one library call returning 0.
#include "core/call.hpp"
#include "core/ketral_object.hpp"
#include "ketral/ketral.h"

using ketral::call_or_throw;

int KETRAL::PyCreateTableSchema() {
    return call_or_throw([](char *error) { return CreateTableSchema(error); });
}

int KETRAL::PyDropTableSchema() {
    return call_or_throw([](char *error) { return DropTableSchema(error); });
}

int KETRAL::PyCreateDestinationTable(const std::string &devicename, int max_links) {
    return call_or_throw([&](char *error) { return CreateDestinationTable(devicename.c_str(), max_links, error); });
}

int KETRAL::PyCreateRoutingTable(const std::string &devicename, int max_links) {
    return call_or_throw([&](char *error) { return CreateRoutingTable(devicename.c_str(), max_links, error); });
}
