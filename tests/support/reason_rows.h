// reason_rows.h -- the failure-reason tables, one for each layer: a row is a call made to fail one
// way and the reason its layer then gives ("" for a call that succeeds, after which the reason is
// empty). Each row runs as a test of its own, named after its reason.
#pragma once
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <ostream>
#include <string>

struct ReasonRow {
    std::function<int()> call;  // the set-up and the call: 1 when the call succeeded, else 0
    const char* reason;
};
inline void PrintTo(const ReasonRow& row, std::ostream* out) { *out << '"' << row.reason << '"'; }

// Runs the rows of `rows` as Suite/Rows.SaysWhy/<reason>, each checking the call's result and
// `reason_of()` after it. The suite is a fixture derived from testing::TestWithParam<ReasonRow>.
#define REASON_TABLE(Suite, rows, reason_of)                                                                           \
    TEST_P(Suite, SaysWhy)                                                                                             \
    {                                                                                                                  \
        EXPECT_EQ(GetParam().call(), GetParam().reason[0] ? 0 : 1);                                                    \
        EXPECT_STREQ(reason_of(), GetParam().reason);                                                                  \
    }                                                                                                                  \
    INSTANTIATE_TEST_SUITE_P(Rows, Suite, testing::ValuesIn(rows), [](const auto& info) {                              \
        std::string name = std::to_string(info.index) + "_";                                                           \
        for (const char* c = info.param.reason; *c && name.size() < 60; ++c)                                           \
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';                                           \
        return name;                                                                                                   \
    })
