// A failure whose message is complete as it stands, and the standard
// messages every function may give. Depends on nothing: every room may
// throw a Failure, and only the guard turns it into a return code.
#pragma once

#include <stdexcept>

namespace ketral::store {

inline constexpr char kNotConnected[] = "not connected: call DBConnexion first";
inline constexpr char kNoSchema[] = "no schema: call CreateTableSchema first";

// Passed on unchanged by the guard. Bodies name their operation themselves:
// "InsertPort: no device named 'sw07'".
class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace ketral::store
