// Paths between devices as answer rows: one row per link of each path, in
// the direction the path follows the link.
#pragma once

#include "store/paths/common.hpp"

namespace ketral::store::paths {

// The nine columns of a connectivity answer, as the caller passed them.
struct LinkColumns {
    int *n;
    int *pathid, *link_pos, *lkid, *lktype;
    char *node_from, *node_to, *port_from, *port_to, *lkinfo;
    int *len_node_from, *len_node_to, *len_port_from, *len_port_to, *len_lkinfo;
};

enum class Detail {
    Plain,     // ports by number; lkinfo is the link's information text
    Detailed,  // ports as "nbr:way:type"; lkinfo a JSON object describing the link
};

// Writes the rows of `paths` (paths numbered from 1, links from 1).
void write_link_rows(const char *fn, const Network &net, const graph::PathSet &paths, Detail detail,
                     const LinkColumns &columns);

// A port as one text: "nbr:in" or "nbr:out", then ":type" when typed.
std::string port_text(const std::string &nbr, bool output, const std::string &type);

// The nodes a device type (nto_dtype 1) or a part of device names
// (nto_dtype 0) selects, by node; refuses another nto_dtype and an unknown type.
std::vector<char> select_devices(const char *fn, sql::Connection &db, const Network &net, const std::string &nto,
                                 int nto_dtype);

}  // namespace ketral::store::paths
