// Start-up: the application, the one window, the event loop. The program's own
// work begins with a click; the error guard around each click is in platform.
#include <QApplication>
#include <QIcon>

#include "app/platform.h"
#include "ui/main_window.h"

int main(int argc, char* argv[]) {
    // Qt takes its own platform options from the command line; the program has none.
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vistral"));
    QApplication::setApplicationVersion(QStringLiteral(VISTRAL_VERSION));
    platform::useStandardLook();

    const QIcon icon(QStringLiteral(":/vistral.png"));
    QApplication::setWindowIcon(icon);

    ui::Vistral window;
    window.setWindowIcon(icon);
    return platform::run(window, window.firstFocus());
}
