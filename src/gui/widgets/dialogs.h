#pragma once
// Every question and notice of the program goes through here, so tests can script the answers
// and read what was shown instead of a person clicking.

#include <QString>
#include <deque>
#include <vector>

class QWidget;

namespace kesh::gui {

// Modal "Atención!" with "Si" / "No"; true on "Si".
bool AskYesNo(QWidget* parent, const QString& message);
// Modal "Atención!" with "Aceptar".
void ShowNotice(QWidget* parent, const QString& message);
// Plain information box with an OK button.
void ShowMessage(QWidget* parent, const QString& message);
// A failure: the message, shown as an error box.
void ShowError(QWidget* parent, const QString& message);

// Test hook. While scripted, no box is shown: AskYesNo takes the next scripted answer
// ("No" when none is left) and every message is recorded.
namespace DialogScript {
void begin(std::deque<bool> answers = {});
void end();
bool active();
void pushAnswer(bool yes);
// Messages shown (questions included) since begin(), oldest first.
const std::vector<QString>& shown();
QString last();
void clearShown();
} // namespace DialogScript

} // namespace kesh::gui
