// Additions beyond the described methods: routing and destination tables read back.
#include "tests/fake/call.hpp"

using fake::Call;

extern "C" {  // a signature that differs from the contract is a conflicting declaration

int GetRoutingTableRows(const char *devicename, int *len, char *result, char *err) {
    return Call(__func__).text(devicename).inout(len).buffer(result, *len).error(err).run();
}
int GetDestinationTableRows(const char *devicename, int *len, char *result, char *err) {
    return Call(__func__).text(devicename).inout(len).buffer(result, *len).error(err).run();
}
int UpdateHWStatusLocation(const char *serialnb, const char *status, const char *location, const char *comments,
                           char *err) {
    return Call(__func__).text(serialnb).text(status).text(location).text(comments).error(err).run();
}

}  // extern "C"
