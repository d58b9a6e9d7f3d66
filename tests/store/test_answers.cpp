// The answer writers: exact sizes asked for on a buffer too small, nothing
// written past a capacity (nor at all on failure), empty markers, JSON text.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "store/answer.hpp"
#include "store/guard.hpp"
#include "store/sql/sqlite.hpp"

namespace answer = ketral::store::answer;
using ketral::store::Failure;

namespace {

constexpr char kSentinel = '#';
constexpr int kSlack = 8;

// `capacity` bytes the writer may use, then guard bytes it must not touch.
struct Bytes {
    explicit Bytes(int capacity) : capacity(capacity), data(static_cast<size_t>(capacity) + kSlack, kSentinel) {}
    char *ptr() { return data.data(); }
    std::string used(int n) const { return std::string(data.data(), static_cast<size_t>(n)); }
    bool untouched_from(int from) const {
        for (size_t i = static_cast<size_t>(from); i < data.size(); ++i)
            if (data[i] != kSentinel) return false;
        return true;
    }
    int capacity;
    std::vector<char> data;
};

// The Failure message `write` throws, or "" when it succeeds.
std::string failure_of(const std::function<void()> &write) {
    try {
        write();
    } catch (const Failure &e) {
        return e.what();
    }
    return "";
}

answer::PackedList packed(const std::vector<std::string> &items) {
    answer::PackedList list;
    for (const auto &item : items) list.add(item);
    return list;
}

}  // namespace

// ---- texts and packed lists ---------------------------------------------------------

struct SizeCase {
    const char *name;
    std::vector<std::string> items;  // one item: a text answer; several: a packed list
    int capacity;
    std::string bytes;  // what the buffer then holds, "" when the call fails
    int length;         // the length afterwards
};

class TextAndList : public testing::TestWithParam<SizeCase> {};

TEST_P(TextAndList, WritesAllOrNothingAndLeavesTheExactSize) {
    const SizeCase &c = GetParam();
    Bytes buffer(c.capacity);
    int length = c.capacity;
    const std::string failure = failure_of([&] {
        if (c.items.size() == 1)
            answer::write_text("Fn", c.items[0], &length, buffer.ptr());
        else
            answer::write_list("Fn", packed(c.items), &length, buffer.ptr());
    });
    EXPECT_EQ(length, c.length);
    if (c.bytes.empty()) {
        EXPECT_EQ(failure, "Fn: the answer needs " + std::to_string(c.length) + " bytes, the buffer holds " +
                               std::to_string(c.capacity));
        EXPECT_TRUE(buffer.untouched_from(0));
    } else {
        EXPECT_EQ(failure, "");
        EXPECT_EQ(buffer.used(static_cast<int>(c.bytes.size())), c.bytes);
        EXPECT_TRUE(buffer.untouched_from(static_cast<int>(c.bytes.size())));
    }
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(Sizes, TextAndList,
                         testing::Values(SizeCase{"TextFitsExactly", {"abcd"}, 5, "abcd\0"s, 5},
                                         SizeCase{"TextWithRoomToSpare", {"abcd"}, 50, "abcd\0"s, 5},
                                         SizeCase{"TextOneByteShort", {"abcd"}, 4, "", 5},
                                         SizeCase{"EmptyText", {""}, 1, "\0"s, 1},
                                         SizeCase{"NoRoomAtAll", {"x"}, 0, "", 2},
                                         SizeCase{"NegativeCapacity", {"x"}, -3, "", 2},
                                         SizeCase{"ListFitsExactly", {"a", "bc"}, 5, "a\0bc\0"s, 5},
                                         SizeCase{"ListOneByteShort", {"a", "bc"}, 4, "", 5},
                                         SizeCase{"ListOfEmptyItems", {"", "", ""}, 10, "\0\0\0"s, 3},
                                         SizeCase{"EmptyListWritesTheMarker", {}, 100, "NO_ROWS_SELECTED\0"s, 17},
                                         SizeCase{"MarkerAsksForItsOwnRoom", {}, 16, "", 17}),
                         [](const auto &info) { return info.param.name; });

TEST(WriteFixed, FillsTheCapacityAndNeverMore) {
    Bytes buffer(10);
    EXPECT_EQ(failure_of([&] { answer::write_fixed("Fn", std::string(9, 'n'), buffer.ptr(), 10); }), "");
    EXPECT_EQ(buffer.used(10), std::string(9, 'n') + '\0');
    EXPECT_TRUE(buffer.untouched_from(10));

    Bytes small(10);
    EXPECT_EQ(failure_of([&] { answer::write_fixed("Fn", std::string(10, 'n'), small.ptr(), 10); }),
              "Fn: the answer needs 11 bytes, the buffer holds 10");
    EXPECT_TRUE(small.untouched_from(0));
}

TEST(Writers, RefuseAMissingBuffer) {
    int length = 10;
    const std::string refused = "Fn: no result buffer given";
    EXPECT_EQ(failure_of([&] { answer::write_text("Fn", "x", nullptr, nullptr); }), refused);
    EXPECT_EQ(failure_of([&] { answer::write_list("Fn", packed({"x"}), &length, nullptr); }), refused);
    EXPECT_EQ(failure_of([&] { answer::write_ints("Fn", {1}, &length, nullptr); }), refused);
    EXPECT_EQ(failure_of([&] { answer::write_fixed("Fn", "x", nullptr, 10); }), refused);
}

// ---- integer lists ---------------------------------------------------------------------

struct IntCase {
    const char *name;
    std::vector<int> values;
    int capacity;
    std::vector<int> written;  // the array's first entries afterwards; empty when it fails
    int count;
};

class IntList : public testing::TestWithParam<IntCase> {};

TEST_P(IntList, WritesAllOrNothingAndLeavesTheExactCount) {
    const IntCase &c = GetParam();
    std::vector<int> array(static_cast<size_t>(std::max(c.capacity, 0)) + kSlack, 7777);
    int count = c.capacity;
    const std::string failure = failure_of([&] { answer::write_ints("Fn", c.values, &count, array.data()); });
    EXPECT_EQ(count, c.count);
    const size_t touched = c.written.size();
    if (c.written.empty()) {
        EXPECT_EQ(failure, "Fn: the answer needs " + std::to_string(c.count) + " entries, the array holds " +
                               std::to_string(c.capacity));
    } else {
        EXPECT_EQ(failure, "");
        EXPECT_EQ(std::vector<int>(array.begin(), array.begin() + static_cast<long>(touched)), c.written);
    }
    for (size_t i = touched; i < array.size(); ++i) EXPECT_EQ(array[i], 7777) << "entry " << i;
}

INSTANTIATE_TEST_SUITE_P(Sizes, IntList,
                         testing::Values(IntCase{"Fits", {4, 5, 6}, 3, {4, 5, 6}, 3},
                                         IntCase{"RoomToSpare", {4}, 1000, {4}, 1},
                                         IntCase{"OneShort", {4, 5, 6}, 2, {}, 3},
                                         IntCase{"EmptyWritesTheMarker", {}, 1000, {-1, -1}, 0},
                                         IntCase{"MarkerNeedsTwoEntries", {}, 1, {}, 2}),
                         [](const auto &info) { return info.param.name; });

// ---- column stores ----------------------------------------------------------------------

namespace {

// Two integer columns and two text columns, with their own capacities.
struct Store {
    Store(int rows, int len_a, int len_b) : count(rows), a(len_a), b(len_b), len_a(len_a), len_b(len_b) {
        ints1.assign(static_cast<size_t>(std::max(rows, 0)) + kSlack, 7777);
        ints2 = ints1;
    }
    // Writes `n` rows: i, 10 * i, "a<i>", "bb<i>".
    std::string write(int n) {
        return failure_of([&] {
            answer::Columns out("Fn", &count);
            auto &c1 = out.ints("first", ints1.data());
            auto &ta = out.texts("a", a.ptr(), &len_a);
            auto &c2 = out.ints("second", ints2.data());
            auto &tb = out.texts("b", b.ptr(), &len_b);
            for (int i = 0; i < n; ++i) {
                c1.push_back(i);
                c2.push_back(10 * i);
                ta.add("a" + std::to_string(i));
                tb.add("bb" + std::to_string(i));
            }
            out.write();
        });
    }
    int count;
    std::vector<int> ints1, ints2;
    Bytes a, b;
    int len_a, len_b;
};

}  // namespace

TEST(Columns, WritesEveryColumnAndSetsEverySize) {
    Store s(10, 100, 100);
    EXPECT_EQ(s.write(2), "");
    EXPECT_EQ(s.count, 2);
    EXPECT_EQ(s.len_a, 6);
    EXPECT_EQ(s.len_b, 8);
    EXPECT_EQ(s.a.used(6), "a0\0a1\0"s);
    EXPECT_EQ(s.b.used(8), "bb0\0bb1\0"s);
    EXPECT_EQ(std::vector<int>(s.ints2.begin(), s.ints2.begin() + 3), (std::vector<int>{0, 10, 7777}));
    EXPECT_TRUE(s.a.untouched_from(6));
}

TEST(Columns, RaisesEverySizeTooSmallAtOnceAndWritesNothing) {
    Store s(2, 5, 100);  // 3 rows of 9 and 12 bytes: rows and a are too small, b is not
    EXPECT_EQ(s.write(3), "Fn: the answer needs 3 rows, the arrays hold 2, 9 bytes of a, the buffer holds 5");
    EXPECT_EQ(s.count, 3);
    EXPECT_EQ(s.len_a, 9);
    EXPECT_EQ(s.len_b, 100);
    EXPECT_TRUE(s.a.untouched_from(0));
    EXPECT_TRUE(s.b.untouched_from(0));
    EXPECT_EQ(s.ints1[0], 7777);

    Store again(s.count, s.len_a, s.len_b);  // one more call with the sizes asked for
    EXPECT_EQ(again.write(3), "");
    EXPECT_EQ(again.count, 3);
}

TEST(Columns, OnlyATextTooSmall) {
    Store s(10, 100, 7);
    EXPECT_EQ(s.write(3), "Fn: the answer needs 12 bytes of b, the buffer holds 7");
    EXPECT_EQ(s.count, 10);
    EXPECT_EQ(s.len_b, 12);
}

TEST(Columns, ZeroRowsIsAnEmptyAnswer) {
    Store s(10, 100, 100);
    EXPECT_EQ(s.write(0), "");
    EXPECT_EQ(s.count, 0);
    EXPECT_EQ(s.len_a, 0);
    EXPECT_TRUE(s.a.untouched_from(0));
}

TEST(Columns, ColumnsOfUnequalLengthAreAFaultOfTheCaller) {
    int count = 10;
    std::vector<int> ints(10);
    Bytes text(10);
    int len = 10;
    answer::Columns out("Fn", &count);
    out.ints("ids", ints.data()).push_back(1);
    out.texts("names", text.ptr(), &len);
    EXPECT_THROW(out.write(), std::logic_error);
}

// ---- JSON ---------------------------------------------------------------------------------

struct JsonCase {
    const char *name;
    std::string text;
    std::string json;
};

class JsonString : public testing::TestWithParam<JsonCase> {};

TEST_P(JsonString, EscapesWhatJsonNeedsAndKeepsValidUtf8) {
    std::string out = "x";
    answer::append_json_string(out, GetParam().text);
    EXPECT_EQ(out, "x" + GetParam().json);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, JsonString,
    testing::Values(JsonCase{"Plain", "ro01", "\"ro01\""}, JsonCase{"Empty", "", "\"\""},
                    JsonCase{"QuoteAndBackslash", "a\"b\\c", "\"a\\\"b\\\\c\""},
                    JsonCase{"NamedControls", "\n\r\t\b\f", "\"\\n\\r\\t\\b\\f\""},
                    JsonCase{"OtherControls", "\x01\x1f\x7f"s, "\"\\u0001\\u001f\x7f\""},
                    JsonCase{"Nul", "a\0b"s, "\"a\\u0000b\""}, JsonCase{"Utf8Kept", "é漢😀", "\"é漢😀\""},
                    JsonCase{"SlashNotEscaped", "A/3", "\"A/3\""},
                    JsonCase{"LoneContinuationByte", "a\x80z", "\"a\xEF\xBF\xBDz\""},
                    JsonCase{"TruncatedSequence", "a\xE6\xBC", "\"a\xEF\xBF\xBD\xEF\xBF\xBD\""},
                    JsonCase{"OverlongNul", "\xC0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},
                    JsonCase{"Surrogate", "\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
                    JsonCase{"BeyondUnicode", "\xF4\x90\x80\x80",
                             "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""}),
    [](const auto &info) { return info.param.name; });

TEST(JsonObject, FieldsInOrderWithoutSpaces) {
    std::string out;
    answer::JsonObject(out).number("id", -7).number("big", INT64_MIN).text("name", "sw\"01").null("serialnb").close();
    EXPECT_EQ(out, R"({"id":-7,"big":-9223372036854775808,"name":"sw\"01","serialnb":null})");

    std::string empty;
    answer::JsonObject(empty).close();
    EXPECT_EQ(empty, "{}");
}

TEST(JsonObject, ColumnsByTheirValueType) {
    auto db = ketral::store::sql::open_sqlite(":memory:");
    auto row = db->prepare("SELECT 42, 'x\ty', NULL, 2.5, CAST('12' AS TEXT), X'C0'");
    ASSERT_TRUE(row.step());
    const answer::JsonKeys keys({"int", "text", "null", "real", "digits", "we\"ird"});
    std::string out;
    answer::JsonObject(out).columns(*row, keys).close();
    EXPECT_EQ(out, R"({"int":42,"text":"x\ty","null":null,"real":2.5,"digits":"12","we\"ird":")"
                   "\xEF\xBF\xBD"
                   R"("})");
}
