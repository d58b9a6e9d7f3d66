#include "store/queries/query.hpp"

namespace ketral::store::queries {

const answer::JsonKeys &RecordSql::keys(const sql::Statement &stmt) {
    // The same SQL text always names the same columns, whichever connection compiled it.
    if (!keys_) {
        std::vector<std::string> names;
        for (int c = 0; c < stmt.column_count() - extra_; ++c) names.push_back(stmt.column_name(c));
        keys_ = std::make_unique<answer::JsonKeys>(names);
    }
    return *keys_;
}

std::string sorted_list(std::string_view joined_list) {
    std::vector<std::string> items;
    while (!joined_list.empty()) {
        const auto comma = joined_list.find(',');
        items.emplace_back(joined_list.substr(0, comma));
        joined_list.remove_prefix(comma == std::string_view::npos ? joined_list.size() : comma + 1);
    }
    return join_sorted(items);
}

std::string &scratch() {
    static std::string text;
    return text;
}

}  // namespace ketral::store::queries
