// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The window as a person uses it: typing, pasting, Tab, Enter and Space, mouse
// clicks, and the overflow message, driven with QTest on the real widgets.
#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <vector>

#include "app/platform.h"
#include "tests/gui/window_support.h"
#include "ui/main_window.h"

using test::control;
using test::field;
using test::fieldTexts;

namespace {

struct Message {
    QString title;
    QString text;
    QStringList fieldsBehind;  // what the window showed while the message was up
};

enum class Edit { Type, Paste, PasteOverAll };

}  // namespace

Q_DECLARE_METATYPE(Edit)

namespace {

const QString kSmile = QString::fromUcs4(U"\U0001F600");  // outside the BMP: two UTF-16 units

QString repeated(const QString& text, int times) {
    QString result;
    for (int i = 0; i < times; ++i) {
        result += text;
    }
    return result;
}

QPushButton* button(const QWidget& window, int i) {
    return control<QPushButton>(window, QStringLiteral("Command1_%1").arg(i));
}

// Puts `text` into an input box as a person does: click into it, select all, type.
void retype(QLineEdit* box, const QString& text) {
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    test::typeText(box, text);
}

QString textOf(const QWidget* widget) {
    if (const auto* box = qobject_cast<const QPlainTextEdit*>(widget)) {
        return box->toPlainText();
    }
    return qobject_cast<const QLineEdit*>(widget)->text();
}

QStringList readOnlyBoxes() {
    QStringList names;
    for (int i = 2; i <= 7; ++i) {
        names << QStringLiteral("Text2_%1").arg(i);
    }
    names << QStringLiteral("Text1_0");
    return names;
}

}  // namespace

class BehaviourTest : public QObject {
    Q_OBJECT

  private:
    std::vector<Message> messages_;
    platform::MessageFunction realMessage_;

  private slots:
    void initTestCase() { platform::qt::useStandardLook(); }

    // Every message is recorded and dismissed at once, as if the user pressed OK.
    void init() {
        messages_.clear();
        realMessage_ = platform::replaceMessageFunction(
            [this](platform::Window& owner, std::u16string_view title, std::u16string_view text) {
                messages_.push_back({test::toQString(title), test::toQString(text),
                                     fieldTexts(owner.native().window)});
            });
    }

    void cleanup() { platform::replaceMessageFunction(std::move(realMessage_)); }

    void calculateThenClear_data() {
        QTest::addColumn<QString>("stay");
        QTest::addColumn<QString>("visits");
        QTest::addColumn<QStringList>("results");
        QTest::newRow("empty inputs -> 0:0:0 and 0:0:0")
            << QString() << QString() << QStringList{"0", "0", "0", "0", "0", "0"};
        QTest::newRow("100 s, 10 visits -> 0:1:40 and 0:16:40")
            << "100"
            << "10" << QStringList{"0", "1", "40", "0", "16", "40"};
        QTest::newRow("3661 s, 2 visits -> 1:1:1 and 2:2:2")
            << "3661"
            << "2" << QStringList{"1", "1", "1", "2", "2", "2"};
        QTest::newRow("'abc' reads 0 -> 0:0:0 and 0:0:0")
            << "abc"
            << "7" << QStringList{"0", "0", "0", "0", "0", "0"};
        QTest::newRow("99999 s, 1 visit -> 27:46:39 twice")
            << "99999"
            << "1" << QStringList{"27", "46", "39", "27", "46", "39"};
    }

    void calculateThenClear() {
        QFETCH(QString, stay);
        QFETCH(QString, visits);
        QFETCH(QStringList, results);
        ui::Vistral vistral;
        QWidget& window = test::widget(vistral);
        QVERIFY(test::showActive(vistral));

        retype(field(window, 0), stay);
        retype(field(window, 1), visits);
        QTest::mouseClick(button(window, 0), Qt::LeftButton);
        QCOMPARE(fieldTexts(window), (QStringList{stay, visits} + results));

        QTest::mouseClick(button(window, 1), Qt::LeftButton);
        QCOMPARE(fieldTexts(window), QStringList(8));
        QVERIFY(messages_.empty());
    }

    void focusOrder_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QStringList>("visited");
        QTest::newRow("Tab goes forward and wraps to the description")
            << int(Qt::Key_Tab)
            << QStringList{"Text2_0",    "Text2_1", "Text2_2", "Text2_3", "Text2_4", "Command1_0",
                           "Command1_1", "Text2_5", "Text2_6", "Text2_7", "Text1_0", "Text2_0"};
        QTest::newRow("Shift+Tab goes back and wraps to Text2 7")
            << int(Qt::Key_Backtab)
            << QStringList{"Text2_7", "Text2_6", "Text2_5", "Command1_1", "Command1_0", "Text2_4",
                           "Text2_3", "Text2_2", "Text2_1", "Text2_0",    "Text1_0",    "Text2_7"};
    }

    void focusOrder() {
        QFETCH(int, key);
        QFETCH(QStringList, visited);
        ui::Vistral vistral;
        QVERIFY(test::showActive(vistral));
        const Qt::KeyboardModifiers modifiers =
            key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier;
        QStringList seen;
        for (qsizetype i = 0; i < visited.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
            seen << test::focusName();
        }
        QCOMPARE(seen, visited);
    }

    void inputLimit_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("before");
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("after");
        for (const char* box : {"Text2_0", "Text2_1"}) {
            const auto row = [box](const char* what) -> QTestData& {
                return QTest::addRow("%s: %s", box, what) << QString::fromLatin1(box);
            };
            row("typing six digits keeps five") << "" << Edit::Type << "123456"
                                                << "12345";
            row("a sixth digit is refused") << "12345" << Edit::Type << "6"
                                            << "12345";
            row("five characters outside the BMP fit")
                << "" << Edit::Type << repeated(kSmile, 5) << repeated(kSmile, 5);
            row("a sixth after five outside the BMP is refused")
                << repeated(kSmile, 5) << Edit::Type << "1" << repeated(kSmile, 5);
            row("a sixth outside the BMP after five digits is refused")
                << "12345" << Edit::Type << kSmile << "12345";
            row("a paste that fits is inserted") << "123" << Edit::Paste << "45"
                                                 << "12345";
            row("a paste longer than the room inserts nothing") << "123" << Edit::Paste << "456"
                                                                << "123";
            row("six characters pasted into an empty box insert nothing")
                << "" << Edit::Paste << "123456"
                << "";
            row("two characters outside the BMP pasted after three digits fit")
                << "123" << Edit::Paste << kSmile + kSmile << "123" + kSmile + kSmile;
            row("three outside the BMP pasted after three digits insert nothing")
                << "123" << Edit::Paste << repeated(kSmile, 3) << "123";
            row("a paste over the whole text counts only what remains")
                << "12345" << Edit::PasteOverAll << "67890"
                << "67890";
        }
    }

    void inputLimit() {
        QFETCH(QString, box);
        QFETCH(QString, before);
        QFETCH(Edit, edit);
        QFETCH(QString, input);
        QFETCH(QString, after);
        ui::Vistral vistral;
        QWidget& window = test::widget(vistral);
        QVERIFY(test::showActive(vistral));
        auto* lineEdit = control<QLineEdit>(window, box);
        QVERIFY(lineEdit != nullptr);
        lineEdit->setFocus();
        test::typeText(lineEdit, before);
        QCOMPARE(lineEdit->text(), before);

        switch (edit) {
            case Edit::Type:
                test::typeText(lineEdit, input);
                break;
            case Edit::PasteOverAll:
                QTest::keyClick(lineEdit, Qt::Key_A, Qt::ControlModifier);
                [[fallthrough]];
            case Edit::Paste:
                QGuiApplication::clipboard()->setText(input);
                QTest::keyClick(lineEdit, Qt::Key_V, Qt::ControlModifier);
                break;
        }
        QCOMPARE(lineEdit->text(), after);
    }

    void readOnlyRefusesKeys_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        const std::tuple<const char*, Qt::Key, Qt::KeyboardModifiers> keys[] = {
            {"typing a digit", Qt::Key_7, Qt::NoModifier},
            {"typing a letter", Qt::Key_A, Qt::NoModifier},
            {"Backspace", Qt::Key_Backspace, Qt::NoModifier},
            {"Delete", Qt::Key_Delete, Qt::NoModifier},
            {"Ctrl+X cut", Qt::Key_X, Qt::ControlModifier},
            {"Shift+Delete cut", Qt::Key_Delete, Qt::ShiftModifier},
            {"Ctrl+V paste", Qt::Key_V, Qt::ControlModifier},
            {"Shift+Insert paste", Qt::Key_Insert, Qt::ShiftModifier},
            {"Ctrl+Z undo", Qt::Key_Z, Qt::ControlModifier},
            {"Ctrl+K delete to end", Qt::Key_K, Qt::ControlModifier},
            {"Ctrl+Backspace delete word", Qt::Key_Backspace, Qt::ControlModifier},
            {"Enter", Qt::Key_Return, Qt::NoModifier},
        };
        for (const QString& box : readOnlyBoxes()) {
            for (const auto& [what, key, modifiers] : keys) {
                QTest::addRow("%s: %s", qPrintable(box), what) << box << int(key) << modifiers;
            }
        }
    }

    // The whole text is selected first, so that any editing key would change it.
    void readOnlyRefusesKeys() {
        QFETCH(QString, box);
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        ui::Vistral vistral;
        QWidget& window = test::widget(vistral);
        QVERIFY(test::showActive(vistral));
        QTest::keyClicks(field(window, 0), "100");
        QTest::keyClicks(field(window, 1), "10");
        QTest::mouseClick(button(window, 0), Qt::LeftButton);
        QWidget* widget = control(window, box);
        widget->setFocus();
        const QString before = textOf(widget);
        QVERIFY(!before.isEmpty());
        QGuiApplication::clipboard()->setText(QStringLiteral("9"));

        QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(widget, Qt::Key(key), modifiers);
        QCOMPARE(textOf(widget), before);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("9"));
    }

    void readOnlyRefusesMenuAndDrop_data() {
        QTest::addColumn<QString>("box");
        for (const QString& box : readOnlyBoxes()) {
            QTest::newRow(qPrintable(box)) << box;
        }
    }

    // Every action the context menu offers may run; none changes the text. A text
    // dropped onto the box is refused.
    void readOnlyRefusesMenuAndDrop() {
        QFETCH(QString, box);
        ui::Vistral vistral;
        QWidget& window = test::widget(vistral);
        QVERIFY(test::showActive(vistral));
        field(window, 2)->setText(QStringLiteral("12"));
        field(window, 3)->setText(QStringLiteral("34"));
        field(window, 4)->setText(QStringLiteral("56"));
        field(window, 5)->setText(QStringLiteral("78"));
        field(window, 6)->setText(QStringLiteral("90"));
        field(window, 7)->setText(QStringLiteral("11"));
        QWidget* widget = control(window, box);
        const QString before = textOf(widget);
        QGuiApplication::clipboard()->setText(QStringLiteral("9"));

        QMenu* menu = nullptr;
        QWidget* dropTarget = widget;
        if (auto* lineEdit = qobject_cast<QLineEdit*>(widget)) {
            lineEdit->selectAll();
            menu = lineEdit->createStandardContextMenu();
        } else {
            auto* plain = qobject_cast<QPlainTextEdit*>(widget);
            plain->selectAll();
            menu = plain->createStandardContextMenu();
            dropTarget = plain->viewport();
        }
        QStringList offered;
        for (QAction* action : menu->actions()) {
            if (action->isEnabled() && action->isVisible() && !action->isSeparator()) {
                offered << action->text();
                action->trigger();
            }
        }
        delete menu;
        QVERIFY2(!offered.isEmpty(), "copying must stay possible");
        QCOMPARE(textOf(widget), before);

        QMimeData mime;
        mime.setText(QStringLiteral("777"));
        const QPointF at(5, 5);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(dropTarget, &enter);
        QVERIFY(!enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(dropTarget, &drop);
        QCOMPARE(textOf(widget), before);
    }

    void readOnlyBoxesTakeFocusAndCopy_data() { readOnlyRefusesMenuAndDrop_data(); }

    // Selecting with the keyboard alone: Ctrl+Home, Shift+End, Ctrl+C copies the
    // (first visual line of the) text.
    void readOnlyBoxesTakeFocusAndCopy() {
        QFETCH(QString, box);
        ui::Vistral vistral;
        QWidget& window = test::widget(vistral);
        QVERIFY(test::showActive(vistral));
        for (int i = 2; i <= 7; ++i) {
            field(window, i)->setText(QStringLiteral("4%1").arg(i));
        }
        QWidget* widget = control(window, box);
        QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(test::focusName(), box);
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(widget, Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(widget, Qt::Key_End, Qt::ShiftModifier);
        QTest::keyClick(widget, Qt::Key_C, Qt::ControlModifier);
        const QString copied = QGuiApplication::clipboard()->text();
        QVERIFY(copied.size() >= 2);
        QVERIFY(textOf(widget).startsWith(copied));
    }

    void buttonKeys_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QStringList>("fields");
        const QStringList calculated{"100", "10", "0", "1", "40", "0", "16", "40"};
        const QStringList cleared(8);
        QTest::newRow("Return on Изчисли")
            << 0 << int(Qt::Key_Return) << Qt::KeyboardModifiers() << calculated;
        QTest::newRow("keypad Enter on Изчисли")
            << 0 << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier) << calculated;
        QTest::newRow("Space on Изчисли")
            << 0 << int(Qt::Key_Space) << Qt::KeyboardModifiers() << calculated;
        QTest::newRow("Return on Изтрий")
            << 1 << int(Qt::Key_Return) << Qt::KeyboardModifiers() << cleared;
        QTest::newRow("keypad Enter on Изтрий")
            << 1 << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier) << cleared;
        QTest::newRow("Space on Изтрий")
            << 1 << int(Qt::Key_Space) << Qt::KeyboardModifiers() << cleared;
    }

    void buttonKeys() {
        QFETCH(int, index);
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QStringList, fields);
        ui::Vistral vistral;
        QWidget& window = test::widget(vistral);
        QVERIFY(test::showActive(vistral));
        QTest::keyClicks(field(window, 0), "100");
        QTest::keyClicks(field(window, 1), "10");
        QPushButton* pushButton = button(window, index);
        pushButton->setFocus();
        QSignalSpy clicks(pushButton, &QAbstractButton::clicked);

        QTest::keyClick(pushButton, Qt::Key(key), modifiers);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(fieldTexts(window), fields);
        QCOMPARE(test::focusName(), pushButton->objectName());
    }

    // A held key repeats: as presses marked repeated, or on X11 as a release and a
    // press with the same time, which Qt may leave unmarked. Either way the button
    // clicks once.
    void heldKeyClicksOnce_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("marked");
        QTest::newRow("Enter, repeats marked") << int(Qt::Key_Return) << true;
        QTest::newRow("Enter, repeats unmarked") << int(Qt::Key_Return) << false;
        QTest::newRow("Space, repeats marked") << int(Qt::Key_Space) << true;
        QTest::newRow("Space, repeats unmarked") << int(Qt::Key_Space) << false;
    }

    void heldKeyClicksOnce() {
        QFETCH(int, key);
        QFETCH(bool, marked);
        ui::Vistral vistral;
        QWidget& window = test::widget(vistral);
        QVERIFY(test::showActive(vistral));
        QPushButton* calculate = button(window, 0);
        calculate->setFocus();
        QSignalSpy clicks(calculate, &QAbstractButton::clicked);
        const auto send = [&](QEvent::Type type, quint64 time, bool repeat) {
            QKeyEvent event(type, key, Qt::NoModifier, QString(), repeat);
            event.setTimestamp(time);
            QApplication::sendEvent(calculate, &event);
        };
        send(QEvent::KeyPress, 100, false);
        for (quint64 time = 600; time <= 700; time += 50) {
            send(QEvent::KeyRelease, time, marked);
            send(QEvent::KeyPress, time, marked);
        }
        send(QEvent::KeyRelease, 900, false);
        QCOMPARE(clicks.count(), 1);
    }

    // The window's own title bar (Wayland's): the window below it at its size,
    // and a maximised or full-screen state asked for anyway given back.
    void ownTitleBarKeepsTheWindowNormal_data() {
        QTest::addColumn<Qt::WindowState>("state");
        QTest::newRow("maximised") << Qt::WindowMaximized;
        QTest::newRow("full screen") << Qt::WindowFullScreen;
    }

    void ownTitleBarKeepsTheWindowNormal() {
        QFETCH(Qt::WindowState, state);
        ui::Vistral vistral;
        platform::Window::Native& native = vistral.window().native();
        native.frame = platform::qt::frameWithTitleBar(native.window);
        native.frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(native.frame.get()));
        native.frame->setWindowState(state);
        QCOMPARE(native.frame->windowState(), Qt::WindowNoState);
        QCOMPARE(native.frame->size(), QSize(464, 384));
        QCOMPARE(native.window.geometry(), QRect(0, 30, 464, 354));
    }

    void mouseClickLeavesFocusOnButton_data() {
        QTest::addColumn<int>("index");
        QTest::newRow("Изчисли") << 0;
        QTest::newRow("Изтрий") << 1;
    }

    void mouseClickLeavesFocusOnButton() {
        QFETCH(int, index);
        ui::Vistral vistral;
        QWidget& window = test::widget(vistral);
        QVERIFY(test::showActive(vistral));
        QSignalSpy clicks(button(window, index), &QAbstractButton::clicked);
        QTest::mouseClick(button(window, index), Qt::LeftButton);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(test::focusName(), QStringLiteral("Command1_%1").arg(index));
    }

    void overflow_data() {
        QTest::addColumn<QString>("stay");
        QTest::addColumn<QString>("visits");
        QTest::addColumn<bool>("byKeyboard");
        QTest::addColumn<QStringList>("behind");  // the fields while the message is up
        const QStringList averageOnly{"99999", "99999", "27", "46", "39", "", "", ""};
        const QStringList noResults{"10", "3E9", "", "", "", "", "", ""};
        QTest::newRow("99999 s x 99999 visits, clicked: average shown, total emptied")
            << "99999"
            << "99999" << false << averageOnly;
        QTest::newRow("99999 s x 99999 visits, Enter: average shown, total emptied")
            << "99999"
            << "99999" << true << averageOnly;
        QTest::newRow("10 s x 3E9 visits, clicked: no result shown") << "10"
                                                                     << "3E9" << false << noResults;
        QTest::newRow("10 s x 3E9 visits, Enter: no result shown") << "10"
                                                                   << "3E9" << true << noResults;
    }

    // The overflow is reported once; after the message the program goes on with
    // the inputs as typed, the focus back on the button, and the next click works.
    void overflow() {
        QFETCH(QString, stay);
        QFETCH(QString, visits);
        QFETCH(bool, byKeyboard);
        QFETCH(QStringList, behind);
        ui::Vistral vistral;
        QWidget& window = test::widget(vistral);
        QVERIFY(test::showActive(vistral));
        // Results of earlier inputs must not survive the failed calculation.
        retype(field(window, 0), QStringLiteral("100"));
        retype(field(window, 1), QStringLiteral("10"));
        QTest::mouseClick(button(window, 0), Qt::LeftButton);
        QCOMPARE(field(window, 7)->text(), QStringLiteral("40"));

        retype(field(window, 0), stay);
        retype(field(window, 1), visits);
        if (byKeyboard) {
            button(window, 0)->setFocus();
            QTest::keyClick(button(window, 0), Qt::Key_Return);
        } else {
            QTest::mouseClick(button(window, 0), Qt::LeftButton);
        }

        QCOMPARE(messages_.size(), std::size_t{1});
        QCOMPARE(messages_[0].title, test::toQString(platform::kMessageTitle));
        QCOMPARE(messages_[0].text, test::toQString(platform::kOverflowMessage));
        QVERIFY(messages_[0].text.contains(QStringLiteral("Препълване")));
        QCOMPARE(messages_[0].fieldsBehind, behind);
        QCOMPARE(fieldTexts(window), behind);
        QVERIFY(window.isVisible());
        QCOMPARE(test::focusName(), QStringLiteral("Command1_0"));

        retype(field(window, 1), QStringLiteral("1"));
        button(window, 0)->setFocus();
        QTest::keyClick(button(window, 0), Qt::Key_Space);
        QCOMPARE(messages_.size(), std::size_t{1});
        QCOMPARE(field(window, 2)->text(), stay == u"10" ? u"0" : u"27");
    }

    // The message the user really sees: modal, titled, one button that dismisses it.
    // A click on "Изчисли" while it is open, as assistive technology can make,
    // opens no second box: the one box answers both.
    void overflowMessageBox() {
        int asked = 0;
        platform::replaceMessageFunction(
            [&](platform::Window& owner, std::u16string_view title, std::u16string_view text) {
                ++asked;
                realMessage_(owner, title, text);
            });
        ui::Vistral vistral;
        QWidget& window = test::widget(vistral);
        QVERIFY(test::showActive(vistral));
        retype(field(window, 0), QStringLiteral("99999"));
        retype(field(window, 1), QStringLiteral("99999"));

        QString title;
        QString text;
        QStringList buttons;
        bool modal = false;
        qsizetype boxesShown = 0;
        bool clickedAgain = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, &window, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            if (!clickedAgain) {
                clickedAgain = true;
                QTimer::singleShot(0, button(window, 0), &QAbstractButton::click);
            }
            if (asked != 2) {
                return;
            }
            poll.stop();
            const QWidgetList all = QApplication::topLevelWidgets();
            boxesShown = std::count_if(all.begin(), all.end(), [](const QWidget* w) {
                return w->isVisible() && qobject_cast<const QMessageBox*>(w) != nullptr;
            });
            title = box->windowTitle();
            text = box->text();
            modal = box->windowModality() == Qt::ApplicationModal;
            for (const QAbstractButton* b : box->buttons()) {
                buttons << b->text();
            }
            QTest::keyClick(box, Qt::Key_Return);
        });
        poll.start(10);
        QTest::mouseClick(button(window, 0), Qt::LeftButton);

        QCOMPARE(title, QStringLiteral("Vistral"));
        QCOMPARE(text, test::toQString(platform::kOverflowMessage));
        QCOMPARE(buttons, QStringList{QStringLiteral("OK")});
        QCOMPARE(asked, 2);
        QCOMPARE(boxesShown, 1);
        QVERIFY(modal);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QVERIFY(window.isVisible());
        QTRY_COMPARE(test::focusName(), QStringLiteral("Command1_0"));
        QCOMPARE(field(window, 2)->text(), QStringLiteral("27"));
    }
};

QTEST_MAIN(BehaviourTest)
#include "behaviour_test.moc"
