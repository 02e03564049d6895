#pragma once
// Connects the chart's screens to the main window: the hooks it calls after opening a company
// (standard chart offer, reopening the browser), on closing (CalcBalance2 recalculation), and
// the side-panel key of the browser.

class TMenuFrm;

namespace kesh::gui {

void RegisterAccountsScreens(TMenuFrm& w);

} // namespace kesh::gui
