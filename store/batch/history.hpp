// The history writer every write shares: one append-only entry per change of
// a piece of hardware (devices and board components alike).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "store/batch/batch.hpp"

namespace ketral::store::batch {

// What a hardware table and its positions are called, for the shared code.
struct HardwareKind {
    const char *history_kind;  // hw_kind in the history: "device" or "component"
    const char *noun;          // "hardware" / "component hardware"
};
inline constexpr HardwareKind kDeviceHardware{"device", "hardware"};
inline constexpr HardwareKind kComponentHardware{"component", "component hardware"};

// One entry of the history: a piece of hardware and where it now is.
struct HistoryEntry {
    const HardwareKind &kind;
    std::int64_t hwid;
    const std::string &serialnb;
    std::int64_t position_id;  // 0: no position
    std::string_view position_name;
    const char *status;
    const std::string &location;
    const std::string &comments;
};
void append_history(Writer &writer, const HistoryEntry &entry);

}  // namespace ketral::store::batch
