// Batched updates of macro links, and the deletion of a link. A link is
// known by its two ends: the output port (node_from, port_nbrfrom, way 2,
// port_typefrom) and the input port (node_to, port_nbrto, way 1, port_typeto).
#include "store/updates/common.hpp"

namespace ketral::store::updates {

using namespace batch;

namespace {

inline constexpr int kInput = 1, kOutput = 2;

struct LinkRecord {
    std::string node_from, node_to, nbr_from, type_from, nbr_to, type_to;
    int flag = 0;            // bidirectional, lkused
    std::string text;        // link type, link info
    std::int64_t value = 0;  // the link type's id
    std::int64_t linkid = 0;
};

struct LinkState {
    DevicePorts ports;
    IdCache linktypes;
};

// What differs between the link updates: the new value's check and its column.
struct Bidirectional {
    static void check(const RecordRef &ref, sql::Connection &, LinkState &, LinkRecord &r) {
        ref.need_flag(r.flag, "bidirectional");
    }
    static void write(sql::Connection &db, const LinkRecord &r) {
        one_changed(db.run("UPDATE macro_link SET bidirectional = ? WHERE linkid = ?", r.flag, r.linkid));
    }
};

struct LkUsed {
    static void check(const RecordRef &ref, sql::Connection &, LinkState &, LinkRecord &r) {
        ref.need_flag(r.flag, "lkused");
    }
    static void write(sql::Connection &db, const LinkRecord &r) {
        one_changed(db.run("UPDATE macro_link SET lkused = ? WHERE linkid = ?", r.flag, r.linkid));
    }
};

struct LkType {
    static void check(const RecordRef &ref, sql::Connection &db, LinkState &s, LinkRecord &r) {
        ref.need_name(r.text, "a link type");
        r.value = batch::need_id(ref, db, s.linktypes, kLinkTypeId, r.text, "link type");
    }
    static void write(sql::Connection &db, const LinkRecord &r) {
        one_changed(db.run("UPDATE macro_link SET linktypeid = ? WHERE linkid = ?", r.value, r.linkid));
    }
};

// Free text; empty clears it.
struct LkInfo {
    static void check(const RecordRef &, sql::Connection &, LinkState &, LinkRecord &) {}
    static void write(sql::Connection &db, const LinkRecord &r) {
        one_changed(db.run("UPDATE macro_link SET link_info = ? WHERE linkid = ?", or_null(r.text), r.linkid));
    }
};

template <typename Field>
struct LinkOp {
    using Record = LinkRecord;
    using State = LinkState;
    static constexpr bool kChangesGraph = true;

    static void check(const RecordRef &ref, sql::Connection &db, State &s, Record &r) {
        check_link_ends(ref, r);
        Field::check(ref, db, s, r);
        const std::int64_t from = s.ports.port(ref, db, r.node_from, r.nbr_from, kOutput, r.type_from);
        const std::int64_t to = s.ports.port(ref, db, r.node_to, r.nbr_to, kInput, r.type_to);
        auto stmt = db.prepare("SELECT linkid FROM macro_link WHERE portidfrom = ? AND portidto = ?");
        stmt.bind_all(from, to);
        if (!stmt.step()) ref.refuse("no " + subject(r));
        r.linkid = stmt->column_int(0);
    }
    static void write(Writer &w, State &, Record &r) { Field::write(w.db, r); }
    static std::string subject(const Record &r) {
        return "link from " + port_label(r.nbr_from, kOutput, r.type_from, r.node_from) + " to " +
               port_label(r.nbr_to, kInput, r.type_to, r.node_to);
    }
};

LinkRecord link(const char *node_from, const char *node_to, const char *port_nbrfrom, const char *port_typefrom,
                const char *port_nbrto, const char *port_typeto) {
    LinkRecord r;
    r.node_from = arg(node_from);
    r.node_to = arg(node_to);
    r.nbr_from = arg(port_nbrfrom);
    r.type_from = arg(port_typefrom);
    r.nbr_to = arg(port_nbrto);
    r.type_to = arg(port_typeto);
    return r;
}

// A macro link (link_kind 0) or a micro link (1), by its id.
struct DeleteLinkOp {
    struct Record {
        int lkid, kind;
    };
    struct State {};
    static constexpr bool kChangesGraph = true;

    static void check(const RecordRef &ref, sql::Connection &db, State &, Record &r) {
        if (r.kind != 0 && r.kind != 1)
            ref.refuse("link_kind must be 0 (macro link) or 1 (micro link), not " + std::to_string(r.kind));
        if (!db.prepare(r.kind == 0 ? "SELECT 1 FROM macro_link WHERE linkid = ?"
                                    : "SELECT 1 FROM micro_link WHERE linkid = ?")
                 .bind(1, r.lkid)
                 .step())
            ref.refuse("no " + subject(r));
    }
    static void write(Writer &w, State &, Record &r) {
        one_changed(w.db.run(
            r.kind == 0 ? "DELETE FROM macro_link WHERE linkid = ?" : "DELETE FROM micro_link WHERE linkid = ?",
            r.lkid));
    }
    static std::string subject(const Record &r) {
        return std::string(r.kind == 0 ? "macro" : "micro") + " link with id " + std::to_string(r.lkid);
    }
};

}  // namespace

}  // namespace ketral::store::updates

using namespace ketral::store;
using namespace ketral::store::updates;

extern "C" {

int UpdateMultipleBidirectionalLinks(const char *node_from, const char *node_to, const char *port_nbrfrom,
                                     const char *port_typefrom, const char *port_nbrto, const char *port_typeto,
                                     int bidirectional, int first, int last, char *ErrMess) {
    return batch::call<LinkOp<Bidirectional>>(
        "UpdateMultipleBidirectionalLinks", ErrMess, Flags::Batch, first, last, [&] {
            LinkRecord r = link(node_from, node_to, port_nbrfrom, port_typefrom, port_nbrto, port_typeto);
            r.flag = bidirectional;
            return r;
        });
}

int UpdateMultipleLkUsedLinks(const char *node_from, const char *node_to, const char *port_nbrfrom,
                              const char *port_typefrom, const char *port_nbrto, const char *port_typeto, int lkused,
                              int first, int last, char *ErrMess) {
    return batch::call<LinkOp<LkUsed>>("UpdateMultipleLkUsedLinks", ErrMess, Flags::Batch, first, last, [&] {
        LinkRecord r = link(node_from, node_to, port_nbrfrom, port_typefrom, port_nbrto, port_typeto);
        r.flag = lkused;
        return r;
    });
}

int UpdateMultipleLkTypeLinks(const char *node_from, const char *node_to, const char *port_nbrfrom,
                              const char *port_typefrom, const char *port_nbrto, const char *port_typeto,
                              const char *lktype, int first, int last, char *ErrMess) {
    return batch::call<LinkOp<LkType>>("UpdateMultipleLkTypeLinks", ErrMess, Flags::Batch, first, last, [&] {
        LinkRecord r = link(node_from, node_to, port_nbrfrom, port_typefrom, port_nbrto, port_typeto);
        r.text = arg(lktype);
        return r;
    });
}

int UpdateMultipleLkInfoLinks(const char *node_from, const char *node_to, const char *port_nbrfrom,
                              const char *port_typefrom, const char *port_nbrto, const char *port_typeto,
                              const char *link_info, int first, int last, char *ErrMess) {
    return batch::call<LinkOp<LkInfo>>("UpdateMultipleLkInfoLinks", ErrMess, Flags::Batch, first, last, [&] {
        LinkRecord r = link(node_from, node_to, port_nbrfrom, port_typefrom, port_nbrto, port_typeto);
        r.text = arg(link_info);
        return r;
    });
}

int DeleteLinkRow(int lkid, int link_kind, char *ErrMess) {
    return batch::call_now<DeleteLinkOp>("DeleteLinkRow", ErrMess, [&] {
        return DeleteLinkOp::Record{lkid, link_kind};
    });
}

}  // extern "C"
