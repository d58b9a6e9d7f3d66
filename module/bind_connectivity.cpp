#include "module/bindings.hpp"

void bind_connectivity(KetralClass &cls) {
    KETRAL_BIND(cls, GetConnOutBetweenDeviceDeviceType);
    KETRAL_BIND(cls, GetDetailedConnectivityBetweenDevices);
    KETRAL_BIND(cls, GetConnectivityBetweenDevices);
    KETRAL_BIND(cls, GetDetailedConnBetweenDeviceDevType);
    KETRAL_BIND(cls, GetDestinationNamePerDevPort);
    KETRAL_BIND(cls, GetAllPathsPerDevice);
    KETRAL_BIND(cls, GetMicroConnectBetweenBoardCpntAndMotherBoard);
    KETRAL_BIND(cls, GetMicroConnectFromPortid);
    KETRAL_BIND(cls, GetMicroConnectToCpntType);
}
