#include "store/queries/query.hpp"

namespace ketral::store::queries {

const answer::JsonKeys &RecordSql::keys(const sql::Statement &stmt) {
    // The same SQL text always names the same columns, whichever connection compiled it.
    if (!keys_) {
        std::vector<std::string> names;
        for (int c = 0; c < stmt.column_count(); ++c) names.push_back(stmt.column_name(c));
        keys_ = std::make_unique<answer::JsonKeys>(names);
    }
    return *keys_;
}

std::string &scratch() {
    static std::string text;
    return text;
}

}  // namespace ketral::store::queries
