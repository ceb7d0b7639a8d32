// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The process entry point over Qt: the application on the one thread, its names,
// look and icon; then the window and the event loop.
#include <QApplication>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>

#include "app/qt/native.h"
#include "app/start.h"

int main(int argc, char* argv[]) {
    // Qt takes its own platform options from the command line; the program has none.
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vistral"));
    QApplication::setApplicationVersion(QStringLiteral(VISTRAL_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(VISTRAL_APP_ID));
    platform::qt::useStandardLook();

    // The icon is read as the PNG it is: letting Qt guess the format would load
    // every image-format plugin at start-up.
    QImageReader iconReader(QStringLiteral(":/vistral.png"), "png");
    iconReader.setAutoDetectImageFormat(false);
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(iconReader.read())));

    return app::start();
}
