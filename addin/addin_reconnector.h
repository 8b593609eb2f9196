// The add-in's reload of itself through the host's list of COM add-ins: off, then on again, each
// from a 20-millisecond one-shot timer so that no step runs inside the call that asked for it.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "host/message_box.h"
#include "host/ribbon.h"
#include "host/timers.h"

namespace tessaly {

struct ReconnectorServices {
  ITimerFactory* timers;  // none: the reload cannot start
  IMessageBox& messages;
  std::string product_name;
  // Lets go of the pending reload, the reconnector's one owner; it lives on until its callback returns.
  std::function<void()> release;
};

class cUtilAddinReconnector : public std::enable_shared_from_this<cUtilAddinReconnector> {
 public:
  static constexpr std::int32_t kStepDelayMs = 20;

  explicit cUtilAddinReconnector(ReconnectorServices services) : s_(std::move(services)) {}

  // Starts the reload and returns at once; the message is shown if the host refuses a step.
  void ReconnectAddin(const AddInInstancePtr& AddIn, const std::string& message) noexcept;
  void moTimerStartUnload_ThatTime() noexcept;
  void moTimerStartLoad_ThatTime() noexcept;

  const std::string& ProgId() const { return prog_id_; }

 private:
  // A one-shot timer whose callback reaches this reconnector while it is still owned.
  std::unique_ptr<ITimer> StartTimer(void (cUtilAddinReconnector::*step)());
  // Application.COMAddIns(ProgId).Connect = connect; false when the host refused.
  bool SetConnect(bool connect) noexcept;
  // The reload is over: the add-in object and the pending reload are let go.
  void End() noexcept;
  // A refused step ends the reload and tells the user once.
  void GiveUp() noexcept;
  void Inform() noexcept;

  ReconnectorServices s_;
  AddInInstancePtr addin_;
  std::string prog_id_;
  std::string message_;
  std::unique_ptr<ITimer> moTimerStartUnload;
  std::unique_ptr<ITimer> moTimerStartLoad;
};

}  // namespace tessaly
