#include "module/bindings.hpp"

void bind_queries(KetralClass &cls) {
    (void)cls;
}
