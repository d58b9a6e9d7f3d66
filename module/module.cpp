// The module's entry: the two sequence classes, the exception translator and
// KETRAL with its members, registered in that order. Nothing else runs at import.
#include <Python.h>

#include <cstring>

#include <boost/python.hpp>
#include <boost/python/suite/indexing/vector_indexing_suite.hpp>

#include "core/ketral_exception.hpp"
#include "module/bindings.hpp"

namespace bp = boost::python;

// KETRALEXCEPTION becomes RuntimeError with the same message. A message that
// is not valid UTF-8 keeps its readable part, the bad bytes shown as \xNN escapes.
static void translatorExc(KETRALEXCEPTION e) {
    const char *message = e.what();
    PyObject *text = PyUnicode_DecodeUTF8(message, static_cast<Py_ssize_t>(std::strlen(message)), "backslashreplace");
    if (!text) return;  // the decoder's own error (memory) is the pending one
    PyErr_SetObject(PyExc_RuntimeError, text);
    Py_DECREF(text);
}

BOOST_PYTHON_MODULE(libketralpython) {
    bp::class_<IntVec>("IntVec").def(bp::vector_indexing_suite<IntVec>());
    bp::class_<StringVec>("StringVec").def(bp::vector_indexing_suite<StringVec, true>());
    bp::register_exception_translator<KETRALEXCEPTION>(&translatorExc);

    KetralClass cls("KETRAL", bp::init<std::string, std::string, std::string>());
    bind_connection_and_schema(cls);
    bind_record_queries(cls);
    bind_table_loaders(cls);
    bind_writes(cls);
    bind_connectivity(cls);
    bind_additions_impact(cls);
    bind_additions_tables(cls);
    bind_additions_hardware(cls);
}
