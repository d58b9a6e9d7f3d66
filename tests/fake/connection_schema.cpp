// Connection and schema management.
#include "tests/fake/call.hpp"

using fake::Call;

extern "C" {  // a signature that differs from the contract is a conflicting declaration

int DBConnexion(const char *database, const char *user, const char *password, char *err) {
    return Call(__func__).text(database).text(user).text(password).error(err).run();
}
int DBDeconnexion(char *err) { return Call(__func__).error(err).run(); }
int CreateTableSchema(char *err) { return Call(__func__).error(err).run(); }
int DropTableSchema(char *err) { return Call(__func__).error(err).run(); }
int CreateDestinationTable(const char *devicename, int max_links, char *err) {
    return Call(__func__).text(devicename).integer(max_links).error(err).run();
}
int CreateRoutingTable(const char *devicename, int max_links, char *err) {
    return Call(__func__).text(devicename).integer(max_links).error(err).run();
}

}  // extern "C"
