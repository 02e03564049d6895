#pragma once
// Conversions between the core's types and Qt's, shared by the frame's screens.

#include <QDate>
#include <QHBoxLayout>
#include <QPushButton>
#include <QString>
#include <string>

#include "app/date.h"

namespace kesh::gui {

inline QString Q(const std::string& s) { return QString::fromStdString(s); }
inline std::string S(const QString& s) { return s.toStdString(); }

inline QDate ToQDate(Date d) {
    if (d.isZero()) return QDate();
    return QDate(d.year(), d.month(), d.day());
}
inline Date FromQDate(const QDate& d) {
    if (!d.isValid()) return Date();
    return Date::fromYmd(d.year(), d.month(), d.day());
}

// The right-aligned "Aceptar" / "Cancelar" row of a dialog; "Cancelar" rejects it and `ok` is
// set to "Aceptar" for the caller to connect.
QHBoxLayout* OkCancelRow(class QDialog* dlg, QPushButton*& ok);

// The first line of an exception's text, for a message box.
QString ErrorText(const std::exception& e);

} // namespace kesh::gui
