// The contract's declarations with default visibility: the library is built
// with hidden visibility, so exactly the functions of ketral.h are exported.
// Every file of the library reaches ketral.h through this header.
#pragma once

#pragma GCC visibility push(default)
#include "ketral/ketral.h"
#pragma GCC visibility pop
