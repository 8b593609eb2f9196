// The reload's two steps, each in its own timer callback.
#include "addin/addin_reconnector.h"

#include "host/error_policy.h"

namespace tessaly {

std::unique_ptr<ITimer> cUtilAddinReconnector::StartTimer(void (cUtilAddinReconnector::*step)()) {
  if (!s_.timers) throw HostError("No timers to reload the add-in with.");
  std::weak_ptr<cUtilAddinReconnector> weak = weak_from_this();
  auto timer = s_.timers->CreateTimer([weak, step] {
    // Held for the call: the step lets go of the last owner before it ends.
    if (auto self = weak.lock()) ((*self).*step)();
  });
  timer->SetInterval(kStepDelayMs);
  return timer;
}

void cUtilAddinReconnector::ReconnectAddin(const AddInInstancePtr& AddIn, const std::string& message) noexcept {
  addin_ = AddIn;
  message_ = message;
  SkipFailures step;
  step([&] { prog_id_ = addin_ ? addin_->ProgId() : std::string(); });
  // Without its timer the reload never starts: the add-in stays as it is and the user is told to restart.
  if (!step([&] { moTimerStartUnload = StartTimer(&cUtilAddinReconnector::moTimerStartUnload_ThatTime); })) {
    auto keep = weak_from_this().lock();
    GiveUp();
  }
}

void cUtilAddinReconnector::moTimerStartUnload_ThatTime() noexcept {
  if (!moTimerStartUnload) return;  // each step runs once
  moTimerStartUnload->SetInterval(0);
  moTimerStartUnload.reset();
  // The host calls OnDisconnection inside this, which keeps everything while the reload is pending.
  // Refused, the reload is over: left pending, it would keep the add-in's state through the user's
  // own turning off in the COM Add-ins dialog for the rest of the session.
  if (!SetConnect(false) ||
      !StopOnFailure([&] { moTimerStartLoad = StartTimer(&cUtilAddinReconnector::moTimerStartLoad_ThatTime); }))
    GiveUp();
}

void cUtilAddinReconnector::moTimerStartLoad_ThatTime() noexcept {
  if (!moTimerStartLoad) return;
  moTimerStartLoad->SetInterval(0);
  moTimerStartLoad.reset();
  // OnConnection keeps the add-in's state, then the host asks for the ribbon again.
  if (SetConnect(true)) return End();
  GiveUp();
}

void cUtilAddinReconnector::End() noexcept {
  addin_.reset();
  if (s_.release) s_.release();
}

void cUtilAddinReconnector::GiveUp() noexcept {
  End();
  Inform();
}

bool cUtilAddinReconnector::SetConnect(bool connect) noexcept {
  return StopOnFailure([&] {
    if (!addin_) throw HostError("The add-in object is gone.");
    addin_->SetConnectInHost(prog_id_, connect);
  });
}

void cUtilAddinReconnector::Inform() noexcept {
  StopOnFailure([&] { s_.messages.show({message_, s_.product_name, MsgIcon::Information, MsgButtons::OK}); });
}

}  // namespace tessaly
