#pragma once
// Helpers of the frame's screen tests: scripting a modal dialog from inside its exec(), and a
// fresh installation folder.

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "support/testsupport.h"

namespace kesh::test {

// Runs `f` on the next modal dialog of type T as soon as it is up. A dialog that f leaves
// open (a failed check returns early) is rejected, so a test never hangs on it.
template <class T>
void WhenModal(std::function<void(T*)> f) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, f] {
        if (auto* dlg = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            QPointer<T> guard(dlg);
            f(dlg);
            if (guard && guard->isVisible()) guard->reject();
        }
    });
    timer->start();
}

// A new installation folder holding only the two templates (KESH_HOME), and an empty
// operator store (XDG_CONFIG_HOME). Returns the installation folder.
inline std::filesystem::path FreshInstall(const std::string& name) {
    namespace fs = std::filesystem;
    const fs::path home = ScratchDir(name);
    fs::create_directories(home / "app");
    fs::copy_file(AppDir() / "kesh0.fdb", home / "app" / "kesh0.fdb");
    fs::copy_file(AppDir() / "demo0.fdb", home / "app" / "demo0.fdb");
    qputenv("KESH_HOME", QByteArray::fromStdString((home / "app").string()));
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((home / "config").string()));
    return home / "app";
}

} // namespace kesh::test
