// Registration of KETRAL's members, one function per family; each member is
// bound under its script name to KETRAL::Py<name>.
#pragma once

#include <boost/python.hpp>

#include "core/ketral_object.hpp"

using KetralClass = boost::python::class_<KETRAL>;

#define KETRAL_BIND(cls, name) (cls).def(#name, &KETRAL::Py##name)

void bind_connection_and_schema(KetralClass &cls);
void bind_record_queries(KetralClass &cls);
void bind_table_loaders(KetralClass &cls);
void bind_writes(KetralClass &cls);
void bind_connectivity(KetralClass &cls);
// Additions beyond the described methods.
void bind_additions_impact(KetralClass &cls);
void bind_additions_tables(KetralClass &cls);
void bind_additions_hardware(KetralClass &cls);
