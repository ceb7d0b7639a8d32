// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The actions behind the window's two buttons, "Изчисли" (calculate) and
// "Изтрий" (clear). They reach the window only through FieldAccess, so any set
// of eight texts can stand in for it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ui {

// The eight number fields, by index: 0 average stay in seconds, 1 number of
// visits (the inputs); 2, 3, 4 hours, minutes, seconds of the average time per
// visitor; 5, 6, 7 hours, minutes, seconds of the total time on the site.
class FieldAccess {
  public:
    virtual ~FieldAccess() = default;

    // The whole current text of field `i` (0 to 7).
    virtual std::u16string getText(int i) const = 0;
    // Replaces the whole text of field `i` (0 to 7), read-only fields too.
    virtual void setText(int i, std::u16string_view text) = 0;

  protected:
    FieldAccess() = default;
    FieldAccess(const FieldAccess&) = default;
    FieldAccess& operator=(const FieldAccess&) = default;
};

// The button actions. They hold no data: every action reads what it needs from
// the fields when it runs.
class StayTimeActions {
  public:
    explicit StayTimeActions(FieldAccess& fields);

    // Click on button `index`: 0 calculates, 1 clears, any other does nothing.
    //
    // Calculating raises calc::OverflowError when a value does not fit; before it
    // leaves, every result field that could not be filled with a new value is
    // emptied, so no field shows a result of earlier inputs. Results already
    // written keep their new text, and the inputs are never touched.
    void Command1_Click(std::int16_t index);

    // Fields 2, 3, 4 from the average stay in field 0. Converts the visit count
    // in field 1 as well, so a count out of range fails before any write.
    void ShowAverageTime();
    // Fields 5, 6, 7 from the average stay times the visit count.
    void ShowTotalTime();
    // Empties fields 0 to 7, in that order.
    void ClearFields();

  private:
    FieldAccess& fields_;
};

}  // namespace ui
