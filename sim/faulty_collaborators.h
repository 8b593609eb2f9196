// The add-in's own collaborators (tag, calendar form, image list, message box, per-user store,
// clock, the parts that make them, the window system, the screen metrics, the help viewer, the
// file system's reads and the host's add-in and ribbon objects) behind the stand-in host's fault plan: each member enters
// the plan under its name ("Tag.TagDisplay", "Store.save") and then does what the wrapped one does.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/controller.h"
#include "host/clock.h"
#include "host/file_system.h"
#include "host/help_shell.h"
#include "host/message_box.h"
#include "host/screen_metrics.h"
#include "host/window_system.h"
#include "host/user_settings.h"
#include "sim/fault_plan.h"

namespace tessaly::sim {

// The names of every member below, for a sweep to walk.
inline const std::vector<std::string>& CollaboratorMembers() {
  static const std::vector<std::string> names = {
      "Tag.InitThisObject", "Tag.SetEventSink", "Tag.TagDisplay", "Tag.TagMove", "Tag.TagHide", "Tag.TagFollow", "Tag.ReadPlaceOnScreen", "Tag.TriggerClickEvent",
      "Tag.Unload", "Tag.Displayed", "Tag.LeftSide", "Tag.RightToLeft", "Tag.ParentWindow", "Tag.X", "Tag.Y", "Tag.TargetAddress",
      "Tag.SheetName", "Tag.WorkbookName", "Tag.Margin", "Tag.WindowLost",
      "Form.InitThisObject", "Form.SetEventSink", "Form.ShowCalendar", "Form.SetHolidays", "Form.HideCalendar", "Form.Unload", "Form.Prepare", "Form.ReturnHome",
      "Form.Shown", "Form.WindowLost",
      "ImageList.Add", "ImageList.Has", "ImageList.Count", "ImageList.Picture", "ImageList.Mask", "ImageList.Clear",
      "Parts.CreateTag", "Parts.CreateCalendarForm", "Parts.CreateImageList", "Parts.ShowSettings",
      "Parts.ShowAbout", "Parts.LoadIconResource",
      "MessageBox.show", "Store.get", "Store.save", "Store.list", "Clock.now",
      "Windows.FindTopLevelWindow", "Windows.FindChildWindow", "Windows.WindowProcessId",
      "Windows.CurrentProcessId", "Windows.WindowScreenRect", "Windows.ClientRect", "Windows.ClientToScreen",
      "Windows.ScreenToClient", "Windows.MonitorRect", "Windows.CursorPos", "Windows.WindowFromPoint",
      "Windows.SetWindowStyles", "Windows.SetParent", "Windows.Parent", "Windows.MoveWindow", "Windows.ShowWindow",
      "Windows.SetRepaintSuppressed", "Windows.WatchView", "Screen.LogicalPixelsPerInchX", "Screen.LogicalPixelsPerInchY",
      "Files.read_file", "Help.DisplayHelpTopic", "Help.OpenAddress", "AddIn.ProgId", "RibbonControl.Id", "RibbonUI.InvalidateControl",
  };
  return names;
}

class FaultyTag : public ITagWindow {
 public:
  FaultyTag(std::unique_ptr<ITagWindow> inner, FaultPlan& plan) : in_(std::move(inner)), plan_(&plan) {}
  void InitThisObject(const std::string& icon) override { E("Tag.InitThisObject"), in_->InitThisObject(icon); }
  void SetEventSink(ITagEvents* sink) override { E("Tag.SetEventSink"), in_->SetEventSink(sink); }
  bool TagDisplay(const RangePtr& target) override { return E("Tag.TagDisplay"), in_->TagDisplay(target); }
  bool TagMove(const RangePtr& target) override { return E("Tag.TagMove"), in_->TagMove(target); }
  void TagHide() override { E("Tag.TagHide"), in_->TagHide(); }
  TagFollowing TagFollow(const RangePtr& target) override { return E("Tag.TagFollow"), in_->TagFollow(target); }
  void ReadPlaceOnScreen() override { E("Tag.ReadPlaceOnScreen"), in_->ReadPlaceOnScreen(); }
  void TriggerClickEvent() override { E("Tag.TriggerClickEvent"), in_->TriggerClickEvent(); }
  void Unload() override { E("Tag.Unload"), in_->Unload(); }
  bool Displayed() const override { return E("Tag.Displayed"), in_->Displayed(); }
  bool LeftSide() const override { return E("Tag.LeftSide"), in_->LeftSide(); }
  bool RightToLeft() const override { return E("Tag.RightToLeft"), in_->RightToLeft(); }
  WindowHandle ParentWindow() const override { return E("Tag.ParentWindow"), in_->ParentWindow(); }
  std::int32_t X() const override { return E("Tag.X"), in_->X(); }
  std::int32_t Y() const override { return E("Tag.Y"), in_->Y(); }
  std::string TargetAddress() const override { return E("Tag.TargetAddress"), in_->TargetAddress(); }
  std::string SheetName() const override { return E("Tag.SheetName"), in_->SheetName(); }
  std::string WorkbookName() const override { return E("Tag.WorkbookName"), in_->WorkbookName(); }
  std::int32_t Margin() const override { return E("Tag.Margin"), in_->Margin(); }
  bool WindowLost() const override { return E("Tag.WindowLost"), in_->WindowLost(); }

 private:
  void E(const char* member) const { plan_->Enter(member); }
  std::unique_ptr<ITagWindow> in_;
  FaultPlan* plan_;
};

class FaultyCalendarForm : public ICalendarForm {
 public:
  FaultyCalendarForm(std::unique_ptr<ICalendarForm> inner, FaultPlan& plan) : in_(std::move(inner)), plan_(&plan) {}
  void InitThisObject(const Variant& start) override { E("Form.InitThisObject"), in_->InitThisObject(start); }
  void SetEventSink(ICalendarFormEvents* sink) override { E("Form.SetEventSink"), in_->SetEventSink(sink); }
  void ShowCalendar(std::int32_t x, std::int32_t y, const Variant& start, WindowHandle parent) override {
    E("Form.ShowCalendar"), in_->ShowCalendar(x, y, start, parent);
  }
  void SetHolidays(std::vector<double> days) override { E("Form.SetHolidays"), in_->SetHolidays(std::move(days)); }
  void HideCalendar() override { E("Form.HideCalendar"), in_->HideCalendar(); }
  void Prepare(const Variant& start, WindowHandle parent) override { E("Form.Prepare"), in_->Prepare(start, parent); }
  void ReturnHome() override { E("Form.ReturnHome"), in_->ReturnHome(); }
  void Unload() override { E("Form.Unload"), in_->Unload(); }
  bool Shown() const override { return E("Form.Shown"), in_->Shown(); }
  bool WindowLost() const override { return E("Form.WindowLost"), in_->WindowLost(); }

 private:
  void E(const char* member) const { plan_->Enter(member); }
  std::unique_ptr<ICalendarForm> in_;
  FaultPlan* plan_;
};

class FaultyImageList : public IImageList {
 public:
  FaultyImageList(std::unique_ptr<IImageList> inner, FaultPlan& plan) : in_(std::move(inner)), plan_(&plan) {}
  void Add(const std::string& key) override { E("ImageList.Add"), in_->Add(key); }
  bool Has(const std::string& key) const override { return E("ImageList.Has"), in_->Has(key); }
  std::size_t Count() const override { return E("ImageList.Count"), in_->Count(); }
  ButtonImagePtr Picture(const std::string& key) const override { return E("ImageList.Picture"), in_->Picture(key); }
  ButtonImagePtr Mask(const std::string& key) const override { return E("ImageList.Mask"), in_->Mask(key); }
  void Clear() override { E("ImageList.Clear"), in_->Clear(); }

 private:
  void E(const char* member) const { plan_->Enter(member); }
  std::unique_ptr<IImageList> in_;
  FaultPlan* plan_;
};

class FaultyParts : public IControllerParts {
 public:
  FaultyParts(IControllerParts& inner, FaultPlan& plan) : in_(inner), plan_(plan) {}
  std::unique_ptr<ITagWindow> CreateTag() override {
    plan_.Enter("Parts.CreateTag");
    return std::make_unique<FaultyTag>(in_.CreateTag(), plan_);
  }
  std::unique_ptr<ICalendarForm> CreateCalendarForm() override {
    plan_.Enter("Parts.CreateCalendarForm");
    return std::make_unique<FaultyCalendarForm>(in_.CreateCalendarForm(), plan_);
  }
  std::unique_ptr<IImageList> CreateImageList() override {
    plan_.Enter("Parts.CreateImageList");
    return std::make_unique<FaultyImageList>(in_.CreateImageList(), plan_);
  }
  void ShowSettings() override { plan_.Enter("Parts.ShowSettings"), in_.ShowSettings(); }
  void ShowAbout(const std::string& a, const std::string& b) override { plan_.Enter("Parts.ShowAbout"), in_.ShowAbout(a, b); }
  ButtonImagePtr LoadIconResource(const std::string& name) override {
    return plan_.Enter("Parts.LoadIconResource"), in_.LoadIconResource(name);
  }

 private:
  IControllerParts& in_;
  FaultPlan& plan_;
};

class FaultyMessageBox : public IMessageBox {
 public:
  FaultyMessageBox(IMessageBox& inner, FaultPlan& plan) : in_(inner), plan_(plan) {}
  MsgResult show(const MessageRequest& request) override { return plan_.Enter("MessageBox.show"), in_.show(request); }

 private:
  IMessageBox& in_;
  FaultPlan& plan_;
};

class FaultyUserSettings : public IUserSettings {
 public:
  FaultyUserSettings(IUserSettings& inner, FaultPlan& plan) : in_(inner), plan_(&plan) {}
  std::string get(const std::string& a, const std::string& s, const std::string& k, const std::string& d) const override {
    return plan_->Enter("Store.get"), in_.get(a, s, k, d);
  }
  void save(const std::string& a, const std::string& s, const std::string& k, const std::string& v) override {
    plan_->Enter("Store.save"), in_.save(a, s, k, v);
  }
  std::vector<std::pair<std::string, std::string>> list(const std::string& a, const std::string& s) const override {
    return plan_->Enter("Store.list"), in_.list(a, s);
  }

 private:
  IUserSettings& in_;
  FaultPlan* plan_;
};

class FaultyClock : public IClock {
 public:
  FaultyClock(const IClock& inner, FaultPlan& plan) : in_(inner), plan_(&plan) {}
  double now() const override { return plan_->Enter("Clock.now"), in_.now(); }

 private:
  const IClock& in_;
  FaultPlan* plan_;
};

class FaultyWindowSystem : public IWindowSystem {
 public:
  FaultyWindowSystem(IWindowSystem& inner, FaultPlan& plan) : in_(inner), plan_(plan) {}
  WindowHandle FindTopLevelWindow(const std::string& c, WindowHandle after) override {
    return E("Windows.FindTopLevelWindow"), in_.FindTopLevelWindow(c, after);
  }
  WindowHandle FindChildWindow(WindowHandle parent, const std::string& c, WindowHandle after) override {
    return E("Windows.FindChildWindow"), in_.FindChildWindow(parent, c, after);
  }
  std::uint32_t WindowProcessId(WindowHandle w) override { return E("Windows.WindowProcessId"), in_.WindowProcessId(w); }
  std::uint32_t CurrentProcessId() override { return E("Windows.CurrentProcessId"), in_.CurrentProcessId(); }
  ScreenRect WindowScreenRect(WindowHandle w) override { return E("Windows.WindowScreenRect"), in_.WindowScreenRect(w); }
  ScreenRect ClientRect(WindowHandle w) override { return E("Windows.ClientRect"), in_.ClientRect(w); }
  ScreenPoint ClientToScreen(WindowHandle w, ScreenPoint p) override {
    return E("Windows.ClientToScreen"), in_.ClientToScreen(w, p);
  }
  ScreenPoint ScreenToClient(WindowHandle w, ScreenPoint p) override {
    return E("Windows.ScreenToClient"), in_.ScreenToClient(w, p);
  }
  ScreenRect MonitorRect(WindowHandle w) override { return E("Windows.MonitorRect"), in_.MonitorRect(w); }
  ScreenPoint CursorPos() override { return E("Windows.CursorPos"), in_.CursorPos(); }
  WindowHandle WindowFromPoint(ScreenPoint p) override { return E("Windows.WindowFromPoint"), in_.WindowFromPoint(p); }
  void SetWindowStyles(WindowHandle w, std::uint32_t style, std::uint32_t ex) override {
    E("Windows.SetWindowStyles"), in_.SetWindowStyles(w, style, ex);
  }
  void SetParent(WindowHandle w, WindowHandle parent) override { E("Windows.SetParent"), in_.SetParent(w, parent); }
  WindowHandle Parent(WindowHandle w) override { return E("Windows.Parent"), in_.Parent(w); }
  void MoveWindow(WindowHandle w, ScreenRect r) override { E("Windows.MoveWindow"), in_.MoveWindow(w, r); }
  void ShowWindow(WindowHandle w, bool show) override { E("Windows.ShowWindow"), in_.ShowWindow(w, show); }
  void SetRepaintSuppressed(WindowHandle w, bool suppressed) override {
    E("Windows.SetRepaintSuppressed"), in_.SetRepaintSuppressed(w, suppressed);
  }
  std::unique_ptr<IWindowWatch> WatchView(WindowHandle w, ViewWatchCalls calls) override {
    return E("Windows.WatchView"), in_.WatchView(w, std::move(calls));
  }

 private:
  void E(const char* member) { plan_.Enter(member); }
  IWindowSystem& in_;
  FaultPlan& plan_;
};

class FaultyScreenMetrics : public IScreenMetrics {
 public:
  FaultyScreenMetrics(const IScreenMetrics& inner, FaultPlan& plan) : in_(inner), plan_(&plan) {}
  double LogicalPixelsPerInchX(WindowHandle w) const override {
    return plan_->Enter("Screen.LogicalPixelsPerInchX"), in_.LogicalPixelsPerInchX(w);
  }
  double LogicalPixelsPerInchY(WindowHandle w) const override {
    return plan_->Enter("Screen.LogicalPixelsPerInchY"), in_.LogicalPixelsPerInchY(w);
  }

 private:
  const IScreenMetrics& in_;
  FaultPlan* plan_;
};

// Only reads fail here: the folders and files the settings write are the store's own sweep.
class FaultyFileSystem : public IFileSystem {
 public:
  FaultyFileSystem(IFileSystem& inner, FaultPlan& plan) : in_(inner), plan_(&plan) {}
  char separator() const override { return in_.separator(); }
  std::optional<Attributes> attributes(const std::string& path) const override { return in_.attributes(path); }
  void create_folder(const std::string& path) override { in_.create_folder(path); }
  std::string read_file(const std::string& path, std::size_t max_bytes) const override {
    return plan_->Enter("Files.read_file"), in_.read_file(path, max_bytes);
  }
  void replace_file(const std::string& path, const std::string& bytes) override { in_.replace_file(path, bytes); }
  void update_file(const std::string& path, std::size_t max_bytes, const FileChange& change) override {
    in_.update_file(path, max_bytes, change);
  }
  void grant_users_full_access(const std::string& path) override { in_.grant_users_full_access(path); }

 private:
  IFileSystem& in_;
  FaultPlan* plan_;
};

class FaultyHelpShell : public IHelpShell {
 public:
  FaultyHelpShell(IHelpShell& inner, FaultPlan& plan) : in_(inner), plan_(plan) {}
  void DisplayHelpTopic(const std::string& file, const std::string& topic) override {
    plan_.Enter("Help.DisplayHelpTopic"), in_.DisplayHelpTopic(file, topic);
  }
  void OpenAddress(const std::string& address) override { plan_.Enter("Help.OpenAddress"), in_.OpenAddress(address); }

 private:
  IHelpShell& in_;
  FaultPlan& plan_;
};

// The host's objects for the add-in and its ribbon.
class FaultyAddInInstance : public IAddInInstance {
 public:
  FaultyAddInInstance(std::string prog_id, FaultPlan& plan) : prog_id_(std::move(prog_id)), plan_(plan) {}
  std::string ProgId() override { return plan_.Enter("AddIn.ProgId"), prog_id_; }

 private:
  std::string prog_id_;
  FaultPlan& plan_;
};

class FaultyRibbonControl : public IRibbonControl {
 public:
  FaultyRibbonControl(std::string id, FaultPlan& plan) : id_(std::move(id)), plan_(plan) {}
  std::string Id() override { return plan_.Enter("RibbonControl.Id"), id_; }

 private:
  std::string id_;
  FaultPlan& plan_;
};

class FaultyRibbonUI : public IRibbonUI {
 public:
  explicit FaultyRibbonUI(FaultPlan& plan) : plan_(plan) {}
  void InvalidateControl(const std::string&) override { plan_.Enter("RibbonUI.InvalidateControl"); }

 private:
  FaultPlan& plan_;
};

}  // namespace tessaly::sim
