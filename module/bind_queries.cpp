#include "module/bindings.hpp"

// Each group of queries binds its own members.
void bind_record_queries(KetralClass &cls);

void bind_queries(KetralClass &cls) {
    bind_record_queries(cls);
    bind_table_loaders(cls);
}
