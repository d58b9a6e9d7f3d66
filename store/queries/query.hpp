// What the query functions share: a statement bound with its keys, read into
// the answer writers (store/answer.hpp).
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "store/answer.hpp"
#include "store/guard.hpp"
#include "store/text.hpp"

namespace ketral::store::queries {

// A query answering records: every column of a row becomes one JSON key,
// named by the column (alias), but for its last `extra_columns`, which are
// left to the row query's Extra. The keys are read from the statement once.
class RecordSql {
public:
    explicit RecordSql(std::string sql, int extra_columns = 0) : sql_(std::move(sql)), extra_(extra_columns) {}
    const std::string &sql() const { return sql_; }
    const answer::JsonKeys &keys(const sql::Statement &stmt);

private:
    std::string sql_;
    int extra_;
    std::unique_ptr<answer::JsonKeys> keys_;
};

// The JSON text being built by the current call; reused so that a call
// allocates nothing once warm (calls are serialized by the guard's lock).
std::string &scratch();

// Runs `sql` with `args` bound, one entry per row:
// each row's first column as a text item / as an integer,
// or each row as a JSON object item.
template <typename... Args>
answer::PackedList names(sql::Connection &db, std::string_view sql, const Args &...args) {
    answer::PackedList list;
    auto stmt = db.prepare(sql);
    stmt.bind_all(args...);
    while (stmt.step()) list.add(stmt->column_view(0));
    return list;
}

template <typename... Args>
std::vector<int> ids(sql::Connection &db, std::string_view sql, const Args &...args) {
    std::vector<int> list;
    auto stmt = db.prepare(sql);
    stmt.bind_all(args...);
    while (stmt.step()) list.push_back(static_cast<int>(stmt->column_int(0)));
    return list;
}

template <typename... Args>
answer::PackedList records(sql::Connection &db, RecordSql &query, const Args &...args) {
    answer::PackedList list;
    auto stmt = db.prepare(query.sql());
    stmt.bind_all(args...);
    std::string &item = scratch();
    while (stmt.step()) {
        item.clear();
        answer::JsonObject(item).columns(*stmt, query.keys(*stmt)).close();
        list.add(item);
    }
    return list;
}

// A list stored joined with "," (a device's lists), sorted; NULL reads as "".
std::string sorted_list(std::string_view joined_list);

// The items of `sql` (its first column) sorted and joined.
template <typename... Args>
std::string joined(sql::Connection &db, std::string_view sql, const Args &...args) {
    std::string first;
    std::vector<std::string> items;  // used from the second item on
    auto stmt = db.prepare(sql);
    stmt.bind_all(args...);
    for (bool none = true; stmt.step(); none = false) {
        if (none) {
            first.assign(stmt->column_view(0));
            continue;
        }
        if (items.empty()) items.push_back(std::move(first));
        items.emplace_back(stmt->column_view(0));
    }
    return items.empty() ? first : join_sorted(items);
}

// Keys a row query adds after its columns (lists read by the record's id).
using Extra = void (*)(Session &, answer::JsonObject &, const sql::Statement &row);

// A row query: the first row of `query` (args bound) as one JSON object,
// `extra` (when given) adding keys after the columns; "NO_ROWS_SELECTED"
// when there is no row.
template <typename... Args>
void answer_record(Session &s, const char *fn, RecordSql &query, Extra extra, int *length, char *result,
                   const Args &...args) {
    auto stmt = s.db().prepare(query.sql());
    stmt.bind_all(args...);
    if (!stmt.step()) return answer::write_empty(fn, length, result);
    std::string &text = scratch();
    text.clear();
    answer::JsonObject object(text);
    object.columns(*stmt, query.keys(*stmt));
    if (extra) extra(s, object, *stmt);
    object.close();
    answer::write_text(fn, text, length, result);
}

// The whole of a row query's contract function.
template <typename... Args>
int row_query(const char *fn, char *error, RecordSql &query, Extra extra, int *length, char *result,
              const Args &...args) {
    return guarded({fn, error}, [&](Session &s) { answer_record(s, fn, query, extra, length, result, args...); });
}

}  // namespace ketral::store::queries
