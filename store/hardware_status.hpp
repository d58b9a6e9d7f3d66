// The statuses of hardware (devices and board components alike), written
// once: the schema's CHECK, the writers and the status queries use this list.
#pragma once

#include <string>
#include <string_view>

namespace ketral::store {

inline constexpr char kInUse[] = "IN_USE";
inline constexpr char kSpare[] = "SPARE";
inline constexpr const char *kStatuses[] = {kInUse, kSpare, "IN_REPAIR", "DESTROYED", "TEST"};

// "IN_USE, SPARE, IN_REPAIR, DESTROYED, TEST"
std::string status_words();
bool is_status(std::string_view word);
// "CHECK (status IN ('IN_USE', 'SPARE', ...))"
std::string status_check();

}  // namespace ketral::store
