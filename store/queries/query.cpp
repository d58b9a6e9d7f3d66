#include "store/queries/query.hpp"

namespace ketral::store::queries {

const std::vector<std::string> &RecordSql::keys(const sql::Statement &stmt) {
    // The same SQL text always names the same columns, whichever connection compiled it.
    if (keys_.empty()) {
        const int n = stmt.column_count();
        keys_.reserve(static_cast<size_t>(n));
        for (int c = 0; c < n; ++c) keys_.push_back(stmt.column_name(c));
    }
    return keys_;
}

std::string &scratch() {
    static std::string text;
    return text;
}

}  // namespace ketral::store::queries
