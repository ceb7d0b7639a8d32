// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The button actions over eight in-memory texts that stand in for the window's
// fields and record every write, in order.
#include "ui/actions.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "calc/numeric.h"
#include "test_support.h"

namespace {

using testsupport::show;

constexpr std::int16_t kCalculate = 0;
constexpr std::int16_t kClear = 1;

struct Write {
    int index;
    std::u16string text;

    friend bool operator==(const Write&, const Write&) = default;
    friend void PrintTo(const Write& w, std::ostream* os) {
        *os << "(" << w.index << ", " << show(w.text) << ")";
    }
};

class RecordingFields : public ui::FieldAccess {
  public:
    std::u16string getText(int i) const override {
        if (i < 0 || i > 7) {
            ADD_FAILURE() << "read of field " << i;
            return {};
        }
        reads.push_back(i);
        return texts[static_cast<std::size_t>(i)];
    }
    void setText(int i, std::u16string_view text) override {
        if (i < 0 || i > 7) {
            ADD_FAILURE() << "write to field " << i;
            return;
        }
        texts[static_cast<std::size_t>(i)] = text;
        writes.push_back({i, std::u16string(text)});
        if (afterWrite) {
            afterWrite(i);
        }
    }

    std::array<std::u16string, 8> texts;
    std::vector<Write> writes;
    mutable std::vector<int> reads;
    std::function<void(int)> afterWrite;
};

// Fields holding the two inputs and, in the six result fields, the results of
// some earlier calculation, so that a field left alone can be told apart.
struct Window {
    Window(std::u16string stay, std::u16string visits) {
        fields.texts = {stay, visits, u"11", u"22", u"33", u"44", u"55", u"66"};
    }
    RecordingFields fields;
    ui::StayTimeActions actions{fields};
};

std::vector<Write> resultWrites(int first, const std::vector<std::u16string>& texts) {
    std::vector<Write> writes;
    for (const std::u16string& text : texts) {
        writes.push_back({first++, text});
    }
    return writes;
}

struct CalculateRow {
    std::string name;
    std::u16string stay;
    std::u16string visits;
    std::vector<std::u16string> results;  // fields 2 to 7
};

TEST(StayTimeActions, CalculateWritesTheSixResultsInOrder) {
    const std::vector<CalculateRow> rows = {
        {"empty inputs -> six zeros", u"", u"", {u"0", u"0", u"0", u"0", u"0", u"0"}},
        {"'100', '10'", u"100", u"10", {u"0", u"1", u"40", u"0", u"16", u"40"}},
        {"'abc', 'abc' read as 0", u"abc", u"abc", {u"0", u"0", u"0", u"0", u"0", u"0"}},
        {"'abc' visits read as 0", u"100", u"abc", {u"0", u"1", u"40", u"0", u"0", u"0"}},
        {"'3661', '1'", u"3661", u"1", {u"1", u"1", u"1", u"1", u"1", u"1"}},
        {"'3599.5', '1'", u"3599.5", u"1", {u"1", u"0", u"0", u"1", u"0", u"0"}},
        {"'59.5', '1'", u"59.5", u"1", {u"0", u"1", u"0", u"0", u"1", u"0"}},
        {"'58.5', '1'", u"58.5", u"1", {u"0", u"0", u"58", u"0", u"0", u"58"}},
        {"'89.6', '3'", u"89.6", u"3", {u"0", u"1", u"30", u"0", u"4", u"29"}},
        {"'12.5', '2.5'", u"12.5", u"2.5", {u"0", u"0", u"12", u"0", u"0", u"25"}},
        {"'-100', '2'", u"-100", u"2", {u"0", u"1", u"40", u"0", u"3", u"20"}},
        {"'99999', '21474'", u"99999", u"21474", {u"27", u"46", u"39", u"596494", u"2", u"6"}},
        {"'1,5', '2' (comma ends)", u"1,5", u"2", {u"0", u"0", u"1", u"0", u"0", u"2"}},
        {"' 7', '1 2' (blanks removed)", u" 7", u"1 2", {u"0", u"0", u"7", u"0", u"1", u"24"}},
        {"'&H10', '&O10'", u"&H10", u"&O10", {u"0", u"0", u"16", u"0", u"2", u"8"}},
        {"'-1', '-5' (absolute total)", u"-1", u"-5", {u"0", u"0", u"1", u"0", u"0", u"5"}},
    };
    for (const CalculateRow& row : rows) {
        SCOPED_TRACE(row.name);
        Window window(row.stay, row.visits);
        window.actions.Command1_Click(kCalculate);
        EXPECT_EQ(window.fields.writes, resultWrites(2, row.results));
        EXPECT_EQ(window.fields.texts[0], row.stay);
        EXPECT_EQ(window.fields.texts[1], row.visits);
        for (const int read : window.fields.reads) {
            EXPECT_TRUE(read == 0 || read == 1) << "read of result field " << read;
        }
    }
}

TEST(StayTimeActions, CalculatingTwiceWritesTheSameAgain) {
    Window window(u"100", u"10");
    window.actions.Command1_Click(kCalculate);
    const std::vector<Write> first = window.fields.writes;
    window.actions.Command1_Click(kCalculate);
    ASSERT_EQ(window.fields.writes.size(), 12U);
    EXPECT_EQ(std::vector<Write>(window.fields.writes.begin() + 6, window.fields.writes.end()),
              first);
}

TEST(StayTimeActions, CalculateReadsTheFieldsAtEveryClick) {
    Window window(u"100", u"10");
    window.actions.Command1_Click(kCalculate);
    window.fields.texts[0] = u"3661";
    window.fields.texts[1] = u"2";
    window.fields.writes.clear();
    window.actions.Command1_Click(kCalculate);
    EXPECT_EQ(window.fields.writes, resultWrites(2, {u"1", u"1", u"1", u"2", u"2", u"2"}));
}

TEST(StayTimeActions, TheTotalReadsTheInputsAgainAfterTheAverageIsShown) {
    Window window(u"100", u"10");
    // Something changes the inputs while the average is being written.
    window.fields.afterWrite = [&window](int i) {
        if (i == 4) {
            window.fields.texts[0] = u"60";
            window.fields.texts[1] = u"3";
        }
    };
    window.actions.Command1_Click(kCalculate);
    EXPECT_EQ(window.fields.writes, resultWrites(2, {u"0", u"1", u"40", u"0", u"3", u"0"}));
}

TEST(StayTimeActions, ClearEmptiesAllEightFieldsInOrder) {
    Window window(u"100", u"10");
    window.actions.Command1_Click(kCalculate);
    window.fields.writes.clear();
    window.fields.reads.clear();
    window.actions.Command1_Click(kClear);
    EXPECT_EQ(window.fields.writes, resultWrites(0, {u"", u"", u"", u"", u"", u"", u"", u""}));
    for (const std::u16string& text : window.fields.texts) {
        EXPECT_EQ(text, u"");
    }
    EXPECT_TRUE(window.fields.reads.empty()) << "clear reads no field";
}

TEST(StayTimeActions, OtherButtonIndicesDoNothing) {
    for (const std::int16_t index :
         {std::int16_t{2}, std::int16_t{-1}, std::int16_t{32767}, std::int16_t{-32768}}) {
        SCOPED_TRACE("button " + std::to_string(index));
        Window window(u"100", u"10");
        const auto before = window.fields.texts;
        EXPECT_NO_THROW(window.actions.Command1_Click(index));
        EXPECT_TRUE(window.fields.writes.empty());
        EXPECT_TRUE(window.fields.reads.empty());
        EXPECT_EQ(window.fields.texts, before);
    }
}

struct OverflowRow {
    std::string name;
    std::u16string stay;
    std::u16string visits;
    std::vector<Write> writes;  // every write, in order, before the error leaves
};

// Fields 5 to 7 emptied after the new average in fields 2 to 4.
std::vector<Write> averageThenEmptied(const std::vector<std::u16string>& average) {
    std::vector<Write> writes = resultWrites(2, average);
    for (const Write& w : resultWrites(5, {u"", u"", u""})) {
        writes.push_back(w);
    }
    return writes;
}
const std::vector<Write> kAllSixEmptied = resultWrites(2, {u"", u"", u"", u"", u"", u""});

TEST(StayTimeActions, OverflowEmptiesTheResultsItCouldNotFillAndLeaves) {
    const std::vector<OverflowRow> rows = {
        {"'99999', '99999': the total overflows", u"99999", u"99999",
         averageThenEmptied({u"27", u"46", u"39"})},
        {"'-1', '-2147483648': the visits fit, the total of 2^31 s does not", u"-1", u"-2147483648",
         averageThenEmptied({u"0", u"0", u"1"})},
        {"'65536', '32768': a total of 2^31 s", u"65536", u"32768",
         averageThenEmptied({u"18", u"12", u"16"})},
        {"'10', '3E9': the visits overflow", u"10", u"3E9", kAllSixEmptied},
        {"'10', '-3E9': the visits overflow", u"10", u"-3E9", kAllSixEmptied},
        {"'1', '2147483647.5': the visits round to 2^31", u"1", u"2147483647.5", kAllSixEmptied},
        {"'1', '&HFFFFFFFF': the visits overflow", u"1", u"&HFFFFFFFF", kAllSixEmptied},
        {"'9E99', '1': the average overflows", u"9E99", u"1", kAllSixEmptied},
        {"'2147483647.5', '0': the average overflows", u"2147483647.5", u"0", kAllSixEmptied},
        {"'1E400', '1': the stay is beyond a double", u"1E400", u"1", kAllSixEmptied},
        {"'1', '1E400': the visits are beyond a double", u"1", u"1E400", kAllSixEmptied},
    };
    for (const OverflowRow& row : rows) {
        SCOPED_TRACE(row.name);
        Window window(row.stay, row.visits);
        bool raised = false;
        try {
            window.actions.Command1_Click(kCalculate);
        } catch (const calc::OverflowError&) {
            raised = true;
        }
        EXPECT_TRUE(raised) << "OverflowError leaves Command1_Click";
        EXPECT_EQ(window.fields.writes, row.writes);
        EXPECT_EQ(window.fields.texts[0], row.stay) << "the inputs are never touched";
        EXPECT_EQ(window.fields.texts[1], row.visits) << "the inputs are never touched";
    }
}

TEST(StayTimeActions, AFailedCalculationDoesNotStopALaterClear) {
    Window window(u"99999", u"99999");
    EXPECT_THROW(window.actions.Command1_Click(kCalculate), calc::OverflowError);
    window.actions.Command1_Click(kClear);
    for (const std::u16string& text : window.fields.texts) {
        EXPECT_EQ(text, u"");
    }
}

TEST(StayTimeActions, EachProcedureComputesBeforeItWrites) {
    {
        SCOPED_TRACE("ShowAverageTime with visits that do not fit");
        Window window(u"10", u"3E9");
        EXPECT_THROW(window.actions.ShowAverageTime(), calc::OverflowError);
        EXPECT_TRUE(window.fields.writes.empty());
    }
    {
        SCOPED_TRACE("ShowAverageTime with a stay that does not fit");
        Window window(u"9E99", u"1");
        EXPECT_THROW(window.actions.ShowAverageTime(), calc::OverflowError);
        EXPECT_TRUE(window.fields.writes.empty());
    }
    {
        SCOPED_TRACE("ShowTotalTime with a total that does not fit");
        Window window(u"99999", u"99999");
        EXPECT_THROW(window.actions.ShowTotalTime(), calc::OverflowError);
        EXPECT_TRUE(window.fields.writes.empty());
    }
    {
        SCOPED_TRACE("ShowAverageTime alone writes fields 2 to 4");
        Window window(u"100", u"10");
        window.actions.ShowAverageTime();
        EXPECT_EQ(window.fields.writes, resultWrites(2, {u"0", u"1", u"40"}));
    }
    {
        SCOPED_TRACE("ShowTotalTime alone writes fields 5 to 7");
        Window window(u"100", u"10");
        window.actions.ShowTotalTime();
        EXPECT_EQ(window.fields.writes, resultWrites(5, {u"0", u"16", u"40"}));
    }
}

}  // namespace
