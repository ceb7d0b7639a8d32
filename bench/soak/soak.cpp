// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Memory over long use: the real window driven as a person drives it, through
// thousands of rounds of typing both inputs, "Изчисли" (calculate) and "Изтрий"
// (clear), each pressed by the mouse, Space or Enter. Every tenth round the
// inputs are too large, so the real overflow message appears, modal, and is
// answered once its button has been painted, as a person sees it before
// answering: a click on OK, Enter or Escape. Nothing stands in for the message
// function.
//
//   soak [ROUNDS]        (default 5000; QT_QPA_PLATFORM=offscreen, or any display)
//
// Prints the platform and whether assistive technology is being served, then one
// line at the start and one after every 1,000 rounds:
//   rounds=<n> messages=<n> rss_kib=<KiB> peak_rss_kib=<KiB> seconds=<s>
// rss is the resident size then (VmRSS), peak the largest so far (VmHWM).
// Exits 1 if a round does not end as it should.
#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QIcon>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "app/qt/native.h"
#include "tests/gui/window_support.h"
#include "ui/main_window.h"

namespace {

constexpr int kReportEvery = 1000;
constexpr int kMessageEvery = 10;

// A field of /proc/self/status in KiB ("VmRSS", "VmHWM").
long long statusKiB(const char* name) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray key = QByteArray(name) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key)) {
            return line.mid(key.size()).trimmed().split(' ').first().toLongLong();
        }
    }
    return -1;
}

// Answers every message box once it is shown and its button painted, from
// inside the box's own event loop: a click on its button, Enter or Escape. (What
// the style draws is kept in its caches: a box answered before it is painted
// leaves nothing there.)
class MessageAnswerer final : public QObject {
  public:
    int answered = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && qobject_cast<QMessageBox*>(watched) != nullptr) {
            shown_ = static_cast<QMessageBox*>(watched);
        } else if (event->type() == QEvent::Paint && shown_ != nullptr &&
                   qobject_cast<QAbstractButton*>(watched) != nullptr &&
                   static_cast<QWidget*>(watched)->window() == shown_) {
            QMessageBox* box = std::exchange(shown_, nullptr);
            // After the paint, which goes on once this filter returns.
            QMetaObject::invokeMethod(
                box, [this, box] { answer(*box); }, Qt::QueuedConnection);
        }
        return false;
    }

  private:
    QMessageBox* shown_ = nullptr;

    void answer(QMessageBox& box) {
        // The buttons are pressed in turn by round, so every third message the
        // answer changes: each way of pressing meets each way of answering.
        switch (answered++ / 3 % 3) {
            case 0:
                QTest::mouseClick(box.buttons().constFirst(), Qt::LeftButton);
                break;
            case 1:
                QTest::keyClick(&box, Qt::Key_Return);
                break;
            default:
                QTest::keyClick(&box, Qt::Key_Escape);
                break;
        }
    }
};

// A click on `button` by the mouse, Space or Enter, as `way` is 0, 1 or 2.
void press(QPushButton* button, int way) {
    if (way == 0) {
        QTest::mouseClick(button, Qt::LeftButton);
        return;
    }
    button->setFocus();
    QTest::keyClick(button, way == 1 ? Qt::Key_Space : Qt::Key_Return);
}

void retype(QLineEdit* box, const QString& text) {
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, text);
}

void report(int rounds, int messages, const QElapsedTimer& clock) {
    std::printf("rounds=%d messages=%d rss_kib=%lld peak_rss_kib=%lld seconds=%.1f\n", rounds,
                messages, statusKiB("VmRSS"), statusKiB("VmHWM"),
                static_cast<double>(clock.elapsed()) / 1000.0);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 5000;
    // Set up as the program's own main sets up the application.
    QApplication::setApplicationName(QStringLiteral("Vistral"));
    QGuiApplication::setDesktopFileName(QStringLiteral(VISTRAL_APP_ID));
    platform::qt::useStandardLook();
    QApplication::setWindowIcon(QIcon(QStringLiteral(VISTRAL_ICON_FILE)));
    MessageAnswerer answerer;
    application.installEventFilter(&answerer);

    ui::Vistral vistral;
    QWidget& window = test::widget(vistral);
    window.show();
    window.activateWindow();
    // The rounds send their keys and clicks to the controls themselves, so the
    // window needs to be shown, not active (not every platform activates windows).
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fprintf(stderr, "the window was not shown\n");
        return 1;
    }
    QLineEdit* stay = test::field(window, 0);
    QLineEdit* visits = test::field(window, 1);
    QLineEdit* total = test::field(window, 7);
    auto* calculate = test::control<QPushButton>(window, QStringLiteral("Command1_0"));
    auto* clear = test::control<QPushButton>(window, QStringLiteral("Command1_1"));

    // Assistive technology is served once the bridge has reached the accessibility
    // bus, which it asks for after start-up.
    if (qEnvironmentVariableIsSet("QT_LINUX_ACCESSIBILITY_ALWAYS_ON")) {
        (void)QTest::qWaitFor([] { return QAccessible::isActive(); }, 10'000);
    }
    std::printf("platform=%s accessibility=%s\n", qPrintable(QGuiApplication::platformName()),
                QAccessible::isActive() ? "on" : "off");
    QElapsedTimer clock;
    clock.start();
    report(0, answerer.answered, clock);
    for (int round = 1; round <= rounds; ++round) {
        const bool overflow = round % kMessageEvery == 0;
        // 99999 s times 99999 visits does not fit; the others do.
        retype(stay, overflow ? QStringLiteral("99999") : QString::number(100 + round % 900));
        retype(visits, overflow ? QStringLiteral("99999") : QString::number(1 + round % 97));
        const int messagesBefore = answerer.answered;
        press(calculate, round % 3);
        const bool shown = answerer.answered == messagesBefore + (overflow ? 1 : 0);
        if (!shown || total->text().isEmpty() == !overflow ||
            QApplication::activeModalWidget() != nullptr) {
            std::fprintf(stderr, "round %d: the calculation did not end as it should\n", round);
            return 1;
        }
        press(clear, round / 3 % 3);
        if (!stay->text().isEmpty()) {
            std::fprintf(stderr, "round %d: the fields were not cleared\n", round);
            return 1;
        }
        if (round % kReportEvery == 0 || round == rounds) {
            report(round, answerer.answered, clock);
        }
    }
    return 0;
}
