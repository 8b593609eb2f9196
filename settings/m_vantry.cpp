// The product name, put together at run time so the text sits in one place only.
#include "settings/m_vantry.h"

namespace tessaly {

std::string MakeProductName() {
  std::string name = "Tess";
  name += "aly";
  return name;
}

}  // namespace tessaly
