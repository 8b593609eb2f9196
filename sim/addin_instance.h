// The host's object for a loaded COM add-in, as the stand-in host hands it to the connection.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/host_error.h"
#include "host/ribbon.h"

namespace tessaly::sim {

struct SimAddInInstance : IAddInInstance {
  std::string ProgId() override {
    if (fail) throw HostError(-2147418113, "Catastrophic failure", "AddIn.ProgId");
    return prog_id;
  }
  // The host's COMAddIns(prog_id).Connect: the host disconnects or connects the add-in inside it.
  void SetConnectInHost(const std::string& id, bool connect) override {
    connect_calls.push_back(id + (connect ? " on" : " off"));
    if (connect ? refuse_load : refuse_unload) throw HostError(-2147467259, "Unspecified error", "COMAddIn.Connect");
    if (id != prog_id) throw HostError(9, "Subscript out of range", "COMAddIns.Item");
    if (on_connect) on_connect(connect);
  }
  std::string prog_id = "TESSALY.Connect";
  bool fail = false;
  bool refuse_unload = false, refuse_load = false;
  std::function<void(bool)> on_connect;
  std::vector<std::string> connect_calls;
};

}  // namespace tessaly::sim
