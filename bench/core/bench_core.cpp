// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Speed of the calculation core.
//
// readNumber is measured on the texts a person typically types into the two
// input fields, each beside std::strtod and std::from_chars on the same text as
// ASCII, so that the rows of one text read side by side:
//   BM_readNumber/"99999"   BM_strtod/"99999"   BM_from_chars/"99999"
// The label of each row shows the value read: strtod and from_chars do not know
// "&H" numbers, and from_chars does not skip blanks, so on those texts they stop
// at once and only readNumber does the whole work.
// Then breakDownSeconds on a few durations, and one whole calculate action on
// in-memory fields.
#include <benchmark/benchmark.h>

#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "calc/numeric.h"
#include "calc/staytime.h"
#include "ui/actions.h"

namespace {

constexpr std::array<std::string_view, 8> kFieldTexts = {
    "0", "7", "100", "99999", "59.5", "1E3", "&H1F", " 12 ",
};

std::string quoted(std::string_view text) {
    std::string q(1, '"');
    q.append(text);
    q.push_back('"');
    return q;
}

// The shortest text that reads back as `value`: "59.5", "2147483647".
std::string shortest(double value) {
    std::array<char, 32> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
    return std::string(digits.data(), end);
}

std::string valueLabel(double value) {
    return "= " + shortest(value);
}

void BM_readNumber(benchmark::State& state, std::string_view ascii) {
    const std::u16string text(ascii.begin(), ascii.end());
    double value = 0.0;
    for (auto _ : state) {
        value = calc::readNumber(text);
        benchmark::DoNotOptimize(value);
    }
    state.SetLabel(valueLabel(value));
}

void BM_strtod(benchmark::State& state, std::string_view ascii) {
    const std::string text(ascii);
    double value = 0.0;
    for (auto _ : state) {
        value = std::strtod(text.c_str(), nullptr);
        benchmark::DoNotOptimize(value);
    }
    state.SetLabel(valueLabel(value));
}

void BM_from_chars(benchmark::State& state, std::string_view ascii) {
    const std::string text(ascii);
    double value = 0.0;
    for (auto _ : state) {
        value = 0.0;
        const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
        benchmark::DoNotOptimize(result);
        benchmark::DoNotOptimize(value);
    }
    state.SetLabel(valueLabel(value));
}

constexpr std::array<double, 5> kDurations = {0.0, 59.5, 3661.0, 99999.0, 2147483647.0};

void BM_breakDownSeconds(benchmark::State& state, double seconds) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(seconds);
        calc::HmsBreakdown b = calc::breakDownSeconds(seconds);
        benchmark::DoNotOptimize(b);
    }
}

// Eight texts standing in for the window's number fields.
class MemoryFields final : public ui::FieldAccess {
  public:
    std::u16string getText(int i) const override { return texts[static_cast<std::size_t>(i)]; }
    void setText(int i, std::u16string_view text) override {
        texts[static_cast<std::size_t>(i)] = text;
    }

    std::array<std::u16string, 8> texts;
};

void BM_calculate(benchmark::State& state, std::u16string_view stay, std::u16string_view visits) {
    MemoryFields fields;
    fields.texts[0] = stay;
    fields.texts[1] = visits;
    ui::StayTimeActions actions(fields);
    for (auto _ : state) {
        actions.Command1_Click(0);
        benchmark::DoNotOptimize(fields.texts);
    }
}

void registerBenchmarks() {
    for (const std::string_view text : kFieldTexts) {
        const std::string name = quoted(text);
        benchmark::RegisterBenchmark(("BM_readNumber/" + name).c_str(), BM_readNumber, text);
        benchmark::RegisterBenchmark(("BM_strtod/" + name).c_str(), BM_strtod, text);
        benchmark::RegisterBenchmark(("BM_from_chars/" + name).c_str(), BM_from_chars, text);
    }
    for (const double seconds : kDurations) {
        const std::string name = "BM_breakDownSeconds/" + shortest(seconds);
        benchmark::RegisterBenchmark(name.c_str(), BM_breakDownSeconds, seconds);
    }
    benchmark::RegisterBenchmark(R"(BM_calculate/"100","10")", BM_calculate, u"100", u"10");
    benchmark::RegisterBenchmark(R"(BM_calculate/"99999","21474")", BM_calculate, u"99999",
                                 u"21474");
}

}  // namespace

int main(int argc, char** argv) {
    registerBenchmarks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
