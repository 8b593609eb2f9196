// What a screen reader is told about one of the add-in's windows, in portable terms: the window
// itself and its simple children, each with a name, a role, states and a place.
#pragma once

#include <string>
#include <vector>

#include "host/surface.h"

namespace tessaly {

enum class AccessibleRole { Table, Cell, PushButton };

namespace acc_state {
inline constexpr unsigned kSelected = 1, kFocused = 2, kFocusable = 4, kSelectable = 8, kUnavailable = 16;
}

struct AccessibleElement {
  std::string name;
  std::string description;     // a state that has no flag of its own, as "Today"
  std::string default_action;  // empty: none
  AccessibleRole role = AccessibleRole::Cell;
  unsigned states = 0;         // acc_state bits
  Rect bounds;                 // client pixels of the window
  int row = -1, column = -1;   // a cell's place in its table; -1: none
};

// The shape of a source whose children are the cells of a table, in reading order.
struct AccessibleTable {
  int rows = 0, columns = 0;                      // no columns: not a table
  std::vector<AccessibleElement> column_headers;  // one per column, or none
};

// Hears what changed in a source, so that a screen reader is told.
class IAccessibleListener {
 public:
  virtual ~IAccessibleListener() = default;
  // The keyboard focus is now on that child.
  virtual void on_focus_moved(int child) = 0;
  // The selected child is now that one (-1: none).
  virtual void on_selection_changed(int child) = 0;
  // A change to be read out as it stands, such as the month now shown.
  virtual void on_announcement(const std::string& text) = 0;
};

// Asked afresh at every call, so it always tells what the window shows now.
class IAccessibleSource {
 public:
  virtual ~IAccessibleSource() = default;
  virtual AccessibleElement Self() = 0;
  virtual int ChildCount() = 0;
  virtual AccessibleElement Child(int index) = 0;  // 0-based
  virtual int FocusedChild() = 0;                   // -1: none
  virtual int SelectedChild() = 0;                  // -1: none
  // The child's default action (-1: the window's own); never throws.
  virtual void DoDefaultAction(int index) = 0;

  virtual AccessibleTable Table() { return {}; }
  // What the child stands for, the same for as long as the window shows it, wherever it moves
  // among the children (a day's serial date); the index by default.
  virtual long ChildId(int index) { return index; }
  // The child that stands for `id` now (-1: none).
  virtual int IndexOfId(long id) { return id >= 0 && id < ChildCount() ? static_cast<int>(id) : -1; }
  // The child at that place of the table (-1: none there).
  virtual int ChildAt(int row, int column) {
    const AccessibleTable t = Table();
    if (row < 0 || column < 0 || row >= t.rows || column >= t.columns) return -1;
    const int index = row * t.columns + column;
    return index < ChildCount() ? index : -1;
  }
  // Moves the focus to the child without acting on it; false, and nothing moves, for a child that
  // takes no focus. Never throws.
  virtual bool FocusChild(int index) {
    (void)index;
    return false;
  }
  // One listener at a time; nullptr: none.
  virtual void set_listener(IAccessibleListener* listener) { (void)listener; }
};

}  // namespace tessaly
