// kesh2: the bookkeeping program. Everything happens in the main window.
#include <QApplication>
#include <QSocketNotifier>

#include <unistd.h>

#include "app/termination.h"
#include "gui/app/acercafrm.h"
#include "gui/app/menufrm.h"

int main(int argc, char** argv) {
    // First of all: every thread started later inherits the blocked requests.
    const int requests = kesh::TerminationRequests();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KESH2"));
    QApplication::setApplicationDisplayName(QStringLiteral("KESH2"));
    QApplication::setWindowIcon(QIcon(TAcercaFrm::Picture(64)));
    TMenuFrm w;
    // A logout or kill closes as "Salir" does (balance recalculation, daily copy), even with a
    // dialog open: quit() ends every running event loop.
    QSocketNotifier onRequest(requests, QSocketNotifier::Read);
    onRequest.setEnabled(requests >= 0);
    bool ending = false;
    QObject::connect(&onRequest, &QSocketNotifier::activated, &app, [&] {
        char sig = 0;
        [[maybe_unused]] const ssize_t n = ::read(requests, &sig, 1);
        onRequest.setEnabled(false);
        ending = true;
        w.close();
        QApplication::quit();
    });
    if (!w.Startup() || ending) return 0;
    w.showMaximized();
    return app.exec();
}
