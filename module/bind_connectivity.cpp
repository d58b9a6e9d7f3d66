#include "module/bindings.hpp"

void bind_connectivity(KetralClass &cls) {
    (void)cls;
}
