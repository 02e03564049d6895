#pragma once
// The folder and file choosers of the year-end and backup commands, with a test hook: while a
// hook is set no dialog is shown and the hook's answer is taken ("" = cancelled).

#include <QString>
#include <functional>

class QWidget;

namespace kesh::gui {

// Receives the chooser's title and gives the chosen path.
using ChooserHook = std::function<QString(const QString& title)>;
void SetChooserHook(ChooserHook hook);  // an empty function removes it

QString ChooseFolder(QWidget* parent, const QString& title, const QString& startDir);
// A zip archive: filter "Archivos comprimidos (*.zip)", default extension zip.
QString ChooseZipFile(QWidget* parent, const QString& startDir);

} // namespace kesh::gui
