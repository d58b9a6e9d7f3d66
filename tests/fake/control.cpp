// The double's state (queued answers, recorded calls), the parameter kinds
// and the control functions the tests reach through ctypes.
#include <dlfcn.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "tests/fake/call.hpp"

namespace fake {
namespace {

struct Answer {
    int rc = 0;
    bool has_error = false;
    std::string error;
    std::map<int, std::string> texts;
    std::map<int, std::vector<int>> arrays;
    std::map<int, int> ints;
};

std::map<std::string, std::deque<Answer>> answers;
std::map<std::string, std::vector<std::string>> records;  // JSON per call
Answer *last_answer = nullptr;                            // filled by fake_set_*

[[noreturn]] void die(const char *format, ...) {
    std::fprintf(stderr, "fake libketral: ");
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fprintf(stderr, "\n");
    std::fflush(stderr);
    std::abort();
}

// A contract function is a symbol defined and exported by this very library
// that is not one of the control functions: the definitions are the list.
bool is_contract_function(const char *name) {
    if (name == nullptr || std::strncmp(name, "fake_", 5) == 0) return false;
    Dl_info self;
    if (dladdr(reinterpret_cast<void *>(&fake_reset), &self) == 0) return false;
    void *handle = dlopen(self.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
    if (handle == nullptr) return false;
    void *symbol = dlsym(handle, name);
    dlclose(handle);
    Dl_info found;
    return symbol != nullptr && dladdr(symbol, &found) != 0 && found.dli_fbase == self.dli_fbase;
}

const char *known(const char *function) {
    if (!is_contract_function(function)) die("unknown library function \"%s\"", function ? function : "(null)");
    return function;
}

Answer &answer_to_fill(const char *setter) {
    if (last_answer == nullptr) die("%s called with no queued answer to fill (call fake_answer first)", setter);
    return *last_answer;
}

// JSON string of raw bytes: every control byte, byte >= 0x7f, quote and
// backslash as \u00XX, so that a JSON reader gets one code point per byte.
void append_json_string(std::string &out, const std::string &bytes) {
    out += '"';
    for (unsigned char c : bytes) {
        if (c < 0x20 || c >= 0x7f || c == '"' || c == '\\') {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
}

const char *kind_name(Kind kind) {
    switch (kind) {
    case Kind::Text: return "text";
    case Kind::Int: return "int";
    case Kind::Inout: return "inout";
    case Kind::Buffer: return "buffer";
    case Kind::Array: return "array";
    case Kind::Packed: return "packed";
    case Kind::Ints: return "ints";
    case Kind::Error: return "error";
    }
    return "?";
}

std::string to_json(const char *function, const std::vector<Param> &params) {
    std::string out = "{\"function\": ";
    append_json_string(out, function);
    out += ", \"params\": [";
    for (size_t i = 0; i < params.size(); ++i) {
        const Param &p = params[i];
        if (i) out += ", ";
        out += "{\"kind\": \"";
        out += kind_name(p.kind);
        out += "\", ";
        switch (p.kind) {
        case Kind::Text:
            out += "\"value\": ";
            if (p.null)
                out += "null";
            else
                append_json_string(out, p.bytes);
            break;
        case Kind::Int:
        case Kind::Inout:
            out += "\"value\": ";
            out += p.null ? std::string("null") : std::to_string(p.value);
            break;
        case Kind::Packed:
            out += "\"value\": ";
            if (p.null)
                out += "null";
            else
                append_json_string(out, p.bytes);
            out += ", \"length\": " + std::to_string(p.value);
            break;
        case Kind::Ints:
            out += "\"values\": ";
            if (p.null) {
                out += "null";
            } else {
                out += '[';
                for (size_t j = 0; j < p.values.size(); ++j) {
                    if (j) out += ", ";
                    out += std::to_string(p.values[j]);
                }
                out += ']';
            }
            break;
        case Kind::Buffer:
        case Kind::Array:
        case Kind::Error: out += "\"capacity\": " + std::to_string(p.capacity); break;
        }
        out += '}';
    }
    out += "]}";
    return out;
}

// Reads the last entry the caller announced, so that a buffer allocated
// smaller than its announced capacity is caught by AddressSanitizer.
template <typename T>
void touch_last(T *p, int capacity) {
    if (capacity > 0) static_cast<void>(static_cast<volatile T *>(p)[capacity - 1]);
}

Param &param_of(const char *function, std::vector<Param> &params, int index, Kind kind) {
    if (index < 0 || static_cast<size_t>(index) >= params.size())
        die("the answer for %s sets parameter %d, which does not exist", function, index);
    Param &p = params[static_cast<size_t>(index)];
    if (p.kind != kind)
        die("the answer for %s sets parameter %d as %s, but it is %s", function, index, kind_name(kind),
            kind_name(p.kind));
    return p;
}

void copy_bytes(char *to, int capacity, const std::string &bytes) {
    const size_t n = std::min(bytes.size(), static_cast<size_t>(std::max(capacity, 0)));
    if (n > 0) std::memcpy(to, bytes.data(), n);
}

}  // namespace

Call &Call::add(Param p) {
    params_.push_back(std::move(p));
    return *this;
}

Call &Call::text(const char *s) {
    Param p(Kind::Text);
    p.null = (s == nullptr);
    if (s) p.bytes = s;
    return add(std::move(p));
}

Call &Call::integer(int v) {
    Param p(Kind::Int);
    p.value = v;
    return add(std::move(p));
}

Call &Call::inout(int *ptr) {
    Param p(Kind::Inout);
    p.null = (ptr == nullptr);
    if (ptr) p.value = *ptr;
    p.ints = ptr;
    return add(std::move(p));
}

Call &Call::buffer(char *ptr, int capacity) {
    touch_last(ptr, capacity);
    Param p(Kind::Buffer);
    p.capacity = capacity;
    p.chars = ptr;
    return add(std::move(p));
}

Call &Call::array(int *ptr, int capacity) {
    touch_last(ptr, capacity);
    Param p(Kind::Array);
    p.capacity = capacity;
    p.ints = ptr;
    return add(std::move(p));
}

Call &Call::packed(const char *ptr, int length) {
    Param p(Kind::Packed);
    p.null = (ptr == nullptr);
    p.value = length;
    if (ptr && length > 0) p.bytes.assign(ptr, static_cast<size_t>(length));
    return add(std::move(p));
}

Call &Call::ints(const int *ptr, int count) {
    Param p(Kind::Ints);
    p.null = (ptr == nullptr);
    if (ptr && count > 0) p.values.assign(ptr, ptr + count);
    return add(std::move(p));
}

Call &Call::error(char *ptr, int capacity) {
    touch_last(ptr, capacity);
    Param p(Kind::Error);
    p.capacity = capacity;
    p.chars = ptr;
    return add(std::move(p));
}

int Call::run() {
    records[function_].push_back(to_json(function_, params_));
    auto queued = answers.find(function_);
    if (queued == answers.end() || queued->second.empty()) return 0;
    if (last_answer == &queued->second.front()) last_answer = nullptr;
    const Answer answer = std::move(queued->second.front());
    queued->second.pop_front();

    for (const auto &[index, bytes] : answer.texts) {
        Param &p = param_of(function_, params_, index, Kind::Buffer);
        copy_bytes(p.chars, p.capacity, bytes);
    }
    for (const auto &[index, values] : answer.arrays) {
        Param &p = param_of(function_, params_, index, Kind::Array);
        const size_t n = std::min(values.size(), static_cast<size_t>(std::max(p.capacity, 0)));
        std::copy_n(values.begin(), n, p.ints);
    }
    for (const auto &[index, value] : answer.ints) {
        Param &p = param_of(function_, params_, index, Kind::Inout);
        if (p.ints) *p.ints = value;
    }
    if (answer.has_error) {
        auto error = std::find_if(params_.begin(), params_.end(), [](const Param &p) { return p.kind == Kind::Error; });
        if (error == params_.end()) die("%s has no error buffer", function_);
        copy_bytes(error->chars, error->capacity, answer.error);
    }
    return answer.rc;
}

}  // namespace fake

using namespace fake;

extern "C" {

void fake_reset(void) {
    answers.clear();
    records.clear();
    last_answer = nullptr;
}

void fake_answer(const char *function, int rc) {
    std::deque<Answer> &queue = answers[known(function)];
    queue.push_back(Answer{});
    last_answer = &queue.back();
    last_answer->rc = rc;
}

void fake_set_error(const char *bytes, int n) {
    Answer &a = answer_to_fill("fake_set_error");
    a.has_error = true;
    a.error.assign(bytes, static_cast<size_t>(std::max(n, 0)));
}

void fake_set_text(int param, const char *bytes, int n) {
    answer_to_fill("fake_set_text").texts[param].assign(bytes, static_cast<size_t>(std::max(n, 0)));
}

void fake_set_int(int param, int value) { answer_to_fill("fake_set_int").ints[param] = value; }

void fake_set_ints(int param, const int *values, int n) {
    answer_to_fill("fake_set_ints").arrays[param].assign(values, values + std::max(n, 0));
}

int fake_call_count(const char *function) {
    auto found = records.find(known(function));
    return found == records.end() ? 0 : static_cast<int>(found->second.size());
}

int fake_pending(const char *function) {
    auto found = answers.find(known(function));
    return found == answers.end() ? 0 : static_cast<int>(found->second.size());
}

int fake_call_record(const char *function, int call, char *out, int capacity) {
    auto found = records.find(known(function));
    if (found == records.end() || call < 0 || static_cast<size_t>(call) >= found->second.size()) return 0;
    const std::string &json = found->second[static_cast<size_t>(call)];
    const int needed = static_cast<int>(json.size()) + 1;
    if (out != nullptr && capacity >= needed) std::memcpy(out, json.c_str(), static_cast<size_t>(needed));
    return needed;
}

}  // extern "C"
