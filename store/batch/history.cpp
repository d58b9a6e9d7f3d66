#include "store/batch/history.hpp"

namespace ketral::store::batch {

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

}  // namespace ketral::store::batch
