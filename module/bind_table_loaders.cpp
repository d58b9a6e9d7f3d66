#include "module/bindings.hpp"

void bind_table_loaders(KetralClass &cls) {
    KETRAL_BIND(cls, LoadConnectivityTable);
    KETRAL_BIND(cls, MatchDeviceIDDeviceName);
    KETRAL_BIND(cls, LoadDeviceTypeTable);
    KETRAL_BIND(cls, LoadLinkTypeTable);
}
