// Additions beyond the described methods: failure impact and weak points.
#include "connectivity/additions_impact.hpp"
#include "module/bindings.hpp"

void bind_additions_impact(KetralClass &cls) {
    cls.def("GetFailureImpactOfDevice", &ketral::failure_impact_of_device);
    cls.def("GetFailureImpactOfLink", &ketral::failure_impact_of_link);
    cls.def("GetFailureImpactOfPort", &ketral::failure_impact_of_port);
    cls.def("GetWeakPoints", &ketral::weak_points);
}
