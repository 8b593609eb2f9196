// The tag as the controller drives it: shown beside a cell, hidden, clicked, and the values it
// records when shown.
#pragma once

#include <cstdint>
#include <string>

#include "host/excel.h"

namespace tessaly {

class ITagEvents {
 public:
  virtual ~ITagEvents() = default;
  virtual void TagClick() = 0;
};

// What following its cell did to a shown tag.
enum class TagFollowing { Unchanged, Moved, Hidden };

// Members may throw HostError when the platform fails.
class ITagWindow {
 public:
  virtual ~ITagWindow() = default;
  virtual void InitThisObject(const std::string& icon_path) = 0;
  virtual void SetEventSink(ITagEvents* sink) = 0;
  // Places and shows the tag beside the target when it is on screen; true when shown.
  virtual bool TagDisplay(const RangePtr& target) = 0;
  // A shown tag placed anew beside another target without being hidden in between (one move of its
  // window), or hidden when that target is not on screen; a hidden tag is shown as TagDisplay does.
  virtual bool TagMove(const RangePtr& target) = 0;
  virtual void TagHide() = 0;
  // The shown tag against where its target lies now: left alone while it still stands beside the
  // target on screen, moved there (one move of its window) when the target moved in the same
  // window, hidden when the target is off screen or in another window. Never opens the calendar.
  // A hidden tag stays hidden.
  virtual TagFollowing TagFollow(const RangePtr& target) = 0;
  // The recorded place on screen (X, Y) taken from where the shown tag's window stands now: the
  // workbook window carries it along when it moves on screen.
  virtual void ReadPlaceOnScreen() = 0;
  // Raises TagClick as a click on the tag would.
  virtual void TriggerClickEvent() = 0;
  virtual void Unload() = 0;
  // True once the platform destroyed the tag's window with its parent (a workbook's main window
  // closing); the controller then makes a new tag.
  virtual bool WindowLost() const = 0;

  virtual bool Displayed() const = 0;
  virtual bool LeftSide() const = 0;
  // The sheet of the last showing reads right to left: the calendar opens leftwards from the tag.
  virtual bool RightToLeft() const = 0;
  virtual WindowHandle ParentWindow() const = 0;  // the workbook window of the last showing
  virtual std::int32_t X() const = 0;             // screen pixels of the top-left corner
  virtual std::int32_t Y() const = 0;
  virtual std::string TargetAddress() const = 0;  // "$B$3", or "$B$3:$C$4" for a merged area
  virtual std::string SheetName() const = 0;
  virtual std::string WorkbookName() const = 0;
  // The small pixel margin the tag publishes; the calendar keeps 4 of them inside the window's right edge.
  virtual std::int32_t Margin() const = 0;
};

}  // namespace tessaly
