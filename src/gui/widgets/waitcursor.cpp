#include "gui/widgets/waitcursor.h"

#include <QApplication>
#include <QCursor>

namespace kesh::gui {

WaitCursor::WaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
WaitCursor::~WaitCursor() { QApplication::restoreOverrideCursor(); }

} // namespace kesh::gui
