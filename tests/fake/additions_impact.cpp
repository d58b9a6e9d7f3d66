// Additions beyond the described methods: failure impact and weak points.
#include "tests/fake/call.hpp"

using fake::Call;

extern "C" {  // a signature that differs from the contract is a conflicting declaration

int GetFailureImpactOfDevice(const char *devicename, int *len, char *result, int reload, int release, char *err) {
    return Call(__func__)
        .text(devicename)
        .inout(len)
        .buffer(result, *len)
        .integer(reload)
        .integer(release)
        .error(err)
        .run();
}
int GetFailureImpactOfLink(int lkid, int *len, char *result, int reload, int release, char *err) {
    return Call(__func__)
        .integer(lkid)
        .inout(len)
        .buffer(result, *len)
        .integer(reload)
        .integer(release)
        .error(err)
        .run();
}
int GetFailureImpactOfPort(const char *devicename, const char *port_nbr, int port_way, const char *port_type, int *len,
                           char *result, int reload, int release, char *err) {
    return Call(__func__)
        .text(devicename)
        .text(port_nbr)
        .integer(port_way)
        .text(port_type)
        .inout(len)
        .buffer(result, *len)
        .integer(reload)
        .integer(release)
        .error(err)
        .run();
}
int GetWeakPoints(int *len, char *result, int reload, int release, char *err) {
    return Call(__func__).inout(len).buffer(result, *len).integer(reload).integer(release).error(err).run();
}

}  // extern "C"
