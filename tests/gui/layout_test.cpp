// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// What a person sees of the window: where each control stands, what it says, its
// colours and font, the size and border of the window, the icon.
#include <QAccessible>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "app/platform.h"
#include "tests/gui/window_support.h"
#include "ui/main_window.h"

using test::control;

namespace {

const QColor kWindowBack(192, 192, 255);
const QColor kHeading(255, 192, 128);
const QColor kColumn(255, 128, 0);
const QColor kCalculate(128, 255, 128);
const QColor kClear(255, 128, 128);

const QString kDescription = QStringLiteral(
    "Да се създаде проект, представящ междупредметни връзки Информационни технологии и "
    "Информатика.\n"
    "Тема на проект: ИТ - средно време за престой в сайт.\n"
    "Почти всеки вид използвана статистика на сайт дава средно време за посещение (в секунди) и "
    "общ брой посетители. Това са входните данни за проекта, естествени числа от интервала "
    "[10..99999].\n"
    "Проектът трябва да изведе като изходни данни изчисленото време в часове, минути и секунди "
    "за:\n"
    "средно време за престой на посетител;\n"
    "общ престой в сайта.\n");

QStringList allControlNames() {
    QStringList names{QStringLiteral("Text1_0"), QStringLiteral("Command1_0"),
                      QStringLiteral("Command1_1")};
    for (int i = 0; i <= 10; ++i) {
        names << QStringLiteral("Label1_%1").arg(i);
    }
    for (int i = 0; i <= 7; ++i) {
        names << QStringLiteral("Text2_%1").arg(i);
    }
    return names;
}

}  // namespace

class LayoutTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { platform::qt::useStandardLook(); }

    void geometryInPixels_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("pixels");
        for (const auto& [name, pixels] : test::kControlPixels) {
            QTest::newRow(name) << QString::fromLatin1(name) << pixels;
        }
    }

    void geometryInPixels() {
        QFETCH(QString, name);
        QFETCH(QRect, pixels);
        ui::Vistral vistral;
        QWidget& window = test::widget(vistral);
        window.show();
        QWidget* widget = control(window, name);
        QVERIFY(widget != nullptr);
        QVERIFY(widget->isVisible());
        QCOMPARE(widget->geometry(), pixels);
    }

    void everyControlIsInTheTable() {
        ui::Vistral vistral;
        QWidget& window = test::widget(vistral);
        const auto children = window.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        QStringList names;
        for (const QWidget* child : children) {
            names << child->objectName();
        }
        names.sort();
        QStringList expected = allControlNames();
        expected.sort();
        QCOMPARE(names, expected);
    }

    void clientAreaIsFixedWithoutMinimiseOrMaximise() {
        ui::Vistral vistral;
        QWidget& window = test::widget(vistral);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.objectName(), QStringLiteral("Vistral"));
        QCOMPARE(window.size(), QSize(464, 354));
        QCOMPARE(window.minimumSize(), QSize(464, 354));
        QCOMPARE(window.maximumSize(), QSize(464, 354));
        window.resize(600, 500);
        QCOMPARE(window.size(), QSize(464, 354));
        const Qt::WindowFlags flags = window.windowFlags();
        QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    }

    void texts_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        const std::pair<const char*, const char*> rows[] = {
            {"Label1_0", "ИТ - средно време за престой в сайт"},
            {"Label1_1", "Средно престой [s]:"},
            {"Label1_2", "Брой посещения:"},
            {"Label1_3", "Часове"},
            {"Label1_4", "Минути"},
            {"Label1_5", "Секунди"},
            {"Label1_6", "Средно време за посетител"},
            {"Label1_7", "Часове"},
            {"Label1_8", "Минути"},
            {"Label1_9", "Секунди"},
            {"Label1_10", "Общо време за сайта"},
            {"Command1_0", "Изчисли"},
            {"Command1_1", "Изтрий"},
        };
        for (const auto& [name, text] : rows) {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(text);
        }
        for (int i = 0; i <= 7; ++i) {
            const QByteArray name = "Text2_" + QByteArray::number(i);
            QTest::newRow(name + " empty at start") << QString::fromLatin1(name) << QString();
        }
    }

    void texts() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        ui::Vistral vistral;
        QWidget& window = test::widget(vistral);
        QWidget* widget = control(window, name);
        QVERIFY(widget != nullptr);
        QCOMPARE(widget->property("text").toString(), text);
    }

    void titleAndDescription() {
        ui::Vistral vistral;
        QWidget& window = test::widget(vistral);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowTitle(), QStringLiteral("ИТ - времена,  статистика в сайт"));
        auto* description = control<QPlainTextEdit>(window, QStringLiteral("Text1_0"));
        QVERIFY(description != nullptr);
        QCOMPARE(description->toPlainText(), kDescription);
        // Long lines wrap at the box's width; the text scrolls vertically and
        // starts at its top.
        QCOMPARE(description->horizontalScrollBar()->maximum(), 0);
        QVERIFY(description->verticalScrollBar()->isVisible());
        QVERIFY(description->verticalScrollBar()->maximum() > 0);
        QCOMPARE(description->verticalScrollBar()->value(), 0);
        QVERIFY(description->textCursor().atStart());
    }

    void accessibleNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("accessibleName");
        const std::pair<const char*, const char*> rows[] = {
            {"Text2_0", "Средно престой [s]"},
            {"Text2_1", "Брой посещения"},
            {"Text2_2", "Средно време за посетител, Часове"},
            {"Text2_3", "Средно време за посетител, Минути"},
            {"Text2_4", "Средно време за посетител, Секунди"},
            {"Text2_5", "Общо време за сайта, Часове"},
            {"Text2_6", "Общо време за сайта, Минути"},
            {"Text2_7", "Общо време за сайта, Секунди"},
            {"Command1_0", "Изчисли"},
            {"Command1_1", "Изтрий"},
        };
        for (const auto& [name, accessibleName] : rows) {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(accessibleName);
        }
    }

    void accessibleNames() {
        QFETCH(QString, name);
        QFETCH(QString, accessibleName);
        ui::Vistral vistral;
        QWidget& window = test::widget(vistral);
        QWidget* widget = control(window, name);
        QVERIFY(widget != nullptr);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(accessible != nullptr);
        QCOMPARE(accessible->text(QAccessible::Name), accessibleName);
    }

    // Colours are read from the window's pixels, at a point inside each control
    // clear of its text.
    void colours_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QPoint>("at");  // inside the control, or in the window
        QTest::addColumn<QColor>("colour");
        const QColor base = QApplication::palette().color(QPalette::Base);
        const std::tuple<const char*, const char*, QPoint, QColor> rows[] = {
            {"window top left", "", {2, 2}, kWindowBack},
            {"window between the inputs and the buttons", "", {150, 125}, kWindowBack},
            {"window right of the results", "", {458, 200}, kWindowBack},
            {"window bottom left", "", {4, 350}, kWindowBack},
            {"Label1 0 title", "Label1_0", {3, 22}, kHeading},
            {"Label1 1 prompt", "Label1_1", {3, 22}, kHeading},
            {"Label1 2 prompt", "Label1_2", {3, 22}, kHeading},
            {"Label1 6 heading", "Label1_6", {3, 22}, kHeading},
            {"Label1 10 heading", "Label1_10", {3, 22}, kHeading},
            {"Label1 3 column", "Label1_3", {3, 22}, kColumn},
            {"Label1 4 column", "Label1_4", {3, 22}, kColumn},
            {"Label1 5 column", "Label1_5", {3, 22}, kColumn},
            {"Label1 7 column", "Label1_7", {3, 22}, kColumn},
            {"Label1 8 column", "Label1_8", {3, 22}, kColumn},
            {"Label1 9 column", "Label1_9", {3, 22}, kColumn},
            {"Command1 0 face", "Command1_0", {8, 12}, kCalculate},
            {"Command1 1 face", "Command1_1", {8, 12}, kClear},
            {"Text2 0 field", "Text2_0", {70, 13}, base},
            {"Text2 1 field", "Text2_1", {70, 16}, base},
            {"Text2 2 field", "Text2_2", {55, 13}, base},
            {"Text2 7 field", "Text2_7", {55, 13}, base},
            {"Text1 0 field", "Text1_0", {4, 3}, base},
        };
        for (const auto& [row, name, at, colour] : rows) {
            QTest::newRow(row) << QString::fromLatin1(name) << at << colour;
        }
    }

    void colours() {
        QFETCH(QString, name);
        QFETCH(QPoint, at);
        QFETCH(QColor, colour);
        ui::Vistral vistral;
        QWidget& window = test::widget(vistral);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QPoint point = at;
        if (!name.isEmpty()) {
            QWidget* widget = control(window, name);
            QVERIFY(widget != nullptr);
            QVERIFY(widget->rect().contains(at));
            point = widget->mapTo(&window, at);
        }
        const QImage image = window.grab().toImage();
        QCOMPARE(image.pixelColor(point), colour);
    }

    // A button reached with Tab shows the focus by a black border; its face keeps
    // its colour.
    void focusedButtonKeepsItsFace_data() {
        QTest::addColumn<int>("tabs");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QColor>("face");
        QTest::newRow("Изчисли after 6 Tabs") << 6 << "Command1_0" << kCalculate;
        QTest::newRow("Изтрий after 7 Tabs") << 7 << "Command1_1" << kClear;
    }

    void focusedButtonKeepsItsFace() {
        QFETCH(int, tabs);
        QFETCH(QString, name);
        QFETCH(QColor, face);
        ui::Vistral vistral;
        QWidget& window = test::widget(vistral);
        QVERIFY(test::showActive(vistral));
        for (int i = 0; i < tabs; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(test::focusName(), name);
        QWidget* button = control(window, name);
        const QImage image = window.grab().toImage();
        QCOMPARE(image.pixelColor(button->mapTo(&window, QPoint(8, 12))), face);
        QCOMPARE(image.pixelColor(button->mapTo(&window, QPoint(0, 12))), QColor(Qt::black));
    }

    // A dark desktop theme must not put light text on the light labels: the
    // program's standard look takes the place of the theme's colours.
    void labelTextStaysDarkUnderADarkTheme() {
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(30, 30, 30));
        dark.setColor(QPalette::WindowText, QColor(240, 240, 240));
        dark.setColor(QPalette::ButtonText, QColor(240, 240, 240));
        dark.setColor(QPalette::Text, QColor(240, 240, 240));
        dark.setColor(QPalette::Base, QColor(20, 20, 20));
        QApplication::setPalette(dark);
        platform::qt::useStandardLook();

        ui::Vistral vistral;

        QWidget& window = test::widget(vistral);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage image = window.grab().toImage();
        for (const QString& name : allControlNames()) {
            QWidget* widget = control(window, name);
            if (qobject_cast<QLabel*>(widget) == nullptr &&
                qobject_cast<QPushButton*>(widget) == nullptr) {
                continue;
            }
            int darkest = 255;
            const QRect area = widget->geometry();
            for (int y = area.top(); y <= area.bottom(); ++y) {
                for (int x = area.left(); x <= area.right(); ++x) {
                    darkest = std::min(darkest, image.pixelColor(x, y).lightness());
                }
            }
            QVERIFY2(darkest < 60, qPrintable(name));
        }
    }

    void fontCoversEveryLetter() {
        ui::Vistral vistral;
        QWidget& window = test::widget(vistral);
        QStringList texts{window.windowTitle(), kDescription};
        for (const QString& name : allControlNames()) {
            QWidget* widget = control(window, name);
            QVERIFY(widget != nullptr);
            const QFontInfo info(widget->font());
            // Liberation Serif takes the place of "Times New Roman" where it is missing.
            QVERIFY2(info.family() == QStringLiteral("Times New Roman") ||
                         info.family() == QStringLiteral("Liberation Serif"),
                     qPrintable(name + QStringLiteral(": ") + info.family()));
            // Asked for by a name the font database holds: a missing one costs a
            // sort of every installed font at start-up.
            QVERIFY2(QFontDatabase::hasFamily(widget->font().family()),
                     qPrintable(name + QStringLiteral(": ") + widget->font().family()));
            QCOMPARE(info.pointSize(), 12);
            QCOMPARE(info.weight(), QFont::Normal);
            QVERIFY(!info.italic());
            texts << widget->property("text").toString();
        }
        const QFontMetrics metrics(window.font());
        for (const QString& text : texts) {
            for (const uint c : text.toUcs4()) {
                if (c != u'\n') {
                    QVERIFY2(metrics.inFontUcs4(c),
                             qPrintable(QStringLiteral("U+%1 in \"%2\"").arg(c, 4, 16).arg(text)));
                }
            }
        }
    }

    void iconIsA32By32PaletteImageWithTransparency() {
        const QImage icon(QStringLiteral(VISTRAL_ICON_FILE));
        QCOMPARE(icon.size(), QSize(32, 32));
        QCOMPARE(icon.format(), QImage::Format_Indexed8);
        QVERIFY(icon.colorCount() <= 256);
        QVERIFY(icon.hasAlphaChannel());
        QCOMPARE(icon.pixelColor(0, 0).alpha(), 0);      // corner: background
        QCOMPARE(icon.pixelColor(16, 20).alpha(), 255);  // middle: the burger
    }

    // Start-up as the program does it: the frame centred on the primary screen,
    // the focus in the description, and closing the window ends the event loop
    // with status 0.
    void startsCentredFocusedAndClosesWithStatusZero() {
        ui::Vistral vistral;
        QWidget& window = test::widget(vistral);
        const QPoint centre = QGuiApplication::primaryScreen()->geometry().center();
        QRect frame;
        QString focus;
        QTimer::singleShot(0, &window, [&] {
            if (QTest::qWaitForWindowActive(&window)) {
                // Once the frame is known the window may move to centre it.
                (void)QTest::qWaitFor([&] { return window.frameGeometry().center() == centre; });
                frame = window.frameGeometry();
                focus = test::focusName();
            }
            window.close();
        });
        const int status = vistral.window().run(vistral.firstFocus());
        QCOMPARE(status, 0);
        QCOMPARE(focus, QStringLiteral("Text1_0"));
        QCOMPARE(frame.center(), centre);
    }
};

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
