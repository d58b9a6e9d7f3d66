// KETRAL construction and the connection members.
#include "core/ketral_object.hpp"

#include "core/call.hpp"
#include "ketral/ketral.h"

using ketral::call_or_throw;

KETRAL::KETRAL(const std::string &c1, const std::string &c2, const std::string &c3) : conn1(c1), conn2(c2), conn3(c3) {}

int KETRAL::PyDBConnexion() {
    return call_or_throw([&](char *error) { return DBConnexion(conn1.c_str(), conn2.c_str(), conn3.c_str(), error); });
}

int KETRAL::PyDBDeconnexion() {
    return call_or_throw([](char *error) { return DBDeconnexion(error); });
}
