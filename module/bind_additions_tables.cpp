// Additions beyond the described methods: routing and destination tables read back.
#include "connectivity/additions_tables.hpp"
#include "module/bindings.hpp"

void bind_additions_tables(KetralClass &cls) {
    cls.def("GetRoutingTableRows", &ketral::routing_table_rows);
    cls.def("GetDestinationTableRows", &ketral::destination_table_rows);
}
