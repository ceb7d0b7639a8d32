// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Start-up: the application, the one window, the event loop. The program's own
// work begins with a click; the error guard around each click is in platform.
#include <QApplication>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>

#include "app/platform.h"
#include "ui/main_window.h"

int main(int argc, char* argv[]) {
    // Qt takes its own platform options from the command line; the program has none.
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vistral"));
    QApplication::setApplicationVersion(QStringLiteral(VISTRAL_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(VISTRAL_APP_ID));
    platform::useStandardLook();

    // The icon is read as the PNG it is: letting Qt guess the format would load
    // every image-format plugin at start-up.
    QImageReader iconReader(QStringLiteral(":/vistral.png"), "png");
    iconReader.setAutoDetectImageFormat(false);
    const QIcon icon(QPixmap::fromImage(iconReader.read()));
    QApplication::setWindowIcon(icon);

    ui::Vistral window;
    window.setWindowIcon(icon);
    return platform::run(window, window.firstFocus());
}
