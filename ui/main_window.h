// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The program's one window, the form `Vistral`: its labels, the eight number
// fields `Text2`, the buttons `Command1` and the task description `Text1`, built
// from one table of controls through the platform operations. A click on
// `Command1` i runs Command1_Click(i) on the button actions, which see the window
// only through the eight fields.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "app/platform.h"
#include "ui/actions.h"

namespace ui {

class Vistral final {
  public:
    // Every control has an object name made of its array and index ("Text2_0",
    // "Command1_1", "Label1_6", "Text1_0"); the window's is "Vistral".
    Vistral();

    platform::Window& window() { return window_; }

    // The control that has the focus when the window is first shown: the task
    // description.
    platform::Control firstFocus() const { return description_; }

  private:
    // FieldAccess over the Text2 boxes, by index.
    class Fields final : public FieldAccess {
      public:
        explicit Fields(platform::Window& window) : window_(window) {}

        std::u16string getText(int i) const override;
        void setText(int i, std::u16string_view text) override;

        std::array<platform::Control, 8> boxes{};

      private:
        platform::Window& window_;
    };

    platform::Window window_;
    Fields fields_{window_};
    StayTimeActions actions_{fields_};
    platform::Control description_{};
};

}  // namespace ui
