#include "store/batch/history.hpp"

namespace ketral::store::batch {

void append_history(Writer &writer, const HistoryEntry &e) {
    // Nothing refers to the history: its rows wait until the transaction's end.
    static const sql::BulkTable kHistory(
        "history", "hw_kind, hwid, serialnb, position_id, position_name, status, location, event_date, comments", 9,
        true);
    const bool positioned = e.position_id != 0;
    writer.db.append(kHistory, e.kind.history_kind, e.hwid, e.serialnb,
                     positioned ? std::optional<std::int64_t>(e.position_id) : std::nullopt,
                     positioned ? std::optional<std::string_view>(e.position_name) : std::nullopt, e.status,
                     or_null(e.location), writer.now, or_null(e.comments));
}

}  // namespace ketral::store::batch
