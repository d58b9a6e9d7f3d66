// What the updates share beyond the batch machinery (store/batch/): renames
// followed through a batch, and the ports of the devices a batch names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "store/batch/lookups.hpp"
#include "store/export.hpp"

namespace ketral::store::updates {

using batch::RecordRef;

// The names a batch of renames has changed so far, so that each record is
// checked against the database as the earlier records of the batch leave it:
// a -> b then b -> c is a chain, a -> t, b -> a, t -> b an exchange.
class Renames {
public:
    // The id of `name` now; refuses a name that does not exist or that an
    // earlier record renamed. `select` answers the id of a name.
    std::int64_t current(const RecordRef &ref, sql::Connection &db, std::string_view select, const std::string &name,
                         std::string_view kind);
    // Refuses `name` as a new name when it is taken.
    void need_free(const RecordRef &ref, sql::Connection &db, std::string_view select, const std::string &name,
                   std::string_view kind);
    void rename(const std::string &from, const std::string &to, std::int64_t id, std::size_t record);

private:
    struct Entry {
        std::int64_t id;  // 0: the name was given up
        std::size_t record;
    };
    std::unordered_map<std::string, Entry> names_;
};

// The ports of the devices a batch names, read once per device.
class DevicePorts {
public:
    // The id of port (nbr, way, type) of `device`; refuses a missing device or port.
    std::int64_t port(const RecordRef &ref, sql::Connection &db, const std::string &device, const std::string &nbr,
                      int way, const std::string &type);

private:
    struct Device {
        std::unordered_map<std::string, std::int64_t> ports;  // port_key -> portid
    };
    std::unordered_map<std::string, Device> devices_;
};

}  // namespace ketral::store::updates
