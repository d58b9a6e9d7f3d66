#include <gtest/gtest.h>

#include <string>

#include "core/ketral_exception.hpp"

TEST(KetralException, DefaultMessageIsNone) {
    KETRALEXCEPTION e;
    EXPECT_STREQ(e.what(), "none");
}

TEST(KetralException, CopyKeepsTheMessageOfTheOriginal) {
    KETRALEXCEPTION original(std::string("device sw07 unknown"));
    KETRALEXCEPTION copy(original);
    EXPECT_STREQ(copy.what(), "device sw07 unknown");
    EXPECT_STREQ(original.what(), "device sw07 unknown");
}

TEST(KetralException, EmptyMessageStaysEmpty) {
    KETRALEXCEPTION e(std::string(""));
    EXPECT_STREQ(e.what(), "");
}

TEST(KetralException, GetErrMessPrintsErrorValueThenTheMessageAndReturnsIt) {
    KETRALEXCEPTION e(std::string("duplicate port"));
    testing::internal::CaptureStdout();
    const std::string returned = e.getketralErrMess();
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed, "Error value duplicate port\n");
    EXPECT_EQ(returned, "duplicate port");
}

TEST(KetralException, CaughtOnlyByItsOwnType) {
    bool caught_as_ketral = false;
    try {
        throw KETRALEXCEPTION(std::string("x"));
    } catch (const std::exception &) {
        FAIL() << "the standard base must not be reachable";
    } catch (KETRALEXCEPTION &e) {
        caught_as_ketral = std::string(e.what()) == "x";
    }
    EXPECT_TRUE(caught_as_ketral);
}
