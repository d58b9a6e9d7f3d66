#include "store/batch/lookups.hpp"

namespace ketral::store::batch {

bool exists(sql::Connection &db, std::string_view select, std::string_view name) {
    return db.prepare(select).bind(1, name).step();
}

std::string with_name_list(sql::Connection &db, std::string_view select) {
    std::string sql(select);
    replace_all(sql, "{names}", db.text_list_rows());
    return sql;
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

void add_members(sql::Connection &db, const MemberTable &table, std::int64_t owner,
                 const std::vector<std::int64_t> &members) {
    for (std::int64_t member : members) db.append(table.rows, owner, member);
}

void replace_members(sql::Connection &db, const MemberTable &table, std::int64_t owner,
                     const std::vector<std::int64_t> &members) {
    // Sent, not appended: a batch may replace one owner's members twice.
    db.send(table.clear, owner);
    for (std::int64_t member : members) db.send(table.rows.insert_sql(), owner, member);
}

void one_changed(std::int64_t changes) {
    if (changes == 0) throw sql::own_error(sql::DbErrorKind::MissingReference, "the record checked is gone");
}

}  // namespace ketral::store::batch
