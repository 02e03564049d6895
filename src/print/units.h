#pragma once
// Page measures: settings keep millimetres, painters work in device units.

namespace kesh::print {

constexpr double kMmPerInch = 25.4;
constexpr double MmToUnits(double mm, double dpi) { return mm * dpi / kMmPerInch; }
constexpr double UnitsToMm(double units, double dpi) { return units * kMmPerInch / dpi; }

} // namespace kesh::print
