// Identifier and name lookups: one call, no length, no retry, no empty marker.
#pragma once

#include <string>

#include "core/call.hpp"
#include "ketral/ketral.h"

namespace ketral {

// `call(char *name, char *error)`: the library writes the name into a buffer
// of KETRAL_NAME_CAPACITY bytes; a name left without its NUL is read only up
// to the buffer's end.
template <typename Call>
std::string name_lookup(Call &&call) {
    ErrorBuffer error;
    CharBuffer name(KETRAL_NAME_CAPACITY);
    check(call(name.data(), error.data()), error);
    return name.text();
}

// `call(int *id, char *error)`: the identifier as the library left it, -1
// when a successful call did not write it.
template <typename Call>
int id_lookup(Call &&call) {
    ErrorBuffer error;
    int id = -1;
    check(call(&id, error.data()), error);
    return id;
}

}  // namespace ketral
