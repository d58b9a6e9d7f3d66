// Integer-list queries: identifiers in ascending order; -1, -1 when none.
#include "store/export.hpp"
#include "store/queries/query.hpp"

namespace ketral::store::queries {

namespace {

template <typename... Args>
int id_list(const char *fn, char *error, int error_capacity, const char *sql, int *count, int *result,
            const Args &...args) {
    return guarded({fn, error, Needs::Schema, error_capacity},
                   [&](Session &s) { answer::write_ints(fn, ids(s.db(), sql, args...), count, result); });
}

template <typename... Args>
int id_list(const char *fn, char *error, const char *sql, int *count, int *result, const Args &...args) {
    return id_list(fn, error, KETRAL_ERROR_CAPACITY, sql, count, result, args...);
}

// The micro links at one end: option 0 reads `id` as a board component's
// cpntid, option 1 as a motherboard's deviceid (links at the board itself).
int micro_links(const char *fn, const char *by_cpnt, const char *by_board, int id, int option, int *count, int *result,
                char *error) {
    return guarded({fn, error}, [&](Session &s) {
        if (option != 0 && option != 1)
            throw Failure(std::string(fn) +
                          ": option must be 0 (a board component id) or 1 (a motherboard "
                          "device id), not " +
                          std::to_string(option));
        answer::write_ints(fn, ids(s.db(), option == 0 ? by_cpnt : by_board, id), count, result);
    });
}

}  // namespace

}  // namespace ketral::store::queries

using namespace ketral::store;
using namespace ketral::store::queries;

extern "C" {

int GetPortIDPerDevID(int deviceid, int *count, int *result, char *ErrMess) {
    return id_list("GetPortIDPerDevID", ErrMess, "SELECT portid FROM port WHERE deviceid = ? ORDER BY portid", count,
                   result, deviceid);
}

int GetDeviceIDsPerType(const char *devicetype, int *count, int *result, char *ErrMess) {
    return id_list("GetDeviceIDsPerType", ErrMess,
                   "SELECT d.deviceid FROM functional_device d JOIN device_type t ON t.devicetypeid = d.devicetypeid "
                   "WHERE t.devicetype = ? ORDER BY d.deviceid",
                   count, result, arg(devicetype));
}

// Links as stored: from the output port of the link to its input port.
int GetLkFromDevID(int deviceid, int *count, int *result, char *ErrMess) {
    return id_list("GetLkFromDevID", ErrMess,
                   "SELECT l.linkid FROM macro_link l JOIN port p ON p.portid = l.portidfrom "
                   "WHERE p.deviceid = ? ORDER BY l.linkid",
                   count, result, deviceid);
}

int GetLkToDevID(int deviceid, int *count, int *result, char *ErrMess) {
    return id_list("GetLkToDevID", ErrMess,
                   "SELECT l.linkid FROM macro_link l JOIN port p ON p.portid = l.portidto "
                   "WHERE p.deviceid = ? ORDER BY l.linkid",
                   count, result, deviceid);
}

int GetMicroLkFromCpntID(int cpntid, int option, int *count, int *result, char *ErrMess) {
    return micro_links("GetMicroLkFromCpntID", "SELECT linkid FROM micro_link WHERE cpntfrom = ? ORDER BY linkid",
                       "SELECT linkid FROM micro_link WHERE motherboardfrom = ? ORDER BY linkid", cpntid, option, count,
                       result, ErrMess);
}

int GetMicroLkToCpntID(int cpntid, int option, int *count, int *result, char *ErrMess) {
    return micro_links("GetMicroLkToCpntID", "SELECT linkid FROM micro_link WHERE cpntto = ? ORDER BY linkid",
                       "SELECT linkid FROM micro_link WHERE motherboardto = ? ORDER BY linkid", cpntid, option, count,
                       result, ErrMess);
}

// The whole text: an empty lkinfo finds the links without information.
int GetLkIDsPerLkInfo(const char *lkinfo, int *count, int *result, char *ErrMess) {
    return id_list("GetLkIDsPerLkInfo", ErrMess, KETRAL_LKINFO_ERROR_CAPACITY,
                   "SELECT linkid FROM macro_link WHERE COALESCE(link_info, '') = ? ORDER BY linkid", count, result,
                   arg(lkinfo));
}

}  // extern "C"
