// Additions beyond the described methods: the hardware life cycle.
#include "module/bindings.hpp"

void bind_additions_hardware(KetralClass &cls) { KETRAL_BIND(cls, UpdateHWStatusLocation); }
