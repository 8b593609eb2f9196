// The windowless picture control: events in, styles and pixels out.
#include "sim/headless_picture.h"

namespace tessaly::sim {

HeadlessPicture::HeadlessPicture(int width, int height) : pixels_(width, height, 0) {}

void HeadlessPicture::set_window_styles(const WindowStyles& styles) {
  styles_ = styles;
  ++frame_refreshes_;
}

void HeadlessPicture::hold(int virtual_key, bool down) {
  if (down)
    held_.insert(virtual_key);
  else
    held_.erase(virtual_key);
}

void HeadlessPicture::mouse_down(int button, int x, int y, int shift) {
  if (listener_) listener_->on_mouse_down(button, shift, x, y);
}

void HeadlessPicture::mouse_move(int x, int y, int button, int shift) {
  if (listener_) listener_->on_mouse_move(button, shift, x, y);
}

void HeadlessPicture::mouse_up(int button, int x, int y, int shift) {
  if (listener_) listener_->on_mouse_up(button, shift, x, y);
}

void HeadlessPicture::click(int x, int y) {
  mouse_down(mouse::kLeft, x, y);
  mouse_up(mouse::kLeft, x, y);
}

void HeadlessPicture::key_down(int key_code, int shift) {
  if (listener_) listener_->on_key_down(key_code, shift);
}

void HeadlessPicture::lose_focus() {
  if (listener_) listener_->on_lost_focus();
}

void HeadlessPicture::gain_focus() {
  if (listener_) listener_->on_got_focus();
}

void HeadlessPicture::mouse_leave() {
  if (listener_) listener_->on_mouse_leave();
}

void HeadlessPicture::paint() {
  if (listener_) listener_->on_paint();
}

void HeadlessPicture::resize(int width, int height) {
  pixels_.resize(width, height, 0);
  if (listener_) listener_->on_resize();
}

}  // namespace tessaly::sim
