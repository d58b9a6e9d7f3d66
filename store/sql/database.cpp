// The backend-neutral parts of the SQL layer: the statement cache and the
// RAII owners built on the virtual interface.
#include "store/sql/database.hpp"

#include <algorithm>

#include "store/text.hpp"

namespace ketral::store::sql {

BulkTable::BulkTable(const char *table, const char *columns, int order, bool standalone)
    : width_(listed_columns(columns)),
      row_("(?"),
      insert_(std::string("INSERT INTO ") + table + " (" + columns + ") VALUES "),
      copy_(std::string("COPY ") + table + " (" + columns + ") FROM STDIN"),
      order_(order),
      standalone_(standalone) {
    for (std::size_t k = 1; k < width_; ++k) row_ += ", ?";
    row_ += ")";
    insert_ += row_;
}

std::string BulkTable::insert_sql(std::size_t rows) const {
    std::string sql = insert_;
    for (std::size_t k = 1; k < rows; ++k) sql.append(", ").append(row_);
    return sql;
}

void CopyRow::add(std::string_view value) {
    if (!is_utf8(value)) throw own_error(DbErrorKind::InvalidText, "a text argument");
    if (value.find('\0') != std::string_view::npos)
        throw DbError(DbErrorKind::InvalidValue, 0, "a text holds a NUL byte", "a text with a NUL byte");
    field();
    for (const char c : value) {
        switch (c) {
        case '\\': text_ += "\\\\"; break;
        case '\t': text_ += "\\t"; break;
        case '\n': text_ += "\\n"; break;
        case '\r': text_ += "\\r"; break;
        default: text_.push_back(c);
        }
    }
}

void CopyRow::add(const char *value) {
    if (value)
        add(std::string_view(value));
    else
        add(nullptr);
}

void CopyRow::add(std::nullptr_t) {
    field();
    text_ += "\\N";
}

const std::string &CopyRow::end() {
    text_.push_back('\n');
    return text_;
}

Prepared::Prepared(Statement *stmt, bool *in_use, std::unique_ptr<Statement> owned)
    : stmt_(stmt), in_use_(in_use), owned_(std::move(owned)) {}

Prepared::Prepared(Prepared &&other) noexcept
    : stmt_(other.stmt_), in_use_(other.in_use_), owned_(std::move(other.owned_)) {
    other.stmt_ = nullptr;
    other.in_use_ = nullptr;
}

Prepared::~Prepared() {
    if (!stmt_) return;
    stmt_->reset();
    if (in_use_) *in_use_ = false;
}

Prepared &Prepared::bind(int index, std::string_view value) {
    if (!is_utf8(value)) throw own_error(DbErrorKind::InvalidText, "a text argument");
    stmt_->bind_text(index, value);
    return *this;
}

Prepared &Prepared::bind(int index, const char *value) {
    if (value) return bind(index, std::string_view(value));
    stmt_->bind_null(index);
    return *this;
}

std::int64_t Prepared::run_returning_id() {
    if (!stmt_->step()) throw own_error(DbErrorKind::Other, "an insert answered no new key: " + stmt_->sql());
    const std::int64_t id = stmt_->column_int(0);
    run();
    return id;
}

Prepared Connection::prepare(std::string_view sql) {
    auto found = cache_.find(sql);
    if (found == cache_.end()) {
        auto entry = std::make_unique<Entry>();
        entry->sql.assign(sql);
        entry->stmt = compile(entry->sql, true);
        const std::string_view key = entry->sql;
        found = cache_.emplace(key, std::move(entry)).first;
    }
    Entry &entry = *found->second;
    if (entry.in_use) {
        // The same text is still stepping further up the stack: this use gets its own.
        std::unique_ptr<Statement> own = compile(sql, false);
        Statement *raw = own.get();
        return Prepared(raw, nullptr, std::move(own));
    }
    entry.in_use = true;
    return Prepared(entry.stmt.get(), &entry.in_use, nullptr);
}

std::size_t listed_columns(std::string_view columns) {
    return static_cast<std::size_t>(std::count(columns.begin(), columns.end(), ',')) + 1;
}

std::string changed_rows(std::string_view statement,
                         const std::function<std::string(std::string_view side, std::string_view column)> &rows) {
    std::string out;
    std::size_t at = 0;
    for (auto open = statement.find('{'); open != std::string_view::npos; open = statement.find('{', at)) {
        const auto dot = statement.find('.', open), close = statement.find('}', open);
        const std::string_view side = statement.substr(open + 1, dot - open - 1);
        if (close == std::string_view::npos || dot > close || (side != "new" && side != "old"))
            throw std::logic_error("a trigger statement with a stray '{': " + std::string(statement));
        out.append(statement.substr(at, open - at)).append(rows(side, statement.substr(dot + 1, close - dot - 1)));
        at = close + 1;
    }
    return out.append(statement.substr(at));
}

void Connection::insert_int_rows(const BulkTable &table, const std::vector<std::int64_t> &values) {
    // A statement of many rows spares most of the work of one statement per
    // row; the rows left over go one by one.
    constexpr std::size_t kRowsPerInsert = 64;
    const std::size_t width = table.width(), rows = values.size() / width;
    // INSERTs of `count` rows each, for rows [from, to).
    const auto insert_rows = [&](std::size_t count, std::size_t from, std::size_t to) {
        auto insert = prepare(table.insert_sql(count));
        for (std::size_t at = from * width; at < to * width; at += count * width) {
            for (std::size_t i = 0; i < count * width; ++i) insert->bind_int(static_cast<int>(i + 1), values[at + i]);
            insert.run();
            insert.reset();
        }
    };
    const std::size_t grouped = rows - rows % kRowsPerInsert;
    if (grouped > 0) insert_rows(kRowsPerInsert, 0, grouped);
    if (grouped < rows) insert_rows(1, grouped, rows);
}

void Connection::clear_statement_cache() {
    for (auto it = cache_.begin(); it != cache_.end();) {
        if (it->second->in_use)
            ++it;
        else
            it = cache_.erase(it);
    }
}

Transaction::~Transaction() {
    if (!open_) return;
    try {
        db_.rollback();
    } catch (...) {
        // The connection may already have rolled back by itself; nothing to undo.
    }
}

void Transaction::commit() {
    db_.commit();
    open_ = false;
}

}  // namespace ketral::store::sql
