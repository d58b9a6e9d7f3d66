// Destinations, paths and micro-connectivity: column stores joined into one
// row per entry (columns numbered in row order), and a plain list of texts for
// GetDestinationNamePerDevPort.
#include "core/column_store.hpp"
#include "core/ketral_object.hpp"
#include "ketral/ketral.h"

using namespace ketral;

namespace {

// One destination name per text.
const Layout kDestinations{kNoCount, Retry::AnyRaised, {text(50000)}, /*rows_by_text=*/1};

// pathid | lkid | link_pos
const Layout kPaths{200000, Retry::AnyRaised, {kInt, kInt, kInt}};

// ints1 | ints2 | A | B; the lists C and D go to the library but are never
// read, enlarged or part of the retry test.
enum MicroColumn { A = 3, B = 4, C = 5, D = 6 };
const Layout kMicro{
    1000, Retry::AnyRaised, {kInt, kInt, text(10000), text(10000), text(5000).passed_only(), text(5000).passed_only()}};

}  // namespace

StringVec KETRAL::PyGetDestinationNamePerDevPort(const std::string &devicename, const std::string &port_nbr,
                                                 const std::string &port_type) {
    return fetch_rows(kDestinations, [&](ColumnStore &s, char *error) {
        return GetDestinationNamePerDevPort(devicename.c_str(), port_nbr.c_str(), port_type.c_str(), s.len(1),
                                            s.text(1), error);
    });
}

StringVec KETRAL::PyGetAllPathsPerDevice(const std::string &devicename, const std::string &system_name,
                                         int reload_connectivity, int delete_connectivity) {
    return fetch_rows(kPaths, [&](ColumnStore &s, char *error) {
        return GetAllPathsPerDevice(devicename.c_str(), system_name.c_str(), s.count(), s.ints(3), s.ints(1), s.ints(2),
                                    reload_connectivity, delete_connectivity, error);
    });
}

StringVec KETRAL::PyGetMicroConnectBetweenBoardCpntAndMotherBoard(const std::string &cpntname, int int_arg) {
    return fetch_rows(kMicro, [&](ColumnStore &s, char *error) {
        return GetMicroConnectBetweenBoardCpntAndMotherBoard(cpntname.c_str(), int_arg, s.ints(1), s.ints(2), s.count(),
                                                             s.text(A), s.len(A), s.text(B), s.len(B), s.text(C),
                                                             s.len(C), s.text(D), s.len(D), error);
    });
}

StringVec KETRAL::PyGetMicroConnectFromPortid(int int_arg1, int int_arg2, const std::string &text_arg) {
    return fetch_rows(kMicro, [&](ColumnStore &s, char *error) {
        return GetMicroConnectFromPortid(int_arg1, int_arg2, text_arg.c_str(), s.ints(1), s.ints(2), s.count(),
                                         s.text(A), s.len(A), s.text(B), s.len(B), s.text(C), s.len(C), s.text(D),
                                         s.len(D), error);
    });
}

StringVec KETRAL::PyGetMicroConnectToCpntType(int int_arg1, int int_arg2, const std::string &text_arg) {
    return fetch_rows(kMicro, [&](ColumnStore &s, char *error) {
        return GetMicroConnectToCpntType(int_arg1, int_arg2, text_arg.c_str(), s.ints(1), s.ints(2), s.count(),
                                         s.text(A), s.len(A), s.text(B), s.len(B), s.text(C), s.len(C), s.text(D),
                                         s.len(D), error);
    });
}
