// A message box that shows nothing: it records every box and answers from a script, so tests and
// the stand-in host read exactly what the user would have seen.
#pragma once

#include <deque>
#include <vector>

#include "host/message_box.h"

namespace tessaly::sim {

class RecordingMessageBox : public IMessageBox {
 public:
  // Each box takes the next scripted answer; with the script used up, the box's first button
  // (OK, Yes) is pressed.
  MsgResult show(const MessageRequest& request) override;

  void script(MsgResult answer) { answers_.push_back(answer); }
  const std::vector<MessageRequest>& shown() const { return shown_; }
  void clear() { shown_.clear(); answers_.clear(); }

 private:
  std::vector<MessageRequest> shown_;
  std::deque<MsgResult> answers_;
};

// Defined inline so the settings tests and the demo can use it without the rest of the stand-in host.
inline MsgResult RecordingMessageBox::show(const MessageRequest& request) {
  shown_.push_back(request);
  if (!answers_.empty()) {
    MsgResult answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  return request.buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::OK;
}

}  // namespace tessaly::sim
