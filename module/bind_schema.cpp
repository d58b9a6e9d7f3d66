#include "module/bindings.hpp"

void bind_connection_and_schema(KetralClass &cls) {
    KETRAL_BIND(cls, DBConnexion);
    KETRAL_BIND(cls, DBDeconnexion);
    KETRAL_BIND(cls, CreateTableSchema);
    KETRAL_BIND(cls, DropTableSchema);
    KETRAL_BIND(cls, CreateDestinationTable);
    KETRAL_BIND(cls, CreateRoutingTable);
}
