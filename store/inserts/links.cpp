// Macro links between the ports of devices, and micro links on a board
// between its components and the board itself.
#include <array>
#include <limits>

#include "store/batch/lookups.hpp"

namespace ketral::store::inserts {

using namespace batch;

namespace {

inline constexpr int kInput = 1, kOutput = 2;

// A link goes from an output port (way 2) to an input port (way 1); each
// port carries at most one link in its direction.
struct MacroLinkOp {
    struct Record {
        std::string node_from, node_to, nbr_from, nbr_to, type_from, type_to, lktype, link_info;
        int bidirectional;
        std::int64_t port_from = 0, port_to = 0, linktype = 0;
    };
    static constexpr std::size_t kFree = std::numeric_limits<std::size_t>::max();
    struct Port {
        std::int64_t id;
        std::size_t linked_by;  // kFree, 0: a link in the database, N: record N of the batch
    };
    struct State {
        std::unordered_map<std::string, std::unordered_map<std::string, Port>> devices;  // name -> key -> port
        IdCache linktypes;
    };
    static constexpr bool kChangesGraph = true;

    static void check(const RecordRef &ref, sql::Connection &db, State &s, Record &r) {
        check_link_ends(ref, r);
        ref.need_name(r.lktype, "a link type");
        ref.need_flag(r.bidirectional, "bidirectional");
        r.linktype = need_id(ref, db, s.linktypes, kLinkTypeId, r.lktype, "link type");
        Port &from = end_port(ref, db, s, r.node_from, r.nbr_from, kOutput, r.type_from);
        Port &to = end_port(ref, db, s, r.node_to, r.nbr_to, kInput, r.type_to);
        free_port(ref, from, r.node_from, r.nbr_from, kOutput, r.type_from);
        free_port(ref, to, r.node_to, r.nbr_to, kInput, r.type_to);
        from.linked_by = to.linked_by = ref.number();
        r.port_from = from.id;
        r.port_to = to.id;
    }
    static void write(Writer &w, State &, Record &r) {
        static const sql::BulkTable kLinks("macro_link", "portidfrom, portidto, linktypeid, bidirectional, link_info",
                                           3);
        w.db.append(kLinks, r.port_from, r.port_to, r.linktype, r.bidirectional, or_null(r.link_info));
    }
    // Every device the records name at either end, with its ports, in one statement.
    static void prefetch(sql::Connection &db, State &s, RecordList<Record> &records) {
        auto stmt = db.prepare(with_name_list(
            db, std::string("SELECT d.devicename, ") + kPortsOfDevice + "WHERE d.devicename IN ({names})"));
        stmt.bind(1, names_json(records, [](const Record &r) { return std::array{&r.node_from, &r.node_to}; }));
        while (stmt.step()) add_port(s.devices[stmt->column_text(0)], *stmt, 1);
    }
    static std::string subject(const Record &r) {
        return "the link from " + port_label(r.nbr_from, kOutput, r.type_from, r.node_from) + " to " +
               port_label(r.nbr_to, kInput, r.type_to, r.node_to);
    }

private:
    // The ports of a device with whether each carries a link, read once per batch.
    static std::unordered_map<std::string, Port> &device_ports(const RecordRef &ref, sql::Connection &db, State &s,
                                                               const std::string &name) {
        const auto found = s.devices.find(name);
        if (found != s.devices.end()) return found->second;
        auto stmt = db.prepare(std::string("SELECT ") + kPortsOfDevice + "WHERE d.devicename = ?");
        stmt.bind(1, name);
        if (!stmt.step()) ref.refuse("no device named '" + name + "'");
        std::unordered_map<std::string, Port> ports;
        do add_port(ports, *stmt, 0);
        while (stmt.step());
        return s.devices.emplace(name, std::move(ports)).first->second;
    }

    // A device's ports, each with whether it carries a link (the columns
    // after the SELECT, from column `at`: device id, port id, number, way,
    // type, linked); a device without ports has one row of NULLs.
    static constexpr const char *kPortsOfDevice =
        "d.deviceid, p.portid, p.port_nbr, p.port_way, p.port_type, "
        "CASE WHEN p.port_way = 2 AND EXISTS (SELECT 1 FROM macro_link m WHERE m.portidfrom = p.portid) THEN 1 "
        "WHEN p.port_way = 1 AND EXISTS (SELECT 1 FROM macro_link m WHERE m.portidto = p.portid) THEN 1 ELSE 0 END "
        "FROM functional_device d LEFT JOIN port p ON p.deviceid = d.deviceid ";
    static void add_port(std::unordered_map<std::string, Port> &ports, const sql::Statement &row, int at) {
        if (row.column_is_null(at + 1)) return;
        ports.emplace(
            port_key(row.column_view(at + 2), static_cast<int>(row.column_int(at + 3)), row.column_view(at + 4)),
            Port{row.column_int(at + 1), row.column_int(at + 5) != 0 ? 0 : kFree});
    }

    static Port &end_port(const RecordRef &ref, sql::Connection &db, State &s, const std::string &device,
                          const std::string &nbr, int way, const std::string &type) {
        auto &ports = device_ports(ref, db, s, device);
        const auto found = ports.find(port_key(nbr, way, type));
        if (found != ports.end()) return found->second;
        const int other = way == kOutput ? kInput : kOutput;
        if (ports.count(port_key(nbr, other, type)))
            ref.refuse(port_label(nbr, other, type, device) +
                       (way == kOutput ? " is an input: a link starts at an output port (way 2)"
                                       : " is an output: a link ends at an input port (way 1)"));
        ref.refuse(port_label(nbr, way, type, device) + " does not exist");
    }

    static void free_port(const RecordRef &ref, const Port &port, const std::string &device, const std::string &nbr,
                          int way, const std::string &type) {
        if (port.linked_by == kFree) return;
        ref.refuse(port_label(nbr, way, type, device) +
                   (port.linked_by == 0
                        ? " already carries a link"
                        : " already carries the link of record " + std::to_string(port.linked_by) + " of this batch"));
    }
};

// A link on a board: each end is a component (by its name) or the board
// itself (a functional device, by its name), both on the same board.
struct MicroLinkOp {
    struct End {
        bool component;
        std::int64_t id;
        std::int64_t board;
    };
    struct Record {
        std::string node_from, node_to;
        int port_from, port_to;
        std::string lktype;
        int bidirectional;
        End from{}, to{};
        std::int64_t linktype = 0;
    };
    struct State {
        std::unordered_map<std::string, End> ends;
        // (component?, id, port) -> record, per direction
        std::unordered_map<std::string, std::size_t> used[2];
        IdCache linktypes;
    };
    static constexpr bool kChangesGraph = false;

    static void check(const RecordRef &ref, sql::Connection &db, State &s, Record &r) {
        ref.need_name(r.node_from, "a component or board name (node_from)");
        ref.need_name(r.node_to, "a component or board name (node_to)");
        ref.need_name(r.lktype, "a link type");
        ref.need_flag(r.bidirectional, "bidirectional");
        if (r.port_from < 0 || r.port_to < 0)
            ref.refuse("port numbers of a micro link cannot be negative (" + std::to_string(r.port_from) + ", " +
                       std::to_string(r.port_to) + ")");
        r.linktype = need_id(ref, db, s.linktypes, kLinkTypeId, r.lktype, "link type");
        r.from = end(ref, db, s, r.node_from);
        r.to = end(ref, db, s, r.node_to);
        if (r.from.board != r.to.board)
            ref.refuse("'" + r.node_from + "' and '" + r.node_to + "' are not on the same board");
        claim_port(ref, db, s, 0, r.from, r.port_from, r.node_from);
        claim_port(ref, db, s, 1, r.to, r.port_to, r.node_to);
    }
    static void write(Writer &w, State &, Record &r) {
        auto stmt = w.db.prepare(
            "INSERT INTO micro_link (cpntfrom, motherboardfrom, port_nbrfrom, cpntto, motherboardto, port_nbrto, "
            "linktypeid, bidirectional) VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
        stmt.bind(r.from.component ? 1 : 2, r.from.id).bind(3, r.port_from);
        stmt.bind(r.to.component ? 4 : 5, r.to.id).bind(6, r.port_to);
        stmt.bind(7, r.linktype).bind(8, r.bidirectional).run();
    }
    static std::string subject(const Record &r) {
        return "the micro link from port " + std::to_string(r.port_from) + " of '" + r.node_from + "' to port " +
               std::to_string(r.port_to) + " of '" + r.node_to + "'";
    }

private:
    static End end(const RecordRef &ref, sql::Connection &db, State &s, const std::string &name) {
        const auto found = s.ends.find(name);
        if (found != s.ends.end()) return found->second;
        auto component = db.prepare("SELECT cpntid, motherboardid FROM board_cpnt WHERE cpntname = ?");
        component.bind(1, name);
        const bool is_component = component.step();
        auto board = db.prepare(kDeviceId);
        board.bind(1, name);
        const bool is_board = board.step();
        if (is_component && is_board)
            ref.refuse("'" + name + "' names both a board component and a device: micro links cannot tell them apart");
        if (!is_component && !is_board) ref.refuse("no board component or device named '" + name + "'");
        const End e = is_component ? End{true, component->column_int(0), component->column_int(1)}
                                   : End{false, board->column_int(0), board->column_int(0)};
        s.ends.emplace(name, e);
        return e;
    }

    // A port of a component or board carries at most one micro link in each direction.
    static void claim_port(const RecordRef &ref, sql::Connection &db, State &s, int direction, const End &e, int port,
                           const std::string &name) {
        static const char *const kUsed[2][2] = {
            {"SELECT 1 FROM micro_link WHERE motherboardfrom = ? AND port_nbrfrom = ?",
             "SELECT 1 FROM micro_link WHERE cpntfrom = ? AND port_nbrfrom = ?"},
            {"SELECT 1 FROM micro_link WHERE motherboardto = ? AND port_nbrto = ?",
             "SELECT 1 FROM micro_link WHERE cpntto = ? AND port_nbrto = ?"},
        };
        const char *side =
            direction == 0 ? " already carries a micro link from it" : " already carries a micro link to it";
        const std::string label = "port " + std::to_string(port) + " of '" + name + "'";
        if (db.prepare(kUsed[direction][e.component ? 1 : 0]).bind_all(e.id, port).step()) ref.refuse(label + side);
        std::string key = (e.component ? "c" : "b") + std::to_string(e.id) + ":" + std::to_string(port);
        const auto [at, fresh] = s.used[direction].emplace(std::move(key), ref.number());
        if (!fresh) ref.refuse(label + side + " in record " + std::to_string(at->second) + " of this batch");
    }
};

MacroLinkOp::Record macro_link(const char *node_from, const char *node_to, const char *port_nbrfrom,
                               const char *port_nbrto, const char *port_typefrom, const char *port_typeto,
                               const char *lktype, const char *link_info, int bidirectional) {
    MacroLinkOp::Record r;
    r.node_from = arg(node_from);
    r.node_to = arg(node_to);
    r.nbr_from = arg(port_nbrfrom);
    r.nbr_to = arg(port_nbrto);
    r.type_from = arg(port_typefrom);
    r.type_to = arg(port_typeto);
    r.lktype = arg(lktype);
    r.link_info = arg(link_info);
    r.bidirectional = bidirectional;
    return r;
}

}  // namespace

}  // namespace ketral::store::inserts

using namespace ketral::store;
using namespace ketral::store::inserts;

extern "C" {

int InsertMacroLink(const char *node_from, const char *node_to, const char *port_nbrfrom, const char *port_nbrto,
                    const char *port_typefrom, const char *port_typeto, const char *lktype, const char *link_info,
                    int bidirectional, int last_rows, char *ErrMess) {
    return batch::call<MacroLinkOp>("InsertMacroLink", ErrMess, Flags::LastOnly, 0, last_rows, [&] {
        return macro_link(node_from, node_to, port_nbrfrom, port_nbrto, port_typefrom, port_typeto, lktype, link_info,
                          bidirectional);
    });
}

int InsertMultipleMacroLinks(const char *node_from, const char *node_to, const char *port_nbrfrom,
                             const char *port_nbrto, const char *port_typefrom, const char *port_typeto,
                             const char *lktype, const char *link_info, int bidirectional, int first, int last,
                             char *ErrMess) {
    return batch::call<MacroLinkOp>("InsertMultipleMacroLinks", ErrMess, Flags::Batch, first, last, [&] {
        return macro_link(node_from, node_to, port_nbrfrom, port_nbrto, port_typefrom, port_typeto, lktype, link_info,
                          bidirectional);
    });
}

int InsertMultipleMicroLinks(const char *node_from, const char *node_to, int port_nbrfrom, int port_nbrto,
                             const char *lktype, int bidirectional, int first, int last, char *ErrMess) {
    return batch::call<MicroLinkOp>("InsertMultipleMicroLinks", ErrMess, Flags::Batch, first, last, [&] {
        MicroLinkOp::Record r;
        r.node_from = arg(node_from);
        r.node_to = arg(node_to);
        r.port_from = port_nbrfrom;
        r.port_to = port_nbrto;
        r.lktype = arg(lktype);
        r.bidirectional = bidirectional;
        return r;
    });
}

}  // extern "C"
