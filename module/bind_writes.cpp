#include "module/bindings.hpp"

void bind_writes(KetralClass &cls) {
    (void)cls;
}
