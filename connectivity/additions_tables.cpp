// Additions beyond the described methods: a device's stored routing and
// destination tables read back, each a plain list of texts, one per row
// (see docs/additions.md).
#include "connectivity/additions_tables.hpp"

#include "core/column_store.hpp"
#include "ketral/ketral.h"

namespace ketral {

namespace {

// One text per row of the table.
const Layout kTableRows{kNoCount, Retry::AnyRaised, {text(50000)}, /*rows_by_text=*/1};

}  // namespace

StringVec routing_table_rows(KETRAL &, const std::string &devicename) {
    return fetch_rows(kTableRows, [&](ColumnStore &s, char *error) {
        return GetRoutingTableRows(devicename.c_str(), s.len(1), s.text(1), error);
    });
}

StringVec destination_table_rows(KETRAL &, const std::string &devicename) {
    return fetch_rows(kTableRows, [&](ColumnStore &s, char *error) {
        return GetDestinationTableRows(devicename.c_str(), s.len(1), s.text(1), error);
    });
}

}  // namespace ketral
