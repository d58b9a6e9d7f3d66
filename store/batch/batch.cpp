// The parts of the batch machinery that are not templates: the refusals of
// flags and open batches, the name checks, lists, timestamps.
#include "store/batch/batch.hpp"

#include <cctype>
#include <ctime>

namespace ketral::store::batch {

namespace {

bool is_blank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

}  // namespace

std::string RecordRef::prefix() const {
    std::string out = std::string(operation_) + ": ";
    if (number_ > 0) out += "record " + std::to_string(number_) + ": ";
    return out;
}

void RecordRef::refuse(std::string_view what) const { throw Failure(prefix() + std::string(what)); }

void RecordRef::check_name(std::string_view value, std::string_view what) const {
    if (!is_utf8(value)) {
        std::string shown;
        append_utf8(shown, value);
        refuse(std::string(what) + " is not valid UTF-8: " + quoted(shown));
    }
    if (value.find('|') != std::string_view::npos)
        refuse("'|' is not allowed in " + std::string(what) + ": " + quoted(value));
    if (value.substr(0, kNoRowsMarker.size()) == kNoRowsMarker)
        refuse(std::string(what) + " cannot begin with " + std::string(kNoRowsMarker) +
               ", the answer of a query that finds nothing: " + quoted(value));
}

void RecordRef::need_name(std::string_view value, std::string_view what) const {
    if (value.empty()) refuse(std::string(what) + " is needed");
    check_name(value, what);
}

void RecordRef::need_list_name(std::string_view value, std::string_view what) const {
    need_name(value, what);
    if (value.find(',') != std::string_view::npos)
        refuse("',' is not allowed in " + std::string(what) + " (lists separate names with it): " + quoted(value));
    if (is_blank(value.front()) || is_blank(value.back()))
        refuse(std::string(what) + " cannot begin or end with a blank: " + quoted(value));
}

void RecordRef::need_flag(int value, std::string_view what) const {
    if (const std::string problem = flag_problem(what, value); !problem.empty()) refuse(problem);
}

void RecordRef::need_way(int value, std::string_view what) const {
    if (const std::string problem = way_problem(what, value); !problem.empty()) refuse(problem);
}

std::vector<std::string> split_list(std::string_view list) {
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    while (true) {
        const auto comma = list.find(',');
        std::string_view item = list.substr(0, comma);
        while (!item.empty() && is_blank(item.front())) item.remove_prefix(1);
        while (!item.empty() && is_blank(item.back())) item.remove_suffix(1);
        if (!item.empty() && seen.emplace(item).second) names.emplace_back(item);
        if (comma == std::string_view::npos) break;
        list.remove_prefix(comma + 1);
    }
    return names;
}

std::string now_utc() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    const std::size_t n = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return std::string(text, n);
}

std::string port_label(std::string_view nbr, int way, std::string_view type, std::string_view device) {
    return "port " + std::string(nbr) + " (way " + std::to_string(way) + ", type " + quoted(type) + ") of " +
           quoted(device);
}

std::int64_t IdCache::find(sql::Connection &db, std::string_view select, std::string_view name) {
    std::string key(name);
    const auto found = ids_.find(key);
    if (found != ids_.end()) return found->second;
    auto stmt = db.prepare(select);
    stmt.bind(1, name);
    const std::int64_t id = stmt.step() ? stmt->column_int(0) : 0;
    // Only names that exist are kept: a missing one fails its record, and the batch with it.
    if (id != 0) ids_.emplace(std::move(key), id);
    return id;
}

void NamesInBatch::claim(const RecordRef &ref, std::string_view name, std::string_view what) {
    const auto [at, fresh] = numbers_.emplace(std::string(name), ref.number());
    if (!fresh)
        ref.refuse(std::string(what) + " " + quoted(name) + " already comes in record " + std::to_string(at->second) +
                   " of this batch");
}

void NamesInBatch::claim_key(const RecordRef &ref, std::string key, const std::string &label) {
    const auto [at, fresh] = numbers_.emplace(std::move(key), ref.number());
    if (!fresh) ref.refuse(label + " already comes in record " + std::to_string(at->second) + " of this batch");
}

void count_write(sql::Connection &db, bool network) {
    db.run("UPDATE database_state SET writes = writes + 1, network = network + ?", network ? 1 : 0);
}

namespace detail {

void busy_keeping(const char *operation, std::size_t kept) {
    throw Failure(std::string(operation) +
                  ": the database is busy (locked by another connection); the batch is kept (" + std::to_string(kept) +
                  (kept == 1 ? " record" : " records") + "): send this record again to write it");
}

OpenBatch *find_open(Session &session, const char *operation, Flags flags, int first, int last) {
    const RecordRef ref(operation, 0);
    if (flags == Flags::Batch) ref.need_flag(first, "first");
    if (flags != Flags::None) ref.need_flag(last, "last");
    if (session.batch) {
        const std::string &open = session.batch->operation();
        auto *ours = dynamic_cast<OpenBatch *>(session.batch.get());
        const auto count = [ours] {
            if (!ours) return std::string();
            return " (" + std::to_string(ours->size()) + (ours->size() == 1 ? " record)" : " records)");
        };
        if (open != operation)
            ref.refuse("a batch of " + open + " is open" + count() +
                       ": close it with last = 1 (or disconnect to discard it) before another operation");
        if (flags == Flags::Batch && first == 1)
            ref.refuse("a batch of " + open + " is already open" + count() +
                       ": close it with last = 1 (or disconnect to discard it) before opening another");
        return ours;
    }
    if (flags == Flags::Batch && first == 0) ref.refuse("no batch is open: its first record comes with first = 1");
    return nullptr;
}

void rethrow_write_failure(const char *operation, std::size_t number, const std::string &subject) {
    try {
        throw;
    } catch (const sql::DbError &e) {
        switch (e.kind()) {
        case sql::DbErrorKind::Duplicate:
        case sql::DbErrorKind::MissingReference:
        case sql::DbErrorKind::MissingValue:
        case sql::DbErrorKind::InvalidValue:
            // Changed by another connection since the record was checked.
            throw Failure(RecordRef(operation, number).prefix() + e.message_for(subject));
        default: throw;
        }
    }
}

}  // namespace detail

}  // namespace ketral::store::batch
