// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The platform operations over Qt 6 Widgets, the Linux toolkit:
//  - the window: a QWidget of fixed size with the title, back colour and font,
//    its frame centred once the window manager has added it;
//  - labels: QLabel, opaque, wrapping, below the boxes and buttons they meet;
//  - text boxes: QLineEdit with a validator that counts characters;
//  - the description: a read-only QPlainTextEdit that Tab leaves and that starts
//    no drag;
//  - buttons: QPushButton faces from a style sheet, Enter clicks once per press;
//  - the message: QMessageBox, application-modal, one a window, shown again;
//  - what assistive technology is told: app/qt/accessible_qt.cpp.
#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
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

#include "app/platform.h"
#include "app/qt/native.h"

namespace platform {

namespace {

QColor toColor(Rgb rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

// Qt scales logical pixels to the screen itself, so the rectangles are those of
// the standard density.
QRect toQRect(const TwipsRect& twips) {
    const PixelRect pixels = toPixels(twips);
    return QRect(pixels.left, pixels.top, pixels.width, pixels.height);
}

std::u16string_view toView(QStringView text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

QString toQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
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

// QLineEdit::setMaxLength counts UTF-16 units, so the limit is a validator: a
// change that would leave more than `limit` characters (typing, pasting, dropping)
// is undone by the line edit as a whole.
class CharLimitValidator final : public QValidator {
  public:
    CharLimitValidator(int limit, QObject* parent) : QValidator(parent), limit_(limit) {}

    State validate(QString& input, int& /*pos*/) const override {
        return fitsLimit(toView(input), limit_) ? Acceptable : Invalid;
    }

  private:
    int limit_;
};

// A plain QPushButton outside a dialog passes Enter on to its window; here Enter
// clicks, once per press. Space is QPushButton's own: one click on release. A
// held key clicks no more than once.
//
// A held key repeats. Qt marks the repeats it knows as such, but on X11 a repeat
// is a release and a press with the same server time, and Qt's mark misses the
// pairs whose press had not yet arrived when the release was read: after a
// message that a repeat closed, every pair would click again. So a press that
// carries the time of the release just before it is a repeat as well. (Events
// made up by a program may carry no time at all; those are never taken for one.)
// A repeated Space press is kept from the button too: it would press it again,
// for the next release to click.
class PushButton final : public QPushButton {
  public:
    using QPushButton::QPushButton;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        const bool repeat = event->isAutoRepeat() ||
                            (event->timestamp() != 0 && event->timestamp() == released_.timestamp &&
                             event->key() == released_.key);
        if (isEnter(*event)) {
            event->accept();
            if (!repeat) {
                click();
            }
            return;
        }
        if (repeat && event->key() == Qt::Key_Space) {
            event->accept();
            return;
        }
        QPushButton::keyPressEvent(event);
    }

    void keyReleaseEvent(QKeyEvent* event) override {
        released_ = {event->key(), event->timestamp()};
        if (isEnter(*event)) {
            event->accept();
            return;
        }
        QPushButton::keyReleaseEvent(event);
    }

  private:
    static bool isEnter(const QKeyEvent& event) {
        return (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) &&
               (event.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    }

    struct {
        int key = 0;
        quint64 timestamp = 0;
    } released_;
};

// The description has nothing to offer a drag, so it starts none. Qt's text box
// starts one when a press inside the selection is followed by a move, and quick
// input (press, move and release with no pause between them) can leave the window
// inside that drag's event loop for good, deaf to every click and key. Here a
// press clears the selection first, so it begins a new selection where it lands,
// as in a box without drag and drop. The cursor is put where the press lands, so
// the box does not scroll; Shift+press still extends the selection.
class DescriptionBox final : public QPlainTextEdit {
  public:
    // Read-only from the start, as assistive technology must know it.
    explicit DescriptionBox(QWidget* parent) : QPlainTextEdit(parent) { setReadOnly(true); }

  protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && !(event->modifiers() & Qt::ShiftModifier) &&
            textCursor().hasSelection()) {
            setTextCursor(cursorForPosition(event->position().toPoint()));
        }
        QPlainTextEdit::mousePressEvent(event);
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

Control add(Window::Native& native, QWidget* widget) {
    native.controls.push_back(widget);
    return static_cast<Control>(native.controls.size() - 1);
}

QLineEdit& lineEdit(const Window::Native& native, Control box) {
    return *qobject_cast<QLineEdit*>(native.control(box));
}

}  // namespace

Window::Window(const Description& description) : native_(std::make_unique<Native>()) {
    qt::useAccessibleInterfaces();
    QWidget& window = native_->window;
    window.setObjectName(toQString(description.name));
    window.setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint |
                          Qt::MSWindowsFixedSizeDialogHint);
    window.setWindowTitle(toQString(description.title));
    window.setFixedSize(toQRect({0, 0, description.clientWidth, description.clientHeight}).size());
    window.setAutoFillBackground(true);
    setColour(window, QPalette::Window, toColor(description.background));
    // A family the font database lacks costs Qt a sort of every installed font by
    // fontconfig for each script it draws, the more the more fonts there are; its
    // substitute (useStandardLook) is asked for by name instead.
    QString family = toQString(description.font.family);
    if (!QFontDatabase::hasFamily(family)) {
        family = QFont::substitute(family);
    }
    QFont font(family, description.font.points,
               static_cast<QFont::Weight>(description.font.weight));
    font.setStyleHint(QFont::Serif);
    window.setFont(font);
}

Window::~Window() = default;

Control Window::addLabel(const TwipsRect& rect, std::u16string_view text, Rgb background,
                         Alignment alignment) {
    auto* label = new QLabel(toQString(text), &native_->window);
    label->setGeometry(toQRect(rect));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignTop |
                        (alignment == Alignment::Centre ? Qt::AlignHCenter : Qt::AlignLeft));
    label->setWordWrap(true);
    label->setFocusPolicy(Qt::NoFocus);
    label->setAutoFillBackground(true);
    setColour(*label, QPalette::Window, toColor(background));
    // Where a label meets a text box or a button, the box or button is on top.
    label->lower();
    return add(*native_, label);
}

Control Window::addTextBox(const TwipsRect& rect, Alignment alignment, bool readOnly,
                           int charLimit) {
    auto* box = new QLineEdit(&native_->window);
    if (readOnly) {
        // Read-only before anything else, so that assistive technology never meets
        // it as an editable box. Qt's read-only line edit already refuses typing,
        // cut, paste, delete, undo and drops, leaves only Copy and Select All in
        // its context menu, and (drags being off by default) starts no drag.
        box->setReadOnly(true);
        box->setAcceptDrops(false);
    }
    box->setGeometry(toQRect(rect));
    box->setAlignment(Qt::AlignVCenter |
                      (alignment == Alignment::Centre ? Qt::AlignHCenter : Qt::AlignLeft));
    keepStandardWindowColour(*box);
    if (charLimit != kNoLimit) {
        box->setValidator(new CharLimitValidator(charLimit, box));
        // Assistive technology inserts and replaces text through setText, which no
        // validator sees; a text past the limit from there is taken back.
        QObject::connect(box, &QLineEdit::textChanged, box,
                         [box, charLimit, kept = QString()](const QString& text) mutable {
                             if (fitsLimit(toView(text), charLimit)) {
                                 kept = text;
                             } else {
                                 box->setText(kept);
                             }
                         });
    }
    return add(*native_, box);
}

Control Window::addDescriptionBox(const TwipsRect& rect, std::u16string_view text) {
    auto* box = new DescriptionBox(&native_->window);
    box->setGeometry(toQRect(rect));
    keepStandardWindowColour(*box);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setUndoRedoEnabled(false);
    box->setPlainText(toQString(text));
    // Read-only alone allows selecting by mouse only; the keyboard selects too, so
    // the text can be copied without a mouse. Tab leaves the box.
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box->setFocusPolicy(Qt::StrongFocus);
    box->setTabChangesFocus(true);
    box->setAcceptDrops(false);
    box->moveCursor(QTextCursor::Start);
    return add(*native_, box);
}

Control Window::addButton(const TwipsRect& rect, std::u16string_view caption, Rgb face,
                          std::function<void()> onClick) {
    auto* button = new PushButton(toQString(caption), &native_->window);
    button->setGeometry(toQRect(rect));
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
    const Control control = add(*native_, button);
    QObject::connect(button, &QAbstractButton::clicked, button,
                     [this, control, action = std::move(onClick)] { runGuarded(control, action); });
    return control;
}

void Window::setNames(Control control, std::u16string_view objectName,
                      std::u16string_view accessibleName) {
    QWidget* widget = native_->control(control);
    widget->setObjectName(toQString(objectName));
    widget->setAccessibleName(toQString(accessibleName));
}

std::u16string Window::text(Control box) const {
    return lineEdit(*native_, box).text().toStdU16String();
}

void Window::setText(Control box, std::u16string_view text) {
    lineEdit(*native_, box).setText(toQString(text));
}

void Window::setFocusOrder(std::span<const Control> order) {
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(native_->control(order[i - 1]), native_->control(order[i]));
    }
}

void Window::setFocus(Control control) {
    // Without a window manager nothing gives the window back its activation when
    // a message closes.
    native_->window.activateWindow();
    native_->control(control)->setFocus(Qt::OtherFocusReason);
}

void Window::showModalMessage(std::u16string_view title, std::u16string_view text) {
    if (native_->message == nullptr) {
        native_->message = new qt::MessageBox(native_->window);
    }
    native_->message->showModal(toQString(title), toQString(text));
}

int Window::run(Control firstFocus) {
    QWidget& window = native_->window;
    if (qt::drawsOwnTitleBar()) {
        // A Wayland client does not place its windows; the compositor does.
        native_->frame = qt::frameWithTitleBar(window);
    } else {
        placeFrameCentred(window);
        new CentreWhenFramed(window);
    }
    native_->control(firstFocus)->setFocus(Qt::ActiveWindowFocusReason);
    window.show();
    if (native_->frame) {
        native_->frame->show();
    }
    QGuiApplication::setQuitOnLastWindowClosed(true);
    return QApplication::exec();
}

namespace qt {

// Every widget made under the application palette gets a copy of it with a key of
// its own, and the style keeps the faces it draws by that key: a new box for every
// message would leave a new OK button's images in the style's cache each time, up
// to the cache's limit. So the window keeps one box and shows it again.
MessageBox::MessageBox(QWidget& owner)
    : QMessageBox(QMessageBox::Warning, QString(), QString(), QMessageBox::NoButton, &owner) {
    addButton(toQString(kMessageButton), QMessageBox::AcceptRole);
    setWindowModality(Qt::ApplicationModal);
}

void MessageBox::showModal(const QString& title, const QString& text) {
    setWindowTitle(title);
    setText(text);
    if (isVisible()) {
        // Asked for again while it is open (assistive technology can click a
        // button behind a modal box): the one box stays, and this request too
        // returns once it is dismissed.
        QEventLoop untilDismissed;
        QObject::connect(this, &QDialog::finished, &untilDismissed, &QEventLoop::quit);
        untilDismissed.exec();
        return;
    }
    exec();
    // A hidden window still counts for assistive technology as one of the
    // program's, so the box gives its window up until the next message.
    destroy();
}

void useStandardLook() {
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setPalette(QApplication::style()->standardPalette());
    QFont::insertSubstitution(QStringLiteral("Times New Roman"),
                              QStringLiteral("Liberation Serif"));
}

}  // namespace qt

}  // namespace platform
