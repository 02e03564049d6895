#pragma once
// Pictures of screens for the documentation: saved only when KESH_SCREENSHOT_DIR is set
// (scripts/screenshots.sh), never during a normal test run.

#include <QDir>
#include <QString>
#include <QWidget>

namespace kesh::test {

inline void Screenshot(QWidget* w, const QString& name) {
    const QByteArray dir = qgetenv("KESH_SCREENSHOT_DIR");
    if (dir.isEmpty() || !w) return;
    QDir().mkpath(QString::fromUtf8(dir));
    w->grab().save(QString::fromUtf8(dir) + "/" + name + ".png");
}

} // namespace kesh::test
