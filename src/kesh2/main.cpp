// kesh2: the bookkeeping program. Everything happens in the main window.
#include <QApplication>

#include "gui/app/acercafrm.h"
#include "gui/app/menufrm.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KESH2"));
    QApplication::setApplicationDisplayName(QStringLiteral("KESH2"));
    QApplication::setWindowIcon(QIcon(TAcercaFrm::Picture(64)));
    TMenuFrm w;
    if (!w.Startup()) return 0;
    w.showMaximized();
    return app.exec();
}
