// Table loaders: a whole table in one call, as a column store joined into
// '|'-separated rows. Columns are numbered in row order.
#include "core/column_store.hpp"
#include "core/ketral_object.hpp"
#include "ketral/ketral.h"

using namespace ketral;

namespace {

// lkid | node_from | node_to | port_from | port_to | bidirectional | lkused | lktype | lkinfo
const Layout kConnectivityTable{
    100000, Retry::AnyRaised, {kInt, kInt, kInt, text(100000), text(100000), kInt, kInt, kInt, text(5000000)}};

// id | name. A raised name length alone is retried too: a few thousand long
// names overflow the initial 50000 bytes well before the row count grows.
const Layout kIdNameTable{10000, Retry::AnyRaised, {kInt, text(50000)}};

// id | name, one row per name.
const Layout kDeviceTypeTable{10000, Retry::AnyRaised, {kInt, text(500000)}, /*rows_by_text=*/2};

}  // namespace

StringVec KETRAL::PyLoadConnectivityTable(const std::string &selector) {
    return fetch_rows(kConnectivityTable, [&](ColumnStore &s, char *error) {
        return LoadConnectivityTable(selector.c_str(), s.count(), s.ints(1), s.ints(2), s.ints(3), s.len(4), s.len(5),
                                     s.text(4), s.text(5), s.ints(6), s.ints(7), s.ints(8), s.text(9), s.len(9), error);
    });
}

StringVec KETRAL::PyMatchDeviceIDDeviceName(const std::string &selector) {
    return fetch_rows(kIdNameTable, [&](ColumnStore &s, char *error) {
        return MatchDeviceIDDeviceName(selector.c_str(), s.count(), s.ints(1), s.len(2), s.text(2), error);
    });
}

StringVec KETRAL::PyLoadDeviceTypeTable(const std::string &selector) {
    return fetch_rows(kDeviceTypeTable, [&](ColumnStore &s, char *error) {
        return LoadDeviceTypeTable(selector.c_str(), s.len(2), s.text(2), s.count(), s.ints(1), error);
    });
}

StringVec KETRAL::PyLoadLinkTypeTable() {
    return fetch_rows(kIdNameTable, [&](ColumnStore &s, char *error) {
        return LoadLinkTypeTable(s.count(), s.ints(1), s.len(2), s.text(2), error);
    });
}
