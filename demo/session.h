// The scripted session of the add-in on the stand-in host.
#pragma once

namespace tessaly::demo {
void RunStandInSession();
}
