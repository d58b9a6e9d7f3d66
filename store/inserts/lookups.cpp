#include "store/inserts/lookups.hpp"

namespace ketral::store::inserts {

bool exists(sql::Connection &db, std::string_view select, std::string_view name) {
    return db.prepare(select).bind(1, name).step();
}

std::int64_t need_id(const RecordRef &ref, sql::Connection &db, IdCache &cache, std::string_view select,
                     std::string_view name, std::string_view kind) {
    const std::int64_t id = cache.find(db, select, name);
    if (id == 0) ref.refuse("no " + std::string(kind) + " named '" + std::string(name) + "'");
    return id;
}

std::vector<std::int64_t> resolve_list(const RecordRef &ref, sql::Connection &db, IdCache &cache,
                                       std::string_view select, std::string_view list, std::string_view kind,
                                       std::string_view list_name) {
    std::vector<std::int64_t> ids;
    for (const std::string &name : split_list(list)) {
        const std::int64_t id = cache.find(db, select, name);
        if (id == 0)
            ref.refuse("no " + std::string(kind) + " named '" + name + "' (" + std::string(list_name) + " '" +
                       std::string(list) + "')");
        ids.push_back(id);
    }
    return ids;
}

std::string port_key(std::string_view nbr, int way, std::string_view type) {
    std::string key;
    key.reserve(nbr.size() + type.size() + 2);
    key.append(nbr).push_back('\0');
    key.push_back(static_cast<char>('0' + way));
    key.append(type);
    return key;
}

void append_history(Writer &writer, const HistoryEntry &e) {
    auto stmt = writer.db.prepare(
        "INSERT INTO history (hw_kind, hwid, serialnb, position_id, position_name, status, location, event_date, "
        "comments) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    stmt.bind_all(e.kind.history_kind, e.hwid, e.serialnb);
    if (e.position_id != 0) {
        stmt.bind(4, e.position_id).bind(5, e.position_name);
    }
    stmt.bind(6, e.status).bind(7, or_null(e.location)).bind(8, writer.now).bind(9, or_null(e.comments));
    stmt.run();
}

}  // namespace ketral::store::inserts
