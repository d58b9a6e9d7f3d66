// Packed list arguments are refused when their byte length would pass the
// library's int; the limit is lowered here so the boundary can be reached.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/write_args.hpp"

using ketral::PackedArg;

namespace {

std::string refusal(const std::vector<std::string> &texts, std::size_t limit) {
    try {
        PackedArg packed(texts, "ipadd", limit);
    } catch (KETRALEXCEPTION &e) {
        return e.what();
    }
    return "accepted";
}

}  // namespace

TEST(PackedArg, ALengthUpToTheLimitIsAccepted) {
    PackedArg packed({"ab", "c"}, "ipadd", 5);
    EXPECT_EQ(packed.length(), 5);
    EXPECT_EQ(std::string(packed.data(), 5), std::string("ab\0c\0", 5));
    EXPECT_EQ(refusal({"abcd"}, 5), "accepted");
    EXPECT_EQ(refusal({"", "", "", "", ""}, 5), "accepted");
}

TEST(PackedArg, OneByteOverTheLimitIsRefusedWithTheListName) {
    EXPECT_EQ(refusal({"ab", "cd"}, 5), "Error:ipadd list is too long");
    EXPECT_EQ(refusal({"abcde"}, 5), "Error:ipadd list is too long");
    EXPECT_EQ(refusal({"", "", "", "", "", ""}, 5), "Error:ipadd list is too long");
}

TEST(PackedArg, AnEmptyListIsAnEmptyBufferOfLengthZero) {
    PackedArg packed({}, "ipadd");
    EXPECT_EQ(packed.length(), 0);
    EXPECT_NE(packed.data(), nullptr);
}
