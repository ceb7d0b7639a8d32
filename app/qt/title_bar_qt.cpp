// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The window's own title bar, for Wayland.
//
// Under Wayland the title bar is the program's to draw, and Qt's Wayland plugin
// draws one with minimise and maximise buttons whatever the window's flags ask.
// Maximise then leaves the window of fixed size stuck in a "maximised" state: the
// compositor keeps configuring it so, and the button turns into "restore". So the
// window goes without Qt's title bar there and gets this one, above its client
// area: the icon, the title, and a close button.
//  - A press on the bar lets the compositor move the window; a double click does
//    nothing.
//  - The close button asks the window to close, as a window manager's close box
//    does. It takes no focus, so the window's Tab order stays as it is.
//  - The title is drawn dimmed while the window is not active, as Qt's own bar.
//  - A maximised or full-screen state that the compositor asks for anyway is
//    given back at once, so the window stays at its size and normal.
#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPen>
#include <QWidget>
#include <QWindow>
#include <memory>

#include "app/qt/native.h"

namespace platform::qt {

namespace {

constexpr int kBarHeight = 30;
constexpr int kIconSize = 22;
constexpr int kMargin = 6;
constexpr int kCloseSize = 22;
// The name assistive technology gives the close button.
constexpr char16_t kCloseName[] = u"Затвори";

class CloseButton final : public QAbstractButton {
  public:
    explicit CloseButton(QWidget* parent) : QAbstractButton(parent) {
        setFocusPolicy(Qt::NoFocus);
        setAttribute(Qt::WA_Hover);
        setAccessibleName(QString::fromUtf16(kCloseName));
    }

  protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        if (underMouse() || isDown()) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(palette().color(isDown() ? QPalette::Dark : QPalette::Midlight));
            painter.drawEllipse(rect().adjusted(1, 1, -1, -1));
        }
        const bool active = window()->isActiveWindow();
        QPen pen(
            palette().color(active ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        pen.setWidthF(2);
        painter.setPen(pen);
        const QRectF cross = QRectF(rect()).adjusted(7, 7, -7, -7);
        painter.drawLine(cross.topLeft(), cross.bottomRight());
        painter.drawLine(cross.bottomLeft(), cross.topRight());
    }
};

class TitleBar final : public QWidget {
  public:
    explicit TitleBar(QWidget* parent) : QWidget(parent), close_(new CloseButton(this)) {
        QObject::connect(close_, &QAbstractButton::clicked, this, [this] { window()->close(); });
        // Qt names a bare widget after its object name.
        setObjectName(QStringLiteral("titleBar"));
    }

  protected:
    void resizeEvent(QResizeEvent* /*event*/) override {
        close_->setGeometry(width() - kMargin - kCloseSize, (height() - kCloseSize) / 2, kCloseSize,
                            kCloseSize);
    }

    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Window));
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawLine(0, height() - 1, width() - 1, height() - 1);

        const QIcon icon = window()->windowIcon();
        const QRect iconRect(kMargin, (height() - kIconSize) / 2, kIconSize, kIconSize);
        icon.paint(&painter, iconRect);

        // The title is centred on the bar, kept clear of the icon and the button.
        const bool active = window()->isActiveWindow();
        painter.setPen(
            palette().color(active ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        QFont font = QApplication::font();
        font.setPixelSize(14);
        painter.setFont(font);
        const int side = kMargin + kIconSize + kMargin;
        const QRect titleRect = rect().adjusted(side, 0, -side, 0);
        painter.drawText(titleRect, Qt::AlignCenter | Qt::TextSingleLine,
                         painter.fontMetrics().elidedText(window()->windowTitle(), Qt::ElideRight,
                                                          titleRect.width()));
    }

    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && window()->windowHandle() != nullptr) {
            window()->windowHandle()->startSystemMove();
        }
    }

    // A double click on a title bar maximises elsewhere; this window has one size.
    void mouseDoubleClickEvent(QMouseEvent* event) override { event->accept(); }

    // The window passes its activation on to its children; the close button is
    // drawn again with the bar.
    bool event(QEvent* event) override {
        if (event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate) {
            update();
        }
        return QWidget::event(event);
    }

  private:
    CloseButton* close_;
};

// Gives back a maximised or full-screen state at once.
class KeepNormal final : public QObject {
  public:
    explicit KeepNormal(QWidget& frame) : QObject(&frame), frame_(frame) {
        frame.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        constexpr Qt::WindowStates kOtherSizes = Qt::WindowMaximized | Qt::WindowFullScreen;
        if (watched == &frame_ && event->type() == QEvent::WindowStateChange &&
            (frame_.windowState() & kOtherSizes)) {
            frame_.setWindowState(frame_.windowState() & ~kOtherSizes);
        }
        return false;
    }

  private:
    QWidget& frame_;
};

}  // namespace

bool drawsOwnTitleBar() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

std::unique_ptr<QWidget> frameWithTitleBar(QWidget& window) {
    auto frame = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::FramelessWindowHint);
    frame->setWindowTitle(window.windowTitle());
    frame->setFixedSize(window.width(), kBarHeight + window.height());
    auto* bar = new TitleBar(frame.get());
    bar->setGeometry(0, 0, window.width(), kBarHeight);
    window.setParent(frame.get());
    window.move(0, kBarHeight);
    new KeepNormal(*frame);
    return frame;
}

}  // namespace platform::qt
