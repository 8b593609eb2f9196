// What the three option dialogs work with: the options and start-up values, the message box, the
// help viewer, the host, the controller's entry points and the service that opens dialogs.
#pragma once

#include <string>

#include "core/date_judge.h"
#include "core/entry_points.h"
#include "host/clock.h"
#include "host/dialog_window.h"
#include "host/excel.h"
#include "host/help_shell.h"
#include "host/message_box.h"
#include "settings/m_vantry.h"

namespace tessaly {

struct DialogServices {
  mVantry& m;
  IMessageBox& messages;
  IHelpShell& help;
  IDialogHost& dialogs;
  const IDateJudge& dates;
  const IClock& clock;
  IEntryPoints& entry;
  ExcelApplicationPtr app;
};

// A message box titled with the product's name, with an OK button.
void ShowDialogMessage(const DialogServices& s, const std::string& text, MsgIcon icon);

// Stores an option for a dialog's OK; a value the stores refuse is reported with the system's
// reason (unless the store already did), so the dialog never passes off a failed save as done.
void StoreOption(const DialogServices& s, short index, const Variant& value);

}  // namespace tessaly
