// Micro connectivity: paths on one board, between its components and the
// board itself (the motherboard), over the micro links. Each query reads the
// board's links from the database and searches them as a graph.
//
// Every answer has one row per link of each path, in path order:
//   ints1 = port number the path leaves by, ints2 = port number it arrives at,
//   listA = the component (or board) it leaves, listB = the one it arrives at.
// A path never visits a component twice, so each path begins with the row
// that leaves the query's start. The lists C and D are not used.
#include <unordered_map>

#include "store/export.hpp"
#include "store/paths/common.hpp"

namespace ketral::store::paths {

namespace {

// Node 0 is the motherboard, then the components of the board.
struct Board {
    graph::Graph graph;
    std::vector<std::string> name;
    std::vector<std::string> type;                            // component type; '' for the motherboard
    std::unordered_map<std::int64_t, graph::Node> component;  // cpntid -> node
    std::vector<int> port_from, port_to;                      // by link index
};

Board load_board(sql::Connection &db, std::int64_t board_id, const std::string &board_name) {
    Board b;
    b.name.push_back(board_name);
    b.type.emplace_back();
    auto cpnts =
        db.prepare("SELECT cpntid, cpntname, cpnttype FROM board_cpnt WHERE motherboardid = ? ORDER BY cpntid");
    cpnts.bind_all(board_id);
    while (cpnts.step()) {
        b.component.emplace(cpnts->column_int(0), static_cast<graph::Node>(b.name.size()));
        b.name.push_back(cpnts->column_text(1));
        b.type.push_back(cpnts->column_text(2));
    }
    // An end: the component, or the board when the component column is NULL.
    const auto end = [&](const sql::Statement &row, int cpnt_column) -> graph::Node {
        if (row.column_is_null(cpnt_column)) return row.column_int(cpnt_column + 1) == board_id ? 0 : -1;
        const auto found = b.component.find(row.column_int(cpnt_column));
        return found == b.component.end() ? -1 : found->second;
    };
    std::vector<graph::Link> links;
    auto rows = db.prepare(
        "SELECT linkid, cpntfrom, motherboardfrom, port_nbrfrom, cpntto, motherboardto, port_nbrto, bidirectional, "
        "lkused FROM micro_link WHERE motherboardfrom = ? OR motherboardto = ? "
        "OR cpntfrom IN (SELECT cpntid FROM board_cpnt WHERE motherboardid = ?) "
        "OR cpntto IN (SELECT cpntid FROM board_cpnt WHERE motherboardid = ?) ORDER BY linkid");
    rows.bind_all(board_id, board_id, board_id, board_id);
    while (rows.step()) {
        const graph::Node from = end(*rows, 1), to = end(*rows, 4);
        if (from < 0 || to < 0) continue;  // a link leaving the board: not part of it
        links.push_back({static_cast<std::int32_t>(rows->column_int(0)), from, to, rows->column_int(7) != 0,
                         rows->column_int(8) != 0});
        b.port_from.push_back(static_cast<int>(rows->column_int(3)));
        b.port_to.push_back(static_cast<int>(rows->column_int(6)));
    }
    b.graph = graph::Graph(static_cast<int>(b.name.size()), std::move(links));
    return b;
}

// A component (by name) or a board (by device name), and the board it is on.
struct Place {
    std::int64_t board_id;
    std::string board_name;
    std::int64_t cpnt_id;  // -1: the board itself
};

Place place_of_name(const char *fn, sql::Connection &db, const std::string &name) {
    auto cpnt = db.prepare(
        "SELECT c.cpntid, c.motherboardid, d.devicename FROM board_cpnt c "
        "JOIN functional_device d ON d.deviceid = c.motherboardid WHERE c.cpntname = ?");
    cpnt.bind_all(name);
    auto board = db.prepare("SELECT deviceid FROM functional_device WHERE devicename = ?");
    board.bind_all(name);
    const bool is_cpnt = cpnt.step(), is_board = board.step();
    if (is_cpnt && is_board)
        throw Failure(std::string(fn) + ": " + quoted(name) + " names both a board component and a device");
    if (is_cpnt) return {cpnt->column_int(1), cpnt->column_text(2), cpnt->column_int(0)};
    if (is_board) return {board->column_int(0), name, -1};
    throw Failure(std::string(fn) + ": no board component or device named " + quoted(name));
}

Place place_of_cpnt(const char *fn, sql::Connection &db, const std::string &name) {
    const Place p = place_of_name(fn, db, name);
    if (p.cpnt_id < 0) throw Failure(std::string(fn) + ": no board component named " + quoted(name));
    return p;
}

graph::Node node_of(const Board &b, const Place &p) { return p.cpnt_id < 0 ? 0 : b.component.at(p.cpnt_id); }

struct MicroColumns {
    int *ints1, *ints2, *n;
    char *list_a;
    int *len_a;
    char *list_b;
    int *len_b;
};

void write_micro_rows(const char *fn, const Board &b, const std::vector<graph::PathSet> &sets, const MicroColumns &c) {
    answer::Columns out(fn, c.n);
    auto &port_from = out.ints("port_from", c.ints1);
    auto &port_to = out.ints("port_to", c.ints2);
    auto &node_from = out.texts("node_from", c.list_a, c.len_a);
    auto &node_to = out.texts("node_to", c.list_b, c.len_b);
    for (const graph::PathSet &paths : sets)
        for (std::size_t k = 0; k < paths.paths(); ++k)
            for (const graph::Step &s : paths.path(k)) {
                const graph::Link &l = b.graph.link(s.link);
                const auto i = static_cast<std::size_t>(s.link);
                port_from.push_back(s.backward ? b.port_to[i] : b.port_from[i]);
                port_to.push_back(s.backward ? b.port_from[i] : b.port_to[i]);
                node_from.add(b.name[static_cast<std::size_t>(s.backward ? l.to : l.from)]);
                node_to.add(b.name[static_cast<std::size_t>(s.backward ? l.from : l.to)]);
            }
    check_column_bytes(fn, "node_from", node_from);
    check_column_bytes(fn, "node_to", node_to);
    out.write();
}

graph::PathSet paths_to(const char *fn, const Board &b, graph::Node from, const std::vector<char> &targets,
                        bool through_targets) {
    graph::PathQuery q;
    q.start = from;
    q.stop = graph::Stop::AtTargets;
    q.targets = &targets;
    q.through_targets = through_targets;
    return search(fn, "the micro paths from " + quoted(b.name[static_cast<std::size_t>(from)]), b.graph, q);
}

}  // namespace

}  // namespace ketral::store::paths

using namespace ketral::store;
using namespace ketral::store::paths;

extern "C" {

// int_arg: 2 the paths from the component to its motherboard, 1 those from
// the motherboard to the component, 0 both (the first, then the second).
int GetMicroConnectBetweenBoardCpntAndMotherBoard(const char *cpntname, int int_arg, int *ints1, int *ints2, int *n,
                                                  char *listA, int *lenA, char *listB, int *lenB, char *, int *, char *,
                                                  int *, char *ErrMess) {
    const char *fn = "GetMicroConnectBetweenBoardCpntAndMotherBoard";
    return guarded({fn, ErrMess}, [&](Session &s) {
        if (int_arg < 0 || int_arg > 2)
            throw Failure(std::string(fn) +
                          ": the direction must be 2 (from the component to its motherboard), "
                          "1 (from the motherboard to the component) or 0 (both), not " +
                          std::to_string(int_arg));
        const Place p = place_of_cpnt(fn, s.db(), std::string(arg(cpntname)));
        const Board b = load_board(s.db(), p.board_id, p.board_name);
        const graph::Node cpnt = node_of(b, p);
        std::vector<char> board(b.name.size(), 0), component(b.name.size(), 0);
        board[0] = 1;
        component[static_cast<std::size_t>(cpnt)] = 1;
        std::vector<graph::PathSet> sets;
        if (int_arg != 1) sets.push_back(paths_to(fn, b, cpnt, board, false));
        if (int_arg != 2) sets.push_back(paths_to(fn, b, 0, component, false));
        write_micro_rows(fn, b, sets, {ints1, ints2, n, listA, lenA, listB, lenB});
    });
}

// int_arg1: the port number to start from (negative: every port);
// int_arg2: the longest path in links (0: no limit); text_arg: the component
// or board. Every path from there to the ends of the board.
int GetMicroConnectFromPortid(int int_arg1, int int_arg2, const char *text_arg, int *ints1, int *ints2, int *n,
                              char *listA, int *lenA, char *listB, int *lenB, char *, int *, char *, int *,
                              char *ErrMess) {
    const char *fn = "GetMicroConnectFromPortid";
    return guarded({fn, ErrMess}, [&](Session &s) {
        if (int_arg2 < 0)
            throw Failure(std::string(fn) + ": the longest path must be 0 (no limit) or a number of links, not " +
                          std::to_string(int_arg2));
        const Place p = place_of_name(fn, s.db(), std::string(::ketral::store::arg(text_arg)));
        const Board b = load_board(s.db(), p.board_id, p.board_name);
        graph::PathQuery q;
        q.start = node_of(b, p);
        q.max_links = int_arg2;
        if (int_arg1 >= 0)
            q.first = [&](const graph::Arc &a) {
                const auto i = static_cast<std::size_t>(a.link);
                return (a.backward ? b.port_to[i] : b.port_from[i]) == int_arg1;
            };
        std::vector<graph::PathSet> sets;
        sets.push_back(
            search(fn, "the micro paths from " + quoted(b.name[static_cast<std::size_t>(q.start)]), b.graph, q));
        write_micro_rows(fn, b, sets, {ints1, ints2, n, listA, lenA, listB, lenB});
    });
}

// int_arg1: an id, read as a component's cpntid when int_arg2 is 0 and as a
// board's deviceid when it is 1; text_arg: a component type. Every path from
// there to each component of that type on the same board.
int GetMicroConnectToCpntType(int int_arg1, int int_arg2, const char *text_arg, int *ints1, int *ints2, int *n,
                              char *listA, int *lenA, char *listB, int *lenB, char *, int *, char *, int *,
                              char *ErrMess) {
    const char *fn = "GetMicroConnectToCpntType";
    return guarded({fn, ErrMess}, [&](Session &s) {
        sql::Connection &db = s.db();
        Place p{};
        if (int_arg2 == 0) {
            auto cpnt = db.prepare(
                "SELECT c.motherboardid, d.devicename FROM board_cpnt c "
                "JOIN functional_device d ON d.deviceid = c.motherboardid WHERE c.cpntid = ?");
            cpnt.bind_all(int_arg1);
            if (!cpnt.step())
                throw Failure(std::string(fn) + ": no board component with id " + std::to_string(int_arg1));
            p = {cpnt->column_int(0), cpnt->column_text(1), int_arg1};
        } else if (int_arg2 == 1) {
            auto board = db.prepare("SELECT devicename FROM functional_device WHERE deviceid = ?");
            board.bind_all(int_arg1);
            if (!board.step()) throw Failure(std::string(fn) + ": no device with id " + std::to_string(int_arg1));
            p = {int_arg1, board->column_text(0), -1};
        } else {
            throw Failure(std::string(fn) +
                          ": the option must be 0 (the id is a board component's) or 1 (a board's "
                          "device id), not " +
                          std::to_string(int_arg2));
        }
        const std::string type = std::string(::ketral::store::arg(text_arg));
        const Board b = load_board(db, p.board_id, p.board_name);
        std::vector<char> targets(b.name.size(), 0);
        for (std::size_t k = 1; k < b.name.size(); ++k) targets[k] = b.type[k] == type;
        std::vector<graph::PathSet> sets;
        sets.push_back(paths_to(fn, b, node_of(b, p), targets, true));
        write_micro_rows(fn, b, sets, {ints1, ints2, n, listA, lenA, listB, lenB});
    });
}

}  // extern "C"
