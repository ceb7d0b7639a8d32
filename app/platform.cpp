// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/platform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRect>
#include <QScreen>
#include <QStyle>
#include <QTextCursor>
#include <QTimer>
#include <QValidator>
#include <QWidget>
#include <utility>

#include "calc/numeric.h"

namespace platform {

namespace {

constexpr int kTwipsPerPixel = 15;

QColor toColor(Rgb rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

void setColour(QWidget& widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget.palette();
    palette.setColor(role, colour);
    widget.setPalette(palette);
}

// The window's back colour would pass to every child through the palette; text
// boxes and buttons keep the toolkit's own colours for their frames and scroll bars.
void keepStandardWindowColour(QWidget& widget) {
    setColour(widget, QPalette::Window, QApplication::palette().color(QPalette::Window));
}

// Characters as a person counts them: a surrogate pair is one character.
qsizetype characterCount(QStringView text) {
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!(text[i].isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate())) {
            ++count;
        }
    }
    return count;
}

// QLineEdit::setMaxLength counts UTF-16 units, so the limit is a validator: a
// change that would leave more than `limit` characters (typing, pasting, dropping)
// is undone by the line edit as a whole.
class CharLimitValidator final : public QValidator {
  public:
    CharLimitValidator(int limit, QObject* parent) : QValidator(parent), limit_(limit) {}

    State validate(QString& input, int& /*pos*/) const override {
        return characterCount(input) <= limit_ ? Acceptable : Invalid;
    }

  private:
    int limit_;
};

// A plain QPushButton outside a dialog passes Enter on to its window; here Enter
// clicks, once per press (a held key does not repeat the click). Space is
// QPushButton's own: one click on release.
class PushButton final : public QPushButton {
  public:
    using QPushButton::QPushButton;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            event->accept();
            if (!event->isAutoRepeat()) {
                click();
            }
            return;
        }
        QPushButton::keyPressEvent(event);
    }
};

QPoint screenCentre() {
    return QGuiApplication::primaryScreen()->geometry().center();
}

void placeFrameCentred(QWidget& window) {
    QRect frame = window.frameGeometry();
    frame.moveCenter(screenCentre());
    window.move(frame.topLeft());
}

// Before the window is first shown its frame is not known (the window manager adds
// it), so once the frame has appeared the window is moved by what its frame lies
// off the centre. Window managers and Qt's platforms differ in where a move puts
// the frame, hence a check after each move, a few rounds at most.
class CentreWhenFramed final : public QObject {
  public:
    explicit CentreWhenFramed(QWidget& window) : QObject(&window), window_(window) {
        window.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_ && event->type() == QEvent::Move && !checkPending_ &&
            window_.frameGeometry().size() != window_.size()) {
            // Checked once the move has settled, after the events that come with it.
            checkPending_ = true;
            QTimer::singleShot(0, this, [this] {
                checkPending_ = false;
                check();
            });
        }
        return false;
    }

  private:
    void check() {
        const QPoint offCentre = window_.frameGeometry().center() - screenCentre();
        if (offCentre.isNull() || ++rounds_ > kMaxRounds) {
            window_.removeEventFilter(this);
            deleteLater();
        } else {
            window_.move(window_.pos() - offCentre);
        }
    }

    static constexpr int kMaxRounds = 2;
    QWidget& window_;
    int rounds_ = 0;
    bool checkPending_ = false;
};

void messageBox(QWidget* owner, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, owner);
    box.addButton(kMessageButton.toString(), QMessageBox::AcceptRole);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

MessageFunction& messageFunction() {
    static MessageFunction message = messageBox;
    return message;
}

// The error guard around one click: nothing thrown by the action reaches Qt's
// event loop. The report is shown after the handler, when the error is gone.
void runGuarded(QPushButton& button, const std::function<void()>& action) noexcept {
    QStringView report;
    try {
        action();
        return;
    } catch (const calc::OverflowError&) {
        report = kOverflowMessage;
    } catch (...) {
        report = kUnexpectedErrorMessage;
    }
    showMessage(button.window(), kMessageTitle.toString(), report.toString());
    // Without a window manager nothing gives the window back its activation when
    // the message closes.
    button.window()->activateWindow();
    button.setFocus(Qt::OtherFocusReason);
}

}  // namespace

QRect toPixels(const TwipsRect& twips) {
    return QRect(twips.left / kTwipsPerPixel, twips.top / kTwipsPerPixel,
                 twips.width / kTwipsPerPixel, twips.height / kTwipsPerPixel);
}

void useStandardLook() {
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setPalette(QApplication::style()->standardPalette());
    QFont::insertSubstitution(QStringLiteral("Times New Roman"),
                              QStringLiteral("Liberation Serif"));
}

void makeTopLevelWindow(QWidget& window, QStringView title, int clientWidth, int clientHeight,
                        Rgb background, const QFont& font) {
    window.setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint |
                          Qt::MSWindowsFixedSizeDialogHint);
    window.setWindowTitle(title.toString());
    window.setFixedSize(toPixels({0, 0, clientWidth, clientHeight}).size());
    window.setAutoFillBackground(true);
    setColour(window, QPalette::Window, toColor(background));
    window.setFont(font);
}

QLabel* addLabel(QWidget& parent, const TwipsRect& rect, QStringView text, Rgb background,
                 Alignment alignment) {
    auto* label = new QLabel(text.toString(), &parent);
    label->setGeometry(toPixels(rect));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignTop |
                        (alignment == Alignment::Centre ? Qt::AlignHCenter : Qt::AlignLeft));
    label->setWordWrap(true);
    label->setFocusPolicy(Qt::NoFocus);
    label->setAutoFillBackground(true);
    setColour(*label, QPalette::Window, toColor(background));
    // Where a label meets a text box or a button, the box or button is on top.
    label->lower();
    return label;
}

QLineEdit* addTextBox(QWidget& parent, const TwipsRect& rect, Alignment alignment, bool readOnly,
                      int charLimit) {
    auto* box = new QLineEdit(&parent);
    box->setGeometry(toPixels(rect));
    box->setAlignment(Qt::AlignVCenter |
                      (alignment == Alignment::Centre ? Qt::AlignHCenter : Qt::AlignLeft));
    keepStandardWindowColour(*box);
    if (readOnly) {
        // Qt's read-only line edit already refuses typing, cut, paste, delete,
        // undo and drops and leaves only Copy and Select All in its context menu.
        box->setReadOnly(true);
        box->setAcceptDrops(false);
    }
    if (charLimit != kNoLimit) {
        box->setValidator(new CharLimitValidator(charLimit, box));
    }
    return box;
}

QPlainTextEdit* addDescriptionBox(QWidget& parent, const TwipsRect& rect, QStringView text) {
    auto* box = new QPlainTextEdit(&parent);
    box->setGeometry(toPixels(rect));
    keepStandardWindowColour(*box);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setUndoRedoEnabled(false);
    box->setPlainText(text.toString());
    box->setReadOnly(true);
    // Read-only alone allows selecting by mouse only; the keyboard selects too, so
    // the text can be copied without a mouse. Tab leaves the box.
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box->setFocusPolicy(Qt::StrongFocus);
    box->setTabChangesFocus(true);
    box->setAcceptDrops(false);
    box->moveCursor(QTextCursor::Start);
    return box;
}

QPushButton* addButton(QWidget& parent, const TwipsRect& rect, QStringView caption, Rgb face) {
    auto* button = new PushButton(caption.toString(), &parent);
    button->setGeometry(toPixels(rect));
    keepStandardWindowColour(*button);
    // A style sheet, not the palette: every widget style paints the face in exactly
    // this colour. The raised border (sunken while pressed) is shaded from it, and
    // turns black while the button has the focus (in place of the style's focus
    // mark, which would tint the face).
    const QString colour =
        QStringLiteral("rgb(%1, %2, %3)").arg(face.red).arg(face.green).arg(face.blue);
    button->setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1; "
                       "border: 2px outset %1; }"
                       "QPushButton:pressed { border-style: inset; }"
                       "QPushButton:focus { border-color: black; outline: none; }")
            .arg(colour));
    return button;
}

std::u16string fieldText(const QLineEdit& box) {
    return box.text().toStdU16String();
}

void setFieldText(QLineEdit& box, std::u16string_view text) {
    box.setText(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
}

void deliverClicks(QPushButton& button, std::function<void()> onClick) {
    QObject::connect(&button, &QAbstractButton::clicked, &button,
                     [&button, action = std::move(onClick)] { runGuarded(button, action); });
}

void setFocusOrder(std::span<QWidget* const> order) {
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
}

void showMessage(QWidget* owner, const QString& title, const QString& text) {
    // A copy, so that a message function may replace itself while it runs.
    const MessageFunction message = messageFunction();
    message(owner, title, text);
}

MessageFunction replaceMessageFunction(MessageFunction message) {
    return std::exchange(messageFunction(), std::move(message));
}

int run(QWidget& window, QWidget& firstFocus) {
    placeFrameCentred(window);
    new CentreWhenFramed(window);
    firstFocus.setFocus(Qt::ActiveWindowFocusReason);
    window.show();
    QGuiApplication::setQuitOnLastWindowClosed(true);
    return QApplication::exec();
}

}  // namespace platform
