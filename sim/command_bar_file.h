// The stand-in's toolbar file: Excel keeps its command bars in the user's profile between runs, and
// so does the stand-in, in a text of its own.
#pragma once

#include <functional>
#include <string>

#include "sim/excel_sim.h"

namespace tessaly::sim {

// A button's face image as a line's text and back; the platform that draws faces owns their bits.
// Without one a face keeps only the key of the icon it was drawn from.
struct FaceCodec {
  std::function<std::string(const ButtonImagePtr&)> save;
  std::function<ButtonImagePtr(const std::string& key, const std::string& text)> load;
};

// Every bar and control that is not temporary, with what the user sees of it.
std::string SaveCommandBars(const SimExcel& host, const FaceCodec& faces = {});
// Puts the text's bars in place of the host's; false, with the bars left as they are, for a text
// that is no such file (the host then starts with its built-in layout).
bool LoadCommandBars(SimExcel& host, const std::string& text, const FaceCodec& faces = {});

}  // namespace tessaly::sim
