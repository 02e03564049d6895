#include "gui/app/guiutil.h"

#include <exception>

namespace kesh::gui {

QString ErrorText(const std::exception& e) { return QString::fromUtf8(e.what()); }

} // namespace kesh::gui
