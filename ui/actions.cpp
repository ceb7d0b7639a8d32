// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/actions.h"

#include "calc/numeric.h"
#include "calc/staytime.h"

namespace ui {

namespace {

enum Field : int {
    kAverageStay = 0,
    kVisits = 1,
    kAverageHours = 2,
    kTotalHours = 5,
    kLastField = 7,
};

enum Button : std::int16_t {
    kCalculate = 0,
    kClear = 1,
};

void writeBreakdown(FieldAccess& fields, int first, const calc::HmsBreakdown& b) {
    fields.setText(first, calc::formatInt(b.hours));
    fields.setText(first + 1, calc::formatInt(b.minutes));
    fields.setText(first + 2, calc::formatInt(b.seconds));
}

void emptyFields(FieldAccess& fields, int first, int last) {
    for (int i = first; i <= last; ++i) {
        fields.setText(i, u"");
    }
}

// Runs one step of the calculation. When it fails, the result fields from
// `firstUnfilled` on are emptied before the error goes on, so none of them keeps
// a value that belongs to earlier inputs.
template <typename Step>
void calculateStep(FieldAccess& fields, int firstUnfilled, Step step) {
    try {
        step();
    } catch (const calc::OverflowError&) {
        emptyFields(fields, firstUnfilled, kLastField);
        throw;
    }
}

}  // namespace

StayTimeActions::StayTimeActions(FieldAccess& fields) : fields_(fields) {}

void StayTimeActions::Command1_Click(std::int16_t index) {
    switch (index) {
        case kCalculate:
            calculateStep(fields_, kAverageHours, [this] { ShowAverageTime(); });
            calculateStep(fields_, kTotalHours, [this] { ShowTotalTime(); });
            break;
        case kClear:
            ClearFields();
            break;
        default:
            break;
    }
}

void StayTimeActions::ShowAverageTime() {
    const double averageStay = calc::readNumber(fields_.getText(kAverageStay));
    // The count itself is not needed here, but a count that does not fit fails
    // now, before any field is written.
    (void)calc::roundToInt32(calc::readNumber(fields_.getText(kVisits)));
    writeBreakdown(fields_, kAverageHours, calc::averageTime(averageStay));
}

void StayTimeActions::ShowTotalTime() {
    const double averageStay = calc::readNumber(fields_.getText(kAverageStay));
    const std::int32_t visits = calc::roundToInt32(calc::readNumber(fields_.getText(kVisits)));
    writeBreakdown(fields_, kTotalHours, calc::totalTime(averageStay, visits));
}

void StayTimeActions::ClearFields() {
    emptyFields(fields_, kAverageStay, kLastField);
}

}  // namespace ui
