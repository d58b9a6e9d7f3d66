// The catalogs other records refer to by name: subsystems, device functions,
// simple and composite link types.
#include "store/batch/lookups.hpp"

namespace ketral::store::inserts {

using namespace batch;

namespace {

struct SubsystemOp {
    struct Record {
        std::string name, parent;
        std::int64_t parentid = 0;
    };
    struct State {};
    static constexpr bool kChangesGraph = false;

    static void check(const RecordRef &ref, sql::Connection &db, State &, Record &r) {
        ref.need_list_name(r.name, "a subsystem name");
        if (exists(db, kSubsystemId, r.name)) ref.refuse("subsystem '" + r.name + "' already exists");
        if (r.parent.empty()) return;
        IdCache once;
        r.parentid = once.find(db, kSubsystemId, r.parent);
        if (r.parentid == 0) ref.refuse("no subsystem named '" + r.parent + "' (the parent of '" + r.name + "')");
    }
    static void write(Writer &w, State &, Record &r) {
        auto stmt = w.db.prepare("INSERT INTO subsystem (system_name, parentid) VALUES (?, ?)");
        stmt.bind(1, r.name);
        if (r.parentid != 0) stmt.bind(2, r.parentid);
        stmt.run();
    }
    static std::string subject(const Record &r) { return "subsystem '" + r.name + "'"; }
};

// A record that is only a name, unique in its table: a device function, a
// simple link type. The facts of each kind are in its table row below.
struct NamedKind {
    const char *kind;    // "device function"
    const char *label;   // what the name is: "a function name"
    const char *select;  // its id by name
    const char *insert;  // the row from its name
};
inline constexpr NamedKind kFunctionKind{"device function", "a function name", kFunctionId,
                                         "INSERT INTO device_function (function_name) VALUES (?)"};
inline constexpr NamedKind kSimpleLinkTypeKind{"link type", "a link type name", kLinkTypeId,
                                               "INSERT INTO link_type (lktype) VALUES (?)"};

template <const NamedKind &K>
struct NameOp {
    struct Record {
        std::string name;
    };
    struct State {
        NamesInBatch names;
    };
    static constexpr bool kChangesGraph = false;

    static void check(const RecordRef &ref, sql::Connection &db, State &s, Record &r) {
        ref.need_list_name(r.name, K.label);
        if (exists(db, K.select, r.name)) ref.refuse(std::string(K.kind) + " '" + r.name + "' already exists");
        s.names.claim(ref, r.name, K.kind);
    }
    static void write(Writer &w, State &, Record &r) { w.db.run(K.insert, r.name); }
    static std::string subject(const Record &r) { return std::string(K.kind) + " '" + r.name + "'"; }
};
using FunctionOp = NameOp<kFunctionKind>;
using SimpleLinkTypeOp = NameOp<kSimpleLinkTypeKind>;

// A composite link type is made of simple ones, all known already.
struct CompositeLinkTypeOp {
    struct Record {
        std::string name, link_list;
        std::vector<std::int64_t> members;
    };
    struct State {
        NamesInBatch names;
        std::unordered_map<std::string, std::int64_t> simple;  // simple types met so far
    };
    static constexpr bool kChangesGraph = false;

    static void check(const RecordRef &ref, sql::Connection &db, State &s, Record &r) {
        ref.need_list_name(r.name, "a link type name");
        if (exists(db, kLinkTypeId, r.name)) ref.refuse("link type '" + r.name + "' already exists");
        const std::vector<std::string> names = split_list(r.link_list);
        if (names.empty()) ref.refuse("the link list of '" + r.name + "' names no link type");
        for (const std::string &member : names) r.members.push_back(simple_type(ref, db, s, member, r.link_list));
        s.names.claim(ref, r.name, "link type");
    }
    static void write(Writer &w, State &, Record &r) {
        const std::int64_t id =
            w.db.insert_id("INSERT INTO link_type (lktype) VALUES (?) RETURNING linktypeid", r.name);
        add_members(w.db, kLinkTypeMembers, id, r.members);
    }
    static std::string subject(const Record &r) { return "link type '" + r.name + "'"; }

private:
    static std::int64_t simple_type(const RecordRef &ref, sql::Connection &db, State &s, const std::string &name,
                                    const std::string &list) {
        const auto found = s.simple.find(name);
        if (found != s.simple.end()) return found->second;
        auto stmt = db.prepare(
            "SELECT t.linktypeid, "
            "CASE WHEN EXISTS (SELECT 1 FROM link_type_member m WHERE m.compositeid = t.linktypeid) THEN 1 ELSE 0 END "
            "FROM link_type t WHERE t.lktype = ?");
        stmt.bind(1, name);
        if (!stmt.step()) ref.refuse("no link type named '" + name + "' (link list '" + list + "')");
        if (stmt->column_int(1) != 0)
            ref.refuse("'" + name + "' is a composite link type: a composite is made of simple types");
        const std::int64_t id = stmt->column_int(0);
        s.simple.emplace(name, id);
        return id;
    }
};

}  // namespace

}  // namespace ketral::store::inserts

using namespace ketral::store;
using namespace ketral::store::inserts;

extern "C" {

int InsertSubsystem(const char *system_name, const char *parent_name, char *ErrMess) {
    return batch::call<SubsystemOp>("InsertSubsystem", ErrMess, Flags::None, 0, 1, [&] {
        return SubsystemOp::Record{std::string(arg(system_name)), std::string(arg(parent_name))};
    });
}

int InsertSimpleDeviceFunction(const char *function_name, int last_rows, char *ErrMess) {
    return batch::call<FunctionOp>("InsertSimpleDeviceFunction", ErrMess, Flags::LastOnly, 0, last_rows,
                                   [&] { return FunctionOp::Record{std::string(arg(function_name))}; });
}

int InsertSimpleLinkType(const char *lktype, int last_rows, char *ErrMess) {
    return batch::call<SimpleLinkTypeOp>("InsertSimpleLinkType", ErrMess, Flags::LastOnly, 0, last_rows,
                                         [&] { return SimpleLinkTypeOp::Record{std::string(arg(lktype))}; });
}

int InsertMultipleSimpleLinkTypes(const char *lktype, int first, int last, char *ErrMess) {
    return batch::call<SimpleLinkTypeOp>("InsertMultipleSimpleLinkTypes", ErrMess, Flags::Batch, first, last,
                                         [&] { return SimpleLinkTypeOp::Record{std::string(arg(lktype))}; });
}

int InsertCompositeLinkType(const char *lktype, const char *link_list, int last_rows, char *ErrMess) {
    return batch::call<CompositeLinkTypeOp>("InsertCompositeLinkType", ErrMess, Flags::LastOnly, 0, last_rows, [&] {
        return CompositeLinkTypeOp::Record{std::string(arg(lktype)), std::string(arg(link_list)), {}};
    });
}

int InsertMultipleCompositeLinkTypes(const char *lktype, const char *link_list, int first, int last, char *ErrMess) {
    return batch::call<CompositeLinkTypeOp>(
        "InsertMultipleCompositeLinkTypes", ErrMess, Flags::Batch, first, last, [&] {
            return CompositeLinkTypeOp::Record{std::string(arg(lktype)), std::string(arg(link_list)), {}};
        });
}

}  // extern "C"
