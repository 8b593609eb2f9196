// The host's ribbon objects as the add-in's ribbon callbacks receive them, and the add-in
// instance the host connects.
#pragma once

#include <memory>
#include <string>

#include "host/host_error.h"

namespace tessaly {

class IRibbonUI {
 public:
  virtual ~IRibbonUI() = default;
  // Makes the host ask the control's getters again, later.
  virtual void InvalidateControl(const std::string& control_id) = 0;
};
using RibbonUIPtr = std::shared_ptr<IRibbonUI>;

class IRibbonControl {
 public:
  virtual ~IRibbonControl() = default;
  virtual std::string Id() = 0;
};

// The host's object for this add-in in its list of COM add-ins.
class IAddInInstance {
 public:
  virtual ~IAddInInstance() = default;
  virtual std::string ProgId() = 0;
  // Application.COMAddIns(prog_id).Connect = connect, through this object's host application; the
  // host disconnects or connects that add-in inside the call. Throws HostError when it refuses.
  virtual void SetConnectInHost(const std::string& prog_id, bool connect) {
    (void)prog_id, (void)connect;
    throw HostError("This host cannot connect add-ins.");
  }
};
using AddInInstancePtr = std::shared_ptr<IAddInInstance>;

}  // namespace tessaly
