// How typed numbers are read and cut to their field.
#include "uikit/DialogNumber.h"

#include "support/CaseName.h"

#include <gtest/gtest.h>

namespace {

struct NumberCase {
    const char* text;
    std::int64_t value;
    std::uint8_t asByte;
    std::uint16_t asWord;
};

class DialogNumber : public ::testing::TestWithParam<NumberCase> {};

TEST_P(DialogNumber, ReadsLeadingDigitsAndCutsToTheField)
{
    const NumberCase& c = GetParam();
    const QString text = QString::fromUtf8(c.text);
    EXPECT_EQ(uikit::leadingInteger(text), c.value);
    EXPECT_EQ(uikit::dialogNumber<std::uint8_t>(text), c.asByte);
    EXPECT_EQ(uikit::dialogNumber<std::uint16_t>(text), c.asWord);
}

INSTANTIATE_TEST_SUITE_P(Cases, DialogNumber,
                         ::testing::Values(NumberCase{"", 0, 0, 0}, NumberCase{"abc", 0, 0, 0},
                                           NumberCase{"12abc", 12, 12, 12}, NumberCase{"  7", 7, 7, 7},
                                           NumberCase{"300", 300, 44, 300}, NumberCase{"-1", -1, 255, 65535},
                                           NumberCase{"+5", 5, 5, 5}, NumberCase{"65536", 65536, 0, 0},
                                           NumberCase{"1 2", 1, 1, 1}, NumberCase{"- 3", 0, 0, 0}),
                         [](const ::testing::TestParamInfo<NumberCase>& c) {
                             return caseNameFromText(c.param.text);
                         });

} // namespace
