// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The window on a high-density screen: with Qt's scale factor 2 every logical
// pixel is two device pixels wide and high, and the window must show at twice its
// size with every control at twice its place, not squeezed into the top-left
// quarter nor drawn in pieces at the wrong scale.
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "app/platform.h"
#include "tests/gui/window_support.h"
#include "ui/main_window.h"

using test::control;

namespace {

constexpr int kScale = 2;

const QColor kWindowBack(192, 192, 255);
const QColor kHeading(255, 192, 128);
const QColor kColumn(255, 128, 0);
const QColor kCalculate(128, 255, 128);
const QColor kClear(255, 128, 128);

QString describe(const QColor& colour) {
    return QStringLiteral("RGB(%1, %2, %3)")
        .arg(colour.red())
        .arg(colour.green())
        .arg(colour.blue());
}

}  // namespace

class ScaleTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        platform::qt::useStandardLook();
        QCOMPARE(qApp->devicePixelRatio(), qreal(kScale));
    }

    void grabIsTwiceTheClientArea() {
        ui::Vistral vistral;
        QWidget& window = test::widget(vistral);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.size(), QSize(464, 354));
        QCOMPARE(window.devicePixelRatio(), qreal(kScale));
        const QImage image = window.grab().toImage();
        QCOMPARE(image.size(), QSize(928, 708));
    }

    // Device pixels: the window's twips divided by 15, times 2.
    void controlsAtTwiceTheirPlace_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("devicePixels");
        for (const auto& [name, pixels] : test::kControlPixels) {
            const QRect devicePixels(pixels.topLeft() * 2, pixels.size() * 2);
            QTest::newRow(name) << QString::fromLatin1(name) << devicePixels;
        }
    }

    void controlsAtTwiceTheirPlace() {
        QFETCH(QString, name);
        QFETCH(QRect, devicePixels);
        ui::Vistral vistral;
        QWidget& window = test::widget(vistral);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QWidget* widget = control(window, name);
        QVERIFY(widget != nullptr);
        const qreal ratio = widget->devicePixelRatio();
        QCOMPARE(ratio, qreal(kScale));
        const QPoint topLeft = widget->mapTo(&window, QPoint(0, 0)) * ratio;
        const QSize size = widget->size() * ratio;
        QCOMPARE(QRect(topLeft, size), devicePixels);
    }

    // Colours read from the device pixels of the grab, at twice the logical points
    // inside each control (clear of its text) and just outside its edges.
    void coloursAtTwiceTheirPlace_data() {
        QTest::addColumn<QPoint>("at");  // device pixels
        QTest::addColumn<QColor>("colour");
        const QColor base = QApplication::palette().color(QPalette::Base);
        const std::tuple<const char*, QPoint, QColor> rows[] = {
            {"window top left", {4, 4}, kWindowBack},
            {"window bottom right", {925, 705}, kWindowBack},
            {"window between the inputs and the buttons", {300, 250}, kWindowBack},
            {"Label1 0 first column", {128, 44}, kHeading},
            {"window left of Label1 0", {127, 44}, kWindowBack},
            {"Label1 0 last column", {737, 44}, kHeading},
            {"window right of Label1 0", {738, 44}, kWindowBack},
            {"Label1 0 last row", {132, 49}, kHeading},
            {"window below Label1 0", {132, 50}, kWindowBack},
            {"Label1 1 first column", {32, 172}, kHeading},
            {"window left of Label1 1", {31, 172}, kWindowBack},
            {"Label1 2 first column", {32, 220}, kHeading},
            {"window below Label1 2", {40, 226}, kWindowBack},
            {"Label1 6 first row", {516, 80}, kHeading},
            {"window above Label1 6", {516, 79}, kWindowBack},
            {"Label1 6 last column", {897, 100}, kHeading},
            {"window right of Label1 6", {898, 100}, kWindowBack},
            {"Label1 3", {518, 172}, kColumn},
            {"Label1 4", {646, 172}, kColumn},
            {"Label1 5 last column", {897, 172}, kColumn},
            {"window right of Label1 5", {898, 172}, kWindowBack},
            {"Label1 10 first row", {516, 272}, kHeading},
            {"window above Label1 10", {516, 271}, kWindowBack},
            {"Label1 7", {518, 364}, kColumn},
            {"Label1 8", {646, 364}, kColumn},
            {"Label1 9 last column", {897, 364}, kColumn},
            {"window right of Label1 9", {898, 364}, kWindowBack},
            {"Command1 0 face", {48, 312}, kCalculate},
            {"window left of Command1 0", {31, 312}, kWindowBack},
            {"window below Command1 0", {48, 338}, kWindowBack},
            {"Command1 1 face", {272, 392}, kClear},
            {"window right of Command1 1", {482, 392}, kWindowBack},
            {"Text2 0 field", {460, 154}, base},
            {"Text2 1 field", {460, 206}, base},
            {"window right of Text2 1", {482, 206}, kWindowBack},
            {"Text2 2 field", {620, 202}, base},
            {"Text2 7 field", {876, 394}, base},
            {"window below Text2 7", {876, 422}, kWindowBack},
            {"Text1 0 field", {24, 454}, base},
            {"window above Text1 0", {24, 447}, kWindowBack},
        };
        for (const auto& [row, at, colour] : rows) {
            QTest::newRow(row) << at << colour;
        }
    }

    void coloursAtTwiceTheirPlace() {
        QFETCH(QPoint, at);
        QFETCH(QColor, colour);
        ui::Vistral vistral;
        QWidget& window = test::widget(vistral);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage image = window.grab().toImage();
        QCOMPARE(describe(image.pixelColor(at)), describe(colour));
    }

    // The whole picture: wherever the window drawn at scale 1 shows a flat colour
    // (a pixel and its eight neighbours alike, so no text and no thin line), the
    // high-density grab shows that colour in the 2 x 2 block of device pixels at
    // twice its place. A flat pixel has neighbours of its colour, so this finds a
    // part drawn two or more pixels off its place; the exact edges are checked above.
    void flatColoursOfTheOneToOnePictureAtTwiceTheirPlace() {
        ui::Vistral vistral;
        QWidget& window = test::widget(vistral);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage grab = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QImage oneToOne(window.size(), QImage::Format_RGB32);
        oneToOne.setDevicePixelRatio(1);
        window.render(&oneToOne);

        int compared = 0;
        QStringList differences;
        for (int y = 1; y + 1 < oneToOne.height(); ++y) {
            for (int x = 1; x + 1 < oneToOne.width(); ++x) {
                const QRgb colour = oneToOne.pixel(x, y);
                bool flat = true;
                for (int dy = -1; dy <= 1 && flat; ++dy) {
                    for (int dx = -1; dx <= 1 && flat; ++dx) {
                        flat = oneToOne.pixel(x + dx, y + dy) == colour;
                    }
                }
                if (!flat) {
                    continue;
                }
                ++compared;
                for (int dy = 0; dy < kScale; ++dy) {
                    for (int dx = 0; dx < kScale; ++dx) {
                        const QPoint device(kScale * x + dx, kScale * y + dy);
                        if (grab.pixel(device) != colour && differences.size() < 10) {
                            differences << QStringLiteral("(%1, %2): %3 instead of %4")
                                               .arg(device.x())
                                               .arg(device.y())
                                               .arg(describe(grab.pixelColor(device)),
                                                    describe(QColor(colour)));
                        }
                    }
                }
            }
        }
        qInfo("%d flat pixels of the 1:1 picture compared", compared);
        QVERIFY(compared > oneToOne.width() * oneToOne.height() / 2);
        QVERIFY2(differences.isEmpty(), qPrintable(differences.join(QStringLiteral("; "))));
    }
};

// The scale factor is read when the application starts, so it is set before.
int main(int argc, char** argv) {
    qputenv("QT_SCALE_FACTOR", QByteArray::number(kScale));
    QApplication app(argc, argv);
    QTEST_SET_MAIN_SOURCE_PATH
    ScaleTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "robustness_scale_test.moc"
