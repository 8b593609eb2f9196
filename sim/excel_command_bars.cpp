// The stand-in's command bars: bars, their controls and button faces, and the clicks it routes
// to a connected add-in.
#include "sim/excel_sim.h"

#include <algorithm>

#include "host/text.h"
#include "sim/excel_member.h"

namespace tessaly::sim {

namespace {

constexpr std::int32_t kErrFail = -2147467259;  // E_FAIL

class SimImageKey : public IButtonImage {
 public:
  explicit SimImageKey(std::string key) : key_(std::move(key)) {}
  std::string Key() const override { return key_; }

 private:
  std::string key_;
};

class SimControl : public ICommandBarControl {
 public:
  SimControl(std::shared_ptr<SimExcel> host, std::shared_ptr<ControlModel> control)
      : host_(std::move(host)), c_(std::move(control)) {}
  std::int32_t Id() override { return Enter("Control.Id"), c_->id; }
  std::string Tag() override { return Enter("Control.Tag.get"), c_->tag; }
  void SetTag(const std::string& tag) override { Enter("Control.Tag.set"), c_->tag = tag; }
  bool Enabled() override {
    Enter("Control.Enabled");
    return c_->enabled && !(c_->disabled_while_editing && host_->Editing());
  }
  void SetEnabled(bool enabled) override { Enter("Control.Enabled.set"), c_->enabled = enabled; }
  std::string Caption() override { return Enter("Control.Caption.get"), c_->caption; }
  void SetCaption(const std::string& caption) override { Enter("Control.Caption.set"), c_->caption = caption; }
  bool BeginGroup() override { return Enter("Control.BeginGroup.get"), c_->begin_group; }
  void SetBeginGroup(bool group) override { Enter("Control.BeginGroup.set"), c_->begin_group = group; }
  std::string OnAction() override { return Enter("Control.OnAction.get"), c_->on_action; }
  void SetOnAction(const std::string& action) override { Enter("Control.OnAction.set"), c_->on_action = action; }
  bool Visible() override { return Enter("Control.Visible.get"), c_->visible; }
  void SetVisible(bool visible) override { Enter("Control.Visible.set"), c_->visible = visible; }
  std::int32_t Style() override { return Button("Control.Style.get"), c_->style; }
  void SetStyle(std::int32_t style) override {
    Button("Control.Style.set");
    if (style < 0 || style > 15) throw HostError(kErrInvalidCall, kInvalidCall);
    c_->style = style;
  }
  std::int32_t State() override { return Button("Control.State.get"), c_->state; }
  void SetState(std::int32_t state) override { Button("Control.State.set"), c_->state = state; }
  std::string TooltipText() override { return Button("Control.TooltipText.get"), c_->tooltip; }
  void SetTooltipText(const std::string& text) override { Button("Control.TooltipText.set"), c_->tooltip = text; }
  void SetPicture(const ButtonImagePtr& picture) override {
    Button("Control.Picture.set");
    NotBefore10();
    if (!picture) throw HostError(kErrTypeMismatch, "Type mismatch");
    c_->picture = picture->Key();
    c_->picture_image = picture;
  }
  void SetMask(const ButtonImagePtr& mask) override {
    Button("Control.Mask.set");
    NotBefore10();
    if (!mask) throw HostError(kErrTypeMismatch, "Type mismatch");
    c_->mask = mask->Key();
    c_->mask_image = mask;
  }
  void PasteFace() override {
    Button("Control.PasteFace");
    // The host opens the clipboard with its own window; busy or without a bitmap, the paste fails.
    SimClipboard& clipboard = *host_->clipboard;
    ButtonImagePtr picture;
    if (clipboard.Open(host_->MainHwnd())) {
      if (const SimClipboard::Format* f = clipboard.Get(kClipBitmap)) picture = f->picture;
      clipboard.Close();
    }
    if (!picture) throw HostError(kErrApplication, "Method 'PasteFace' of object '_CommandBarButton' failed");
    c_->picture = picture->Key();
    c_->picture_image = picture;
    c_->mask.clear();
    c_->mask_image.reset();
  }
  std::int32_t Advise(std::shared_ptr<ICommandBarButtonEvents> sink) override {
    Button("Control.Advise");
    return host_->AdviseButton(c_, std::move(sink));
  }
  void Unadvise(std::int32_t cookie) override { host_->Enter("Control.Unadvise"), host_->UnadviseButton(cookie); }

 private:
  // Picture and Mask came with version 10; before, a face is only pasted.
  void NotBefore10() {
    if (host_->MajorVersion() < 10) throw HostError(438, "Object doesn't support this property or method");
  }
  // A control the user deleted fails every member, as the host's reference to it is dead; its
  // event connection can still be ended.
  void Enter(const char* member) {
    host_->Enter(member);
    if (c_->deleted) throw HostError(kErrFail, "Unspecified error");
  }
  void Button(const char* member) {
    Enter(member);
    if (c_->type != xl::kControlButton) throw HostError(438, "Object doesn't support this property or method");
  }
  std::shared_ptr<SimExcel> host_;
  std::shared_ptr<ControlModel> c_;
};

class SimCommandBar : public ICommandBar {
 public:
  SimCommandBar(std::shared_ptr<SimExcel> host, std::shared_ptr<CommandBarModel> bar) : host_(std::move(host)), bar_(std::move(bar)) {}
  std::string Name() override { return host_->Enter("CommandBar.Name"), bar_->name; }
  CommandBarControlPtr FindControl(std::int32_t type, std::int32_t id, const std::string& tag) override {
    host_->Enter("CommandBar.FindControl");
    for (const auto& c : bar_->controls)
      if (c->type == type && c->id == id && (tag.empty() || c->tag == tag)) return std::make_shared<SimControl>(host_, c);
    return nullptr;
  }
  CommandBarControlPtr ControlsAdd(std::int32_t type, std::int32_t id, std::int32_t before, bool temporary) override {
    host_->Enter("CommandBar.Controls.Add");
    const auto count = static_cast<std::int32_t>(bar_->controls.size());
    // Buttons, edit boxes, drop-downs, combo boxes and pop-ups are what a program may add.
    const bool known_type = type == xl::kControlButton || type == 2 || type == 3 || type == 4 || type == 10;
    if (!known_type || id < 1 || before < 0 || before > count + 1) throw HostError(kErrInvalidCall, kInvalidCall);
    auto c = std::make_shared<ControlModel>();
    c->type = type;
    c->id = id;
    c->temporary = temporary;
    const auto at = before == 0 ? bar_->controls.end() : bar_->controls.begin() + (before - 1);
    bar_->controls.insert(at, c);
    return std::make_shared<SimControl>(host_, c);
  }
  std::int32_t ControlsCount() override {
    host_->Enter("CommandBar.Controls.Count");
    return static_cast<std::int32_t>(bar_->controls.size());
  }
  CommandBarControlPtr Controls(std::int32_t index) override {
    host_->Enter("CommandBar.Controls.Item");
    if (index < 1 || index > static_cast<std::int32_t>(bar_->controls.size())) throw HostError(kErrInvalidCall, kInvalidCall);
    return std::make_shared<SimControl>(host_, bar_->controls[static_cast<std::size_t>(index - 1)]);
  }
  bool Visible() override { return host_->Enter("CommandBar.Visible.get"), bar_->visible; }
  void SetVisible(bool visible) override { host_->Enter("CommandBar.Visible.set"), bar_->visible = visible; }

 private:
  std::shared_ptr<SimExcel> host_;
  std::shared_ptr<CommandBarModel> bar_;
};

}  // namespace

CommandBarModel& SimExcel::Bar(const std::string& name) {
  for (auto& b : bars_)
    if (iequals(b->name, name)) return *b;
  throw HostError(kErrSubscript, "no command bar " + name);
}

CommandBarModel& SimExcel::AddBar(const std::string& name) {
  auto bar = std::make_shared<CommandBarModel>();
  bar->name = name;
  bars_.push_back(bar);
  return *bar;
}

void SimExcel::RemoveBar(const std::string& name) {
  std::erase_if(bars_, [&](const auto& b) { return iequals(b->name, name); });
}

void SimExcel::Restart() {
  std::erase_if(bars_, [](const auto& b) { return b->temporary; });
  for (auto& b : bars_) std::erase_if(b->controls, [](const auto& c) { return c->temporary; });
  button_sinks_.clear();
}

void SimExcel::UserDeleteControl(const std::string& bar, std::size_t position) {
  auto control = ControlAt(bar, position);
  control->deleted = true;
  std::erase(Bar(bar).controls, control);
}

std::shared_ptr<ControlModel> SimExcel::ControlAt(const std::string& bar, std::size_t position) {
  auto& controls = Bar(bar).controls;
  if (position < 1 || position > controls.size()) throw HostError(kErrSubscript, "no control " + std::to_string(position));
  return controls[position - 1];
}

std::int32_t SimExcel::AdviseButton(std::shared_ptr<ControlModel> control, std::shared_ptr<ICommandBarButtonEvents> sink) {
  if (!sink) throw HostError(kErrInvalidCall, kInvalidCall);
  const std::int32_t cookie = next_cookie_++;
  button_sinks_[cookie] = {std::move(control), std::move(sink)};
  return cookie;
}

void SimExcel::UnadviseButton(std::int32_t cookie) {
  if (!button_sinks_.erase(cookie)) throw HostError(-2147220992, "CONNECT_E_NOCONNECTION");
}

bool SimExcel::UserClickControl(const std::shared_ptr<ControlModel>& control) {
  if (!control || !control->visible || !control->enabled) return false;
  const std::string& action = control->on_action;
  const bool routed = std::any_of(com_addins.begin(), com_addins.end(),
                                  [&](const std::string& prog_id) { return iequals(action, "!<" + prog_id + ">"); });
  if (!routed) return false;
  // The receivers may subscribe and unsubscribe while they run: the list is taken first.
  std::vector<std::pair<std::shared_ptr<ControlModel>, std::shared_ptr<ICommandBarButtonEvents>>> receivers;
  for (const auto& [cookie, s] : button_sinks_)
    if (s.first == control || (!control->tag.empty() && s.first->tag == control->tag)) receivers.push_back(s);
  bool cancel = false;
  for (auto& [c, sink] : receivers) sink->Click(std::make_shared<SimControl>(shared_from_this(), c), cancel);
  return !receivers.empty();
}

CommandBarPtr SimExcel::CommandBars(const std::string& name) {
  Enter("Application.CommandBars");
  for (const auto& b : bars_)
    if (iequals(b->name, name)) return std::make_shared<SimCommandBar>(shared_from_this(), b);
  throw HostError(kErrInvalidCall, kInvalidCall);
}
CommandBarPtr SimExcel::CommandBarsAdd(const std::string& name, std::int32_t position, bool temporary) {
  Enter("Application.CommandBars.Add");
  const bool taken = std::any_of(bars_.begin(), bars_.end(), [&](const auto& b) { return iequals(b->name, name); });
  if (name.empty() || taken || position < 0 || position > 6) throw HostError(kErrInvalidCall, kInvalidCall);
  auto bar = std::make_shared<CommandBarModel>();
  bar->name = name;
  bar->position = position;
  bar->visible = false;
  bar->temporary = temporary;
  bar->built_in = false;
  bars_.push_back(bar);
  return std::make_shared<SimCommandBar>(shared_from_this(), bar);
}

}  // namespace tessaly::sim
