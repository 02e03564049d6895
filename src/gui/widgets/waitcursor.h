#pragma once
// The wait cursor for as long as a long operation (a copy, a tool run, folding many monthly
// sums) lasts.

namespace kesh::gui {

struct WaitCursor {
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace kesh::gui
