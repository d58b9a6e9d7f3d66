// The batch machinery every write goes through (inserts, updates, swaps and
// deletes). An operation describes its record once (an Op: a Record, a
// per-batch State, check() and write()); the machinery gathers a batch's
// records in Session::batch as they come, and when the batch closes checks
// and writes them all in one transaction, which holds the database's write
// lock from its start: what is written is what the checks saw. A failure
// discards the batch and names the record it came from; a closing call that
// finds the database busy keeps the batch.
//
// An Op provides:
//   using Record = ...;                     the record, owned
//   struct State { ... };                   what the batch remembers (names, ids)
//   static void check(const RecordRef &, sql::Connection &, State &, Record &);
//       refuses through RecordRef::refuse; may resolve ids into the record
//   static void write(Writer &, State &, Record &);
//       statements whose answer it does not need go through Connection::send
//   static std::string subject(const Record &);   "port 3 ... of 'sw07'"
//   static constexpr bool kChangesGraph;    whether the connectivity graph is stale after it
// and may provide
//   static void prefetch(sql::Connection &, State &, RecordList<Record> &);
//       reads at once, before the checks, what the checks of all records
//       would otherwise ask record by record (one statement, not thousands)
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "store/answer.hpp"
#include "store/guard.hpp"
#include "store/session.hpp"
#include "store/text.hpp"

namespace ketral::store::batch {

// How a function's records reach the database.
enum class Flags {
    Batch,     // first = 1 opens a batch, last = 1 writes it
    LastOnly,  // records gather until last = 1
    None,      // the record is written at once
};

// One record of a call: the operation and, when it belongs to a batch, its
// number there. Every refusal goes through it, so every message names both.
class RecordRef {
public:
    RecordRef(const char *operation, std::size_t number) : operation_(operation), number_(number) {}

    const char *operation() const { return operation_; }
    std::size_t number() const { return number_; }
    // "InsertPort: " or "InsertMultiplePorts: record 17: "
    std::string prefix() const;
    [[noreturn]] void refuse(std::string_view what) const;

    // A name (or number, or type) that must be given and has no '|'.
    void need_name(std::string_view value, std::string_view what) const;
    // An optional name: may be empty, has no '|'.
    void check_name(std::string_view value, std::string_view what) const;
    // A name that lists (comma-separated) refer to: as need_name, and no ',' nor blanks at its ends.
    void need_list_name(std::string_view value, std::string_view what) const;
    void need_flag(int value, std::string_view what) const;
    void need_way(int value, std::string_view what) const;

private:
    const char *operation_;
    std::size_t number_;  // 0: a record on its own
};

// The names of a comma-separated list, blanks around each trimmed, empty
// items skipped and repeated ones kept once, in their order.
std::vector<std::string> split_list(std::string_view list);

// The current time in UTC, ISO 8601: "2026-12-08T01:02:03Z".
std::string now_utc();

// "port 3 (way 2, type 'data') of 'sw07'"
std::string port_label(std::string_view nbr, int way, std::string_view type, std::string_view device);

// What a writer has at hand: the connection (inside the batch's transaction)
// and the one timestamp of the batch's history entries.
struct Writer {
    sql::Connection &db;
    std::string now;
};

// Remembers names already resolved to ids for the time of a batch.
class IdCache {
public:
    // The id of `name`, asking `select` (a statement with the name as its one
    // parameter and the id as column 0) the first time; 0 when there is none.
    std::int64_t find(sql::Connection &db, std::string_view select, std::string_view name);

private:
    std::unordered_map<std::string, std::int64_t> ids_;
};

// The names (keys) the records of a batch have claimed so far.
class NamesInBatch {
public:
    // Refuses `name` when an earlier record of the batch has it ("<what> 'x'
    // already comes in record 3 of this batch"), and claims it otherwise.
    void claim(const RecordRef &ref, std::string_view name, std::string_view what);
    // The same for a key that `label` describes ("component hardware 'S1' (type 'T')").
    void claim_key(const RecordRef &ref, std::string key, const std::string &label);
    bool contains(const std::string &name) const { return numbers_.count(name) != 0; }

private:
    std::unordered_map<std::string, std::size_t> numbers_;
};

// The open batch of an operation. No transaction stays open between its
// calls: its records wait in memory until it closes.
class OpenBatch : public PendingBatch {
public:
    explicit OpenBatch(const char *operation) : operation_(operation) {}
    const std::string &operation() const override { return operation_; }
    virtual std::size_t size() const = 0;

private:
    std::string operation_;
};

// Inside a write transaction: one more write, and one more change of the
// network when `network` (the stored routing and destination tables built
// before it are stale from then on, and every connectivity graph reloads).
void count_write(sql::Connection &db, bool network);

// Records in blocks that never move once written: a batch of a hundred
// thousand records grows without copying what it holds.
template <typename Record>
class RecordList {
public:
    static constexpr std::size_t kBlock = 1024;

    std::size_t size() const { return size_; }
    Record &operator[](std::size_t i) { return blocks_[i / kBlock][i % kBlock]; }
    void push_back(Record &&record) {
        if (size_ % kBlock == 0) {
            blocks_.emplace_back();
            blocks_.back().reserve(kBlock);
        }
        blocks_.back().push_back(std::move(record));
        ++size_;
    }
    void pop_back() {
        blocks_.back().pop_back();
        if (blocks_.back().empty()) blocks_.pop_back();
        --size_;
    }

private:
    std::vector<std::vector<Record>> blocks_;
    std::size_t size_ = 0;
};

template <typename Op>
class BatchOf final : public OpenBatch {
public:
    using OpenBatch::OpenBatch;
    std::size_t size() const override { return records.size(); }

    RecordList<typename Op::Record> records;  // as given
};

// Keys taken in advance for the rows a batch inserts (Connection::reserve_ids).
class ReservedIds {
public:
    ReservedIds() = default;
    explicit ReservedIds(std::vector<std::int64_t> ids) : ids_(std::move(ids)) {}
    std::int64_t take() { return ids_.at(next_++); }
    bool empty() const { return next_ == ids_.size(); }

private:
    std::vector<std::int64_t> ids_;
    std::size_t next_ = 0;
};

// The names `name_of` gives the records (valid UTF-8, not empty: the others
// are refused by the checks), each once, as a JSON array: the one parameter
// of Connection::text_list_rows, which reads them back as rows.
template <typename Record, typename NameOf>
std::string names_json(RecordList<Record> &records, NameOf &&name_of) {
    std::unordered_set<std::string_view> seen;
    std::string json = "[";
    for (std::size_t at = 0; at < records.size(); ++at)
        for (const std::string *name : name_of(records[at]))
            if (!name->empty() && is_utf8(*name) && seen.insert(*name).second) {
                if (json.size() > 1) json.push_back(',');
                answer::append_json_string(json, *name);
            }
    json.push_back(']');
    return json;
}

namespace detail {

// Checks the flags and the open batch for a record of `operation`: refuses a
// bad flag, a batch of another operation, first = 1 while one is open and
// first = 0 with none. Answers the open batch of this operation, or null.
OpenBatch *find_open(Session &session, const char *operation, Flags flags, int first, int last);

// Discards the session's batch unless kept (a failure leaves nothing behind).
class DiscardUnlessKept {
public:
    DiscardUnlessKept(Session &session, bool armed) : session_(session), armed_(armed) {}
    DiscardUnlessKept(const DiscardUnlessKept &) = delete;
    DiscardUnlessKept &operator=(const DiscardUnlessKept &) = delete;
    ~DiscardUnlessKept() {
        if (armed_) session_.batch.reset();
    }
    void keep() { armed_ = false; }

private:
    Session &session_;
    bool armed_;
};

// A database failure while writing record `number` (0: unnumbered) about
// `subject`: rethrown naming them when the data is at fault, as it is otherwise.
[[noreturn]] void rethrow_write_failure(const char *operation, std::size_t number, const std::string &subject);

// The closing call found the database busy: the batch is kept without the
// closing record, so that the same call can be sent again.
[[noreturn]] void busy_keeping(const char *operation, std::size_t kept);

template <typename Op, typename = void>
struct HasPrefetch : std::false_type {};
template <typename Op>
struct HasPrefetch<Op, std::void_t<decltype(&Op::prefetch)>> : std::true_type {};

// Checks and writes every record in one transaction, which holds the write
// lock from its start. The records stay as given (a busy close keeps them
// to be checked again); the checks resolve ids into copies.
template <typename Op>
void write_all(Session &session, BatchOf<Op> &batch, bool numbered) {
    sql::Connection &db = session.db();
    const char *operation = batch.operation().c_str();
    sql::Transaction transaction(db);
    typename Op::State state;
    if constexpr (HasPrefetch<Op>::value) Op::prefetch(db, state, batch.records);
    RecordList<typename Op::Record> checked;
    for (std::size_t at = 0; at < batch.records.size(); ++at) {
        checked.push_back(typename Op::Record(batch.records[at]));
        Op::check(RecordRef(operation, numbered ? at + 1 : 0), db, state, checked[at]);
    }
    Writer writer{db, now_utc()};
    db.take_failed_tag();
    std::size_t at = 0;
    try {
        for (; at < checked.size(); ++at) {
            db.tag_sent(at);
            Op::write(writer, state, checked[at]);
        }
        db.flush();
    } catch (const sql::DbError &e) {
        if (e.kind() == sql::DbErrorKind::Busy) throw;
        const std::size_t failed = db.take_failed_tag().value_or(at);
        rethrow_write_failure(operation, numbered ? failed + 1 : 0, Op::subject(checked[failed]));
    }
    count_write(db, Op::kChangesGraph);
    transaction.commit();
    if (Op::kChangesGraph) session.connectivity.reset();
}

}  // namespace detail

// One record of `operation`: checked against the database and the open
// batch, gathered, and written with the batch when `last` is 1.
template <typename Op>
void submit(Session &session, const char *operation, Flags flags, int first, int last, typename Op::Record record) {
    OpenBatch *open = detail::find_open(session, operation, flags, first, last);
    BatchOf<Op> *batch = nullptr;
    std::unique_ptr<BatchOf<Op>> single;  // a record written at once, never in the session
    if (open) {
        batch = dynamic_cast<BatchOf<Op> *>(open);
        if (!batch) throw Failure(std::string(operation) + ": internal error: the open batch is of another kind");
    } else if (flags == Flags::Batch || (flags == Flags::LastOnly && last == 0)) {
        auto fresh = std::make_unique<BatchOf<Op>>(operation);
        batch = fresh.get();
        session.batch = std::move(fresh);
    } else {
        single = std::make_unique<BatchOf<Op>>(operation);
        batch = single.get();
    }
    const bool in_session = !single;
    detail::DiscardUnlessKept discard(session, in_session);
    batch->records.push_back(std::move(record));
    if (last == 1) {
        try {
            detail::write_all(session, *batch, in_session);
        } catch (const sql::DbError &e) {
            if (e.kind() != sql::DbErrorKind::Busy || !in_session) throw;
            // Back to the batch as it was before this call.
            batch->records.pop_back();
            discard.keep();
            detail::busy_keeping(operation, batch->records.size());
        }
        if (in_session) session.batch.reset();
    }
    discard.keep();
}

// The whole exported function of a write: the guard, then one record built
// by make() through the machinery.
template <typename Op, typename Make>
int call(const char *operation, char *error, Flags flags, int first, int last, Make &&make) {
    return guarded({operation, error},
                   [&](Session &session) { submit<Op>(session, operation, flags, first, last, make()); });
}

// A write on its own (a single update, a swap, a delete), written at once.
template <typename Op, typename Make>
int call_now(const char *operation, char *error, Make &&make) {
    return call<Op>(operation, error, Flags::None, 0, 1, std::forward<Make>(make));
}

}  // namespace ketral::store::batch
