#pragma once
// Small pieces the entry screens share: date conversion and the account picker.

#include <QDate>
#include <QString>
#include <string>

#include "app/context.h"
#include "app/date.h"

class QWidget;

namespace kesh::gui {

inline QDate ToQDate(Date d) { return d.isZero() ? QDate() : QDate(d.year(), d.month(), d.day()); }
inline Date FromQDate(const QDate& d) {
    return d.isValid() ? Date::fromYmd(d.year(), d.month(), d.day()) : Date();
}

// The accounts browser in selection mode, imputable accounts only, starting at `start`
// (either code form). Returns the internal code, "" when cancelled.
std::string PickImputableAccount(QWidget* parent, AppContext& ctx, const QString& start);

} // namespace kesh::gui
