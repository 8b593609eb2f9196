// The three option dialogs' controls, captions and access keys, laid out in dialog units.
#pragma once

#include "host/dialog_window.h"
#include "win/ui/dialog_template.h"

namespace tessaly::win {

const DialogLayout& OptionDialogLayout(DialogKind kind);

}  // namespace tessaly::win
