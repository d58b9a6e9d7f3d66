// The scriptable test double of libketral. Every contract function describes
// its parameters, in library order, to one Call; the Call records them and
// applies the answer the test queued for that function.
#pragma once

#include <string>
#include <vector>

// The contract functions and the control functions are the only symbols the
// double exports.
#pragma GCC visibility push(default)
#include "ketral/ketral.h"

extern "C" {
void fake_reset(void);
void fake_answer(const char *function, int rc);
void fake_set_error(const char *bytes, int n);
void fake_set_text(int param, const char *bytes, int n);
void fake_set_int(int param, int value);
void fake_set_ints(int param, const int *values, int n);
int fake_call_count(const char *function);
int fake_pending(const char *function);
int fake_call_record(const char *function, int call, char *out, int capacity);
}
#pragma GCC visibility pop

namespace fake {

enum class Kind { Text, Int, Inout, Buffer, Array, Packed, Ints, Error };

// One parameter as the library received it. Capacities and entry values are
// read when the parameter is described, before any answer changes a length.
struct Param {
    explicit Param(Kind k) : kind(k) {}

    Kind kind;
    bool null = false;        // a null text
    std::string bytes;        // text or packed bytes
    int value = 0;            // int, inout entry value, packed length
    int capacity = 0;         // buffer, array, error
    std::vector<int> values;  // ints in
    char *chars = nullptr;    // where an answer writes: buffer, error
    int *ints = nullptr;      // where an answer writes: inout, array
};

class Call {
public:
    explicit Call(const char *function) : function_(function) {}

    Call &text(const char *s);                // NUL-terminated text in
    Call &integer(int v);                     // int in
    Call &inout(int *p);                      // in/out length or count, out id
    Call &buffer(char *p, int capacity);      // char buffer out
    Call &array(int *p, int capacity);        // int array out
    Call &packed(const char *p, int length);  // NUL-separated list in
    Call &ints(const int *p, int count);      // int array in
    Call &error(char *p, int capacity = KETRAL_ERROR_CAPACITY);

    // Records the call, writes the queued answer (if any) and returns its code.
    int run();

private:
    Call &add(Param p);

    const char *function_;
    std::vector<Param> params_;
};

}  // namespace fake
