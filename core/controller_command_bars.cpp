// The controller's command bars for hosts without a ribbon: its own toolbar of six buttons, the
// quick button on another toolbar, the "Cell" context-menu entries, their icons and their clicks.
#include <exception>
#include <utility>

#include "core/controller.h"
#include "core/must.h"
#include "host/error_policy.h"
#include "settings/option_ids.h"

namespace tessaly {

namespace {

constexpr const char* kDisableTag = "DisableOrEnable";
constexpr const char* kUndoTag = "UndoDate";
// The first turn of the host's message loop after the connection: the timer's soonest.
constexpr std::int32_t kCommandBarsDelay = 1;

}  // namespace

struct cVantry::ToolbarButton {
  CommandBarControlPtr cVantry::*member;
  ClickHandler click;
  std::string caption, tooltip, icon, tag;  // no icon: the caption alone
};

// ---------------------------------------------------------------- clicks

void cVantry::Listen(const CommandBarControlPtr& button, ClickHandler handler) {
  auto relay = std::make_shared<ButtonClickRelay<cVantry>>(this, handler);
  const std::int32_t cookie = Must(button)->Advise(relay);
  button_events_.push_back({button, std::move(relay), cookie});
}

// A control the user deleted: its clicks are no longer listened for and its reference goes.
void cVantry::Forget(CommandBarControlPtr& control) noexcept {
  SkipFailures step;
  std::erase_if(button_events_, [&](ButtonSubscription& s) {
    if (s.button != control) return false;
    s.relay->Detach();
    step([&] { s.button->Unadvise(s.cookie); });
    return true;
  });
  control.reset();
}

// The user may delete the control from its bar during the session; the reference then stays but
// the bar no longer finds the tag. A bar that cannot be asked leaves the control counted as there.
bool cVantry::DeletedFromBar(const CommandBarControlPtr& control, const std::string& bar, const std::string& tag) noexcept {
  if (!control) return false;
  return Attempt([&] { return !Must(app_->CommandBars(bar))->FindControl(xl::kControlButton, xl::kControlCustom, tag); })
      .value_or(false);
}

bool cVantry::QuickButtonDeleted() noexcept {
  const auto place = Attempt([&] {
    return std::pair(Reg().Text(opt::CommandBarNameToAddButton), Reg().Text(opt::CommandButtonTagString) + "-QUICKBUTTON");
  });
  return place && DeletedFromBar(moToolbarQuickButton, place->first, place->second);
}

bool cVantry::RightClickMenuDeleted() noexcept {
  const auto tag = Attempt([&] { return Reg().Text(opt::CommandButtonTagString) + "-CELL"; });
  return tag && DeletedFromBar(moRightClickMenu, "Cell", *tag);
}

// The buttons stay in the host; only their clicks stop reaching this controller.
void cVantry::StopListening() noexcept {
  SkipFailures step;
  for (auto& s : button_events_) {
    s.relay->Detach();
    step([&] { s.button->Unadvise(s.cookie); });
  }
  button_events_.clear();
}

// ---------------------------------------------------------------- when they are made

void cVantry::DeferCommandBars() noexcept {
  bars_pending_ = true;
  const bool waiting = s_.timers && StopOnFailure([&] {
    bars_timer_ = s_.timers->CreateTimer([this] { CommandBarsNow(); });
    bars_timer_->SetInterval(kCommandBarsDelay);
  });
  // Without a timer they are made now: late rather than never.
  if (!waiting) CommandBarsNow();
}

// Once, whoever comes first: the timer, or a command that needs the bars.
void cVantry::CommandBarsNow() noexcept {
  if (!bars_pending_) return;
  bars_pending_ = false;
  bars_timer_.reset();  // a one-shot; releasing it inside its own callback is safe
  BuildCommandBars();
}

void cVantry::BuildCommandBars() noexcept {
  SkipFailures step;
  step([&] {
    if (s_.m.ExcelVersion > 11) InitUI2007();
    else InitUICommandBars();
  });
  step([&] {
    std::string tag = Reg().Text(opt::CommandButtonTagString) + "-CELL";
    moRightClickMenu = app_->CommandBars("Cell")->FindControl(xl::kControlButton, 1, tag);
  });
  step([&] {
    if (moRightClickMenu) Listen(moRightClickMenu, &cVantry::moRightClickMenu_Click);
  });
  FindUndoEntry();
  step([&] {
    if (!moRightClickMenu && s_.m.FirstRun) DisplayRightClickMenu(true);
  });
}

// ---------------------------------------------------------------- the toolbar

void cVantry::InitUICommandBars() {
  SkipFailures step;
  const std::string& name = s_.m.ProductName;
  step([&] { moToolbar = app_->CommandBars(name); });
  step([&] {
    const std::string tag = Reg().Text(opt::CommandButtonTagString) + "-QUICKBUTTON";
    moToolbarQuickButton = app_->CommandBars(Reg().Text(opt::CommandBarNameToAddButton))->FindControl(xl::kControlButton, xl::kControlCustom, tag);
  });
  step([&] {
    if (moToolbarQuickButton) Listen(moToolbarQuickButton, &cVantry::moToolbarQuickButton_Click);
  });
  if (!moToolbarQuickButton && s_.m.FirstRun) DisplayToolbarButton(true);

  if (moToolbar) {
    const std::pair<CommandBarControlPtr cVantry::*, ClickHandler> buttons[] = {
        {&cVantry::cbbDisplayCalendar, &cVantry::cbbDisplayCalendar_Click}, {&cVantry::cbbSettings, &cVantry::cbbSettings_Click},
        {&cVantry::cbbDisable, &cVantry::cbbDisable_Click}, {&cVantry::cbbHelp, &cVantry::cbbHelp_Click},
        {&cVantry::cbbAbout, &cVantry::cbbAbout_Click}, {&cVantry::cbbUndoDate, &cVantry::cbbUndoDate_Click}};
    const std::string tags[] = {"Calendar!", "Settings", kDisableTag, "Help", "About " + name, kUndoTag};
    for (std::size_t i = 0; i < std::size(buttons); ++i) {
      const auto member = buttons[i].first;
      const auto click = buttons[i].second;
      step([&] { this->*member = moToolbar->FindControl(xl::kControlButton, xl::kControlCustom, tags[i]); });
      step([&] {
        if (this->*member) Listen(this->*member, click);
      });
    }
    // A toolbar built by a version without Undo Date gets its button.
    if (!cbbUndoDate) AddToolbarButton({&cVantry::cbbUndoDate, &cVantry::cbbUndoDate_Click, kUndoDateCaption,
                                        "Take back the last date picked", "", kUndoTag});
    else step([&] { cbbUndoDate->SetEnabled(Undo().Last().has_value()); });
    return;
  }
  if (!s_.m.FirstRun) {
    MsgResult answer = MsgResult::No;
    step([&] {
      answer = s_.messages.show({"Cannot find the toolbar for " + name + "\r\n\r\nDo you want to recreate it?", name,
                                 MsgIcon::Question, MsgButtons::YesNo});
    });
    if (answer != MsgResult::Yes) return;  // without a toolbar; the context menu and the tag still work
  }
  BuildToolbar();
}

void cVantry::AddToolbarButton(const ToolbarButton& b) {
  SkipFailures step;
  CommandBarControlPtr& button = this->*b.member;
  step([&] { button = Must(moToolbar)->ControlsAdd(xl::kControlButton, xl::kControlCustom, 0, false); });
  if (!button) return;
  step([&] { Listen(button, b.click); });
  step([&] { button->SetCaption(b.caption); });
  step([&] { button->SetTooltipText(b.tooltip); });
  step([&] { button->SetStyle(b.icon.empty() ? xl::kButtonCaption : xl::kButtonIconAndCaption); });
  step([&] { button->SetOnAction(msOnAction); });
  if (!b.icon.empty()) step([&] { SetButtonIcon(button, b.icon); });
  step([&] { button->SetTag(b.tag.empty() ? b.caption : b.tag); });
  if (b.member == &cVantry::cbbUndoDate) step([&] { button->SetEnabled(Undo().Last().has_value()); });
}

void cVantry::BuildToolbar() {
  SkipFailures step;
  const std::string& name = s_.m.ProductName;
  step([&] { moToolbar = app_->CommandBarsAdd(name, xl::kBarTop, false); });
  if (!moToolbar) return;
  bool disabled = false;
  step([&] { disabled = Reg().Bool(opt::CalendarDisabled); });
  const ToolbarButton buttons[] = {
      {&cVantry::cbbDisplayCalendar, &cVantry::cbbDisplayCalendar_Click, "Calendar!", "Open Quenby", "display", ""},
      {&cVantry::cbbSettings, &cVantry::cbbSettings_Click, "Settings", "Set options", "setting16", ""},
      {&cVantry::cbbDisable, &cVantry::cbbDisable_Click, "Disable", (disabled ? "Click to enable " : "Click to disable ") + name,
       disabled ? "enable" : "disable", kDisableTag},
      {&cVantry::cbbHelp, &cVantry::cbbHelp_Click, "Help", "Open the help document of Tessaly", "help", ""},
      {&cVantry::cbbAbout, &cVantry::cbbAbout_Click, "About " + name, "Show the version of " + name + " and how to reach its maker",
       "about", ""},
      {&cVantry::cbbUndoDate, &cVantry::cbbUndoDate_Click, kUndoDateCaption, "Take back the last date picked", "", kUndoTag},
  };
  for (const ToolbarButton& b : buttons) AddToolbarButton(b);
  step([&] { Must(cbbDisable)->SetState(disabled ? xl::kButtonDown : xl::kButtonUp); });
  step([&] { moToolbar->SetVisible(true); });
}

// ---------------------------------------------------------------- the quick button and the context menu

void cVantry::DisplayToolbarButton(bool show) noexcept {
  if (s_.m.ExcelVersion >= 12) return;
  CommandBarsNow();
  SkipFailures step;
  if (show && QuickButtonDeleted()) Forget(moToolbarQuickButton);
  if (moToolbarQuickButton) {
    step([&] { moToolbarQuickButton->SetVisible(show); });
    return;
  }
  if (!show) return;
  step([&] {
    CommandBarPtr bar = app_->CommandBars(Reg().Text(opt::CommandBarNameToAddButton));
    moToolbarQuickButton = Must(bar)->ControlsAdd(xl::kControlButton, xl::kControlCustom, 0, false);
  });
  CommandBarControlPtr& b = moToolbarQuickButton;
  if (!b) return;
  step([&] { Listen(b, &cVantry::moToolbarQuickButton_Click); });
  step([&] { b->SetCaption(Reg().Text(opt::CommandButtonCaption)); });
  step([&] { b->SetTooltipText("Pick a date with the calendar (Brenmoor)"); });
  step([&] { b->SetStyle(xl::kButtonIconAndCaption); });
  step([&] { b->SetBeginGroup(true); });
  step([&] { b->SetTag(Reg().Text(opt::CommandButtonTagString) + "-QUICKBUTTON"); });
  step([&] { b->SetOnAction(msOnAction); });
  step([&] { SetButtonIcon(b, "display"); });
}

bool cVantry::DisplayToolbarButton() noexcept {
  if (s_.m.ExcelVersion >= 12) return false;
  CommandBarsNow();
  return Attempt([&] { return moToolbarQuickButton && !QuickButtonDeleted() && moToolbarQuickButton->Visible(); })
      .value_or(false);
}

void cVantry::DisplayRightClickMenu(bool show) noexcept {
  CommandBarsNow();
  DisplayCalendarEntry(show);
  DisplayUndoEntry(show);
}

void cVantry::DisplayCalendarEntry(bool show) noexcept {
  SkipFailures step;
  if (show && RightClickMenuDeleted()) Forget(moRightClickMenu);
  if (moRightClickMenu) {
    step([&] { moRightClickMenu->SetVisible(show); });
    return;
  }
  if (!show) return;
  CommandBarPtr bar;
  step([&] { bar = app_->CommandBars("Cell"); });
  step([&] { moRightClickMenu = Must(bar)->ControlsAdd(xl::kControlButton, xl::kControlCustom, 1, false); });
  CommandBarControlPtr& e = moRightClickMenu;
  if (!e) return;
  step([&] { Listen(e, &cVantry::moRightClickMenu_Click); });
  step([&] { e->SetCaption(Reg().Text(opt::CommandButtonCaption)); });
  step([&] { e->SetBeginGroup(true); });
  step([&] { e->SetTag(Reg().Text(opt::CommandButtonTagString) + "-CELL"); });
  step([&] { e->SetOnAction(msOnAction); });
  step([&] { SetButtonIcon(e, "display"); });
  // Sets the entry off from the host's own Cut that now follows it.
  step([&] {
    CommandBarControlPtr next = bar->Controls(2);
    if (Must(next)->Id() == xl::kControlCut) next->SetBeginGroup(true);
  });
}

std::string cVantry::UndoEntryTag() { return Reg().Text(opt::CommandButtonTagString) + "-CELL-UNDO"; }

void cVantry::DisplayUndoEntry(bool show) noexcept {
  SkipFailures step;
  if (show) {
    const auto tag = Attempt([&] { return UndoEntryTag(); });
    if (tag && DeletedFromBar(moRightClickUndo, "Cell", *tag)) Forget(moRightClickUndo);
  }
  if (moRightClickUndo) {
    step([&] { moRightClickUndo->SetVisible(show); });
    return;
  }
  if (!show) return;
  // Right after the calendar's entry, which is the first.
  step([&] { moRightClickUndo = Must(app_->CommandBars("Cell"))->ControlsAdd(xl::kControlButton, xl::kControlCustom, 2, false); });
  CommandBarControlPtr& e = moRightClickUndo;
  if (!e) return;
  step([&] { Listen(e, &cVantry::cbbUndoDate_Click); });
  step([&] { e->SetCaption(kUndoDateCaption); });
  step([&] { e->SetTag(UndoEntryTag()); });
  step([&] { e->SetOnAction(msOnAction); });
  step([&] { e->SetEnabled(Undo().Last().has_value()); });
}

// The entry a connection before made; one the calendar's entry lacks, from a version without it, is made.
void cVantry::FindUndoEntry() noexcept {
  SkipFailures step;
  step([&] { moRightClickUndo = app_->CommandBars("Cell")->FindControl(xl::kControlButton, xl::kControlCustom, UndoEntryTag()); });
  if (moRightClickUndo) {
    step([&] { Listen(moRightClickUndo, &cVantry::cbbUndoDate_Click); });
    step([&] { moRightClickUndo->SetEnabled(Undo().Last().has_value()); });
  } else if (moRightClickMenu && Attempt([&] { return moRightClickMenu->Visible(); }).value_or(false)) {
    DisplayUndoEntry(true);
  }
}

bool cVantry::DisplayRightClickMenu() noexcept {
  CommandBarsNow();
  return Attempt([&] { return moRightClickMenu && !RightClickMenuDeleted() && moRightClickMenu->Visible(); }).value_or(false);
}

// ---------------------------------------------------------------- icons and the disable toggle

// Version 9 has no Picture or Mask: the face goes over the clipboard, which then gets the user's
// content back, whether the paste worked or not. When the clipboard cannot be read first, the button
// stays without its face and the clipboard is not touched.
void cVantry::SetButtonIcon(const CommandBarControlPtr& button, const std::string& key) {
  IImageList& images = *Must(moImageList);
  Must(button);
  if (s_.m.ExcelVersion != 9) {
    button->SetPicture(images.Picture(key));
    button->SetMask(images.Mask(key));
    return;
  }
  const ButtonImagePtr picture = images.Picture(key);
  IClipboard& clipboard = *Must(s_.clipboard);
  const std::unique_ptr<IClipboard::Content> saved = clipboard.Save();
  std::exception_ptr failed;
  try {
    clipboard.PutPicture(picture);
    button->PasteFace();
  } catch (...) {
    failed = std::current_exception();
  }
  clipboard.Restore(*saved);
  if (failed) std::rethrow_exception(failed);
}

void cVantry::cbbDisable_Click() noexcept {
  SkipFailures step;
  if (!cbbDisable || !ExcelAnswers()) return;
  // The stored option is the truth when the button cannot tell its state.
  bool disabling = true;
  step([&] { disabling = !Reg().Bool(opt::CalendarDisabled); });
  step([&] { disabling = cbbDisable->State() == xl::kButtonUp; });
  // Stored first: a state the store refuses is neither shown on the button nor acted on.
  bool stored = false;
  step([&] { stored = Store(opt::CalendarDisabled, Variant::boolean(disabling)); });
  bool disabled = disabling;
  if (!stored) step([&] { disabled = Reg().Bool(opt::CalendarDisabled); });
  ShowDisableButton(disabled);
  if (!stored) return;
  if (disabled) Withdraw();
  else ShowTagForActiveCell();
}

void cVantry::ShowDisableButton(bool disabled) noexcept {
  SkipFailures step;
  step([&] { cbbDisable->SetState(disabled ? xl::kButtonDown : xl::kButtonUp); });
  step([&] { cbbDisable->SetTooltipText((disabled ? "Click to enable " : "Click to disable ") + s_.m.ProductName); });
  step([&] { SetButtonIcon(cbbDisable, disabled ? "enable" : "disable"); });
}

}  // namespace tessaly
