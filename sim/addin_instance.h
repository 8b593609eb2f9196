// The host's object for a loaded COM add-in, as the stand-in host hands it to the connection.
#pragma once

#include <string>

#include "host/host_error.h"
#include "host/ribbon.h"

namespace tessaly::sim {

struct SimAddInInstance : IAddInInstance {
  std::string ProgId() override {
    if (fail) throw HostError(-2147418113, "Catastrophic failure", "AddIn.ProgId");
    return prog_id;
  }
  std::string prog_id = "TESSALY.Connect";
  bool fail = false;
};

}  // namespace tessaly::sim
