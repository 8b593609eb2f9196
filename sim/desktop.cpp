// The stand-in desktop's window tree: coordinates, search, hit-testing and re-parenting.
#include "sim/desktop.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <utility>

namespace tessaly::sim {

namespace {
bool Contains(const ScreenRect& r, ScreenPoint p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }
}  // namespace

SimDesktop::Window& SimDesktop::AddWindow(WindowHandle handle, std::string class_name, std::uint32_t process, ScreenRect rect) {
  Window w;
  w.handle = handle, w.class_name = std::move(class_name), w.process = process, w.rect = rect;
  windows.push_back(std::move(w));
  return windows.back();
}

SimDesktop::Window& SimDesktop::AddChild(WindowHandle parent, WindowHandle handle, std::string class_name, ScreenRect rect) {
  Window& w = AddWindow(handle, std::move(class_name), Get(parent).process, rect);
  w.parent = parent;
  w.style = ws::kChild;
  return w;
}

void SimDesktop::BringToTop(WindowHandle handle) {
  auto it = std::find_if(windows.begin(), windows.end(), [&](const Window& w) { return w.handle == handle; });
  if (it == windows.end()) throw HostError(1400, "Invalid window handle.");
  std::rotate(windows.begin(), it, it + 1);
}

void SimDesktop::RemoveWindow(WindowHandle handle) {
  std::vector<WindowHandle> doomed{handle};
  for (std::size_t i = 0; i < doomed.size(); ++i)
    for (const Window& w : windows)
      if (w.parent == doomed[i]) doomed.push_back(w.handle);
  std::erase_if(windows, [&](const Window& w) { return std::find(doomed.begin(), doomed.end(), w.handle) != doomed.end(); });
}

SimDesktop::Window& SimDesktop::Get(WindowHandle handle) {
  return const_cast<Window&>(static_cast<const SimDesktop&>(*this).Get(handle));
}

const SimDesktop::Window& SimDesktop::Get(WindowHandle handle) const {
  for (const Window& w : windows)
    if (w.handle == handle && handle != 0) return w;
  throw HostError(1400, "Invalid window handle.");
}

bool SimDesktop::Exists(WindowHandle handle) const {
  return std::any_of(windows.begin(), windows.end(), [&](const Window& w) { return w.handle == handle && handle != 0; });
}

void SimDesktop::SetDpi(double dpi) {
  for (Display& d : displays) d.dpi_x = d.dpi_y = dpi;
}

const SimDesktop::Display& SimDesktop::DisplayAt(ScreenPoint p) const {
  const Display* best = &displays.front();
  std::int64_t best_distance = std::numeric_limits<std::int64_t>::max();
  for (const Display& d : displays) {
    std::int64_t dx = p.x < d.rect.left ? d.rect.left - p.x : p.x >= d.rect.right ? p.x - d.rect.right + 1 : 0;
    std::int64_t dy = p.y < d.rect.top ? d.rect.top - p.y : p.y >= d.rect.bottom ? p.y - d.rect.bottom + 1 : 0;
    if (dx * dx + dy * dy < best_distance) best = &d, best_distance = dx * dx + dy * dy;
  }
  return *best;
}

const SimDesktop::Display& SimDesktop::DisplayOf(WindowHandle window) const {
  if (window == 0 || !Exists(window)) return displays.front();
  ScreenRect r = const_cast<SimDesktop*>(this)->WindowScreenRect(window);
  return DisplayAt({r.left + r.width() / 2, r.top + r.height() / 2});
}

WindowHandle SimDesktop::FindTopLevelWindow(const std::string& class_name, WindowHandle after) {
  return FindChildWindow(0, class_name, after);
}

WindowHandle SimDesktop::FindChildWindow(WindowHandle parent, const std::string& class_name, WindowHandle after) {
  bool passed = after == 0;
  for (const Window& w : windows) {
    if (w.parent != parent) continue;
    if (passed && w.class_name == class_name) return w.handle;
    if (w.handle == after) passed = true;
  }
  return 0;
}

ScreenRect SimDesktop::WindowScreenRect(WindowHandle window) {
  const Window& w = Get(window);
  if (w.parent == 0) return w.rect;
  ScreenPoint origin = ClientToScreen(w.parent, {0, 0});
  return {w.rect.left + origin.x, w.rect.top + origin.y, w.rect.right + origin.x, w.rect.bottom + origin.y};
}

ScreenRect SimDesktop::ClientRect(WindowHandle window) {
  const Window& w = Get(window);
  return {0, 0, std::max(0, w.rect.width() - w.frame.left - w.frame.right),
          std::max(0, w.rect.height() - w.frame.top - w.frame.bottom)};
}

ScreenPoint SimDesktop::ClientToScreen(WindowHandle window, ScreenPoint client) {
  ScreenRect r = WindowScreenRect(window);
  const Window& w = Get(window);
  return {r.left + w.frame.left + client.x, r.top + w.frame.top + client.y};
}

ScreenPoint SimDesktop::ScreenToClient(WindowHandle window, ScreenPoint screen) {
  ScreenPoint origin = ClientToScreen(window, {0, 0});
  return {screen.x - origin.x, screen.y - origin.y};
}

WindowHandle SimDesktop::Deepest(WindowHandle parent, ScreenPoint p) {
  for (auto it = windows.begin(); it != windows.end(); ++it) {
    if (it->parent != parent || !it->visible) continue;
    if (!Contains(WindowScreenRect(it->handle), p)) continue;
    WindowHandle handle = it->handle;
    WindowHandle child = Deepest(handle, p);
    return child ? child : handle;
  }
  return 0;
}

WindowHandle SimDesktop::WindowFromPoint(ScreenPoint screen) { return Deepest(0, screen); }

void SimDesktop::SetWindowStyles(WindowHandle window, std::uint32_t style, std::uint32_t ex_style) {
  Window& w = Get(window);
  w.style = style, w.ex_style = ex_style;
}

void SimDesktop::SetParent(WindowHandle window, WindowHandle parent) {
  if (parent != 0) Get(parent);  // refuses an unknown parent before changing anything
  // Keeps the window's place on screen, as re-parenting does; it goes on top of its new siblings.
  ScreenRect on_screen = WindowScreenRect(window);
  Window& moved = Get(window);
  moved.parent = parent;
  ScreenPoint origin = parent ? ClientToScreen(parent, {0, 0}) : ScreenPoint{};
  moved.rect = {on_screen.left - origin.x, on_screen.top - origin.y, on_screen.right - origin.x, on_screen.bottom - origin.y};
  BringToTop(window);
}

void SimDesktop::MoveWindow(WindowHandle window, ScreenRect rect) {
  Window& w = Get(window);
  if (w.rect == rect) return;
  w.rect = rect;
  ++w.moves;
  if (w.parent && w.visible) Invalidate(w.parent);
  for (auto& call : Due(window, &ViewWatchCalls::changed)) call();
}

void SimDesktop::ShowWindow(WindowHandle window, bool show) {
  Window& w = Get(window);
  if (w.visible && !show) {
    ++w.hides;
    if (w.parent) Invalidate(w.parent);
  }
  w.visible = show;
}

int SimDesktop::PaintPending() {
  const std::set<WindowHandle> due = std::exchange(invalid_, {});
  int painted = 0;
  for (WindowHandle window : due)
    if (Exists(window)) Repainted(window), ++painted;
  return painted;
}

void SimDesktop::SetRepaintSuppressed(WindowHandle window, bool suppressed) {
  Window& w = Get(window);
  if (suppressed && !w.repaint_suppressed) ++w.suppressions;
  const bool lifted = w.repaint_suppressed && !suppressed;
  w.repaint_suppressed = suppressed;
  // Lifting it draws the window at once.
  if (lifted) Repainted(window);
}

namespace {
class SimWatch final : public IWindowWatch {
 public:
  SimWatch(std::weak_ptr<std::map<int, SimDesktop::Watch>> all, int id) : all_(std::move(all)), id_(id) {}
  ~SimWatch() override {
    if (auto all = all_.lock()) all->erase(id_);
  }

 private:
  std::weak_ptr<std::map<int, SimDesktop::Watch>> all_;
  int id_;
};
}  // namespace

std::unique_ptr<IWindowWatch> SimDesktop::WatchView(WindowHandle window, ViewWatchCalls calls) {
  if (Get(window).process != current_process) throw HostError(5, "Access is denied.");
  const int id = next_watch_++;
  (*watches_)[id] = Watch{window, std::move(calls)};
  return std::make_unique<SimWatch>(watches_, id);
}

std::vector<std::function<void()>> SimDesktop::Due(WindowHandle window, std::function<void()> ViewWatchCalls::*which) const {
  std::vector<std::function<void()>> due;
  for (const auto& [id, w] : *watches_)
    if (w.window == window && w.calls.*which) due.push_back(w.calls.*which);
  return due;
}

void SimDesktop::Scrolled(WindowHandle window) {
  for (auto& f : Due(window, &ViewWatchCalls::scrolled)) f();
}

void SimDesktop::Repainted(WindowHandle window) {
  ++repaints_[window];
  for (auto& f : Due(window, &ViewWatchCalls::changed)) f();
}

int SimDesktop::Repaints(WindowHandle window) const {
  auto it = repaints_.find(window);
  return it == repaints_.end() ? 0 : it->second;
}

std::size_t SimDesktop::Watches(WindowHandle window) const {
  return std::size_t(std::count_if(watches_->begin(), watches_->end(), [&](const auto& w) { return w.second.window == window; }));
}

void SimDesktop::DisplayHelpTopic(const std::string& help_file, const std::string& topic) {
  if (fail_help) throw HostError(2, "The system cannot find the file specified.");
  help_shown.push_back(help_file + "::/" + topic);
}

void SimDesktop::OpenAddress(const std::string& address) {
  if (fail_help) throw HostError(1155, "No application is associated with the specified file for this operation.");
  addresses_opened.push_back(address);
}

}  // namespace tessaly::sim
