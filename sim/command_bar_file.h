// The stand-in's toolbar file: Excel keeps its command bars in the user's profile between runs, and
// so does the stand-in, in a text of its own.
#pragma once

#include <string>

#include "sim/excel_sim.h"

namespace tessaly::sim {

// Every bar and control that is not temporary, with what the user sees of it; a face keeps the key
// of the icon it was drawn from.
std::string SaveCommandBars(const SimExcel& host);
// Puts the text's bars in place of the host's; false, with the bars left as they are, for a text
// that is no such file (the host then starts with its built-in layout).
bool LoadCommandBars(SimExcel& host, const std::string& text);

}  // namespace tessaly::sim
