// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The program's one window, the form `Vistral`: its labels, the eight number
// fields `Text2`, the buttons `Command1` and the task description `Text1`, built
// from one table of controls. A click on `Command1` i runs Command1_Click(i) on the
// button actions, which see the window only through the eight fields.
#pragma once

#include <QWidget>
#include <array>
#include <string>
#include <string_view>

#include "ui/actions.h"

class QLineEdit;
class QPlainTextEdit;

namespace ui {

class Vistral final : public QWidget {
    Q_OBJECT

  public:
    // Every control has an object name made of its array and index ("Text2_0",
    // "Command1_1", "Label1_6", "Text1_0"); the window's is "Vistral".
    explicit Vistral(QWidget* parent = nullptr);

    // The control that has the focus when the window is first shown: the task
    // description.
    QWidget& firstFocus() const;

  private:
    // FieldAccess over the Text2 boxes, by index.
    class Fields final : public FieldAccess {
      public:
        std::u16string getText(int i) const override;
        void setText(int i, std::u16string_view text) override;

        std::array<QLineEdit*, 8> boxes{};
    };

    Fields fields_;
    StayTimeActions actions_{fields_};
    QPlainTextEdit* description_ = nullptr;
};

}  // namespace ui
