// The option dialogs as real modal Win32 dialogs over their owner, with the themed look of common
// controls 6 from the add-in's own manifest, made current only while its dialogs run.
#pragma once

#include <windows.h>

#include "host/dialog_window.h"
#include "win/handles.h"

namespace tessaly::win {

// The manifest resource (RT_MANIFEST) that asks for common controls 6; number 3 keeps the loader
// from applying it to the DLL's own imports.
inline constexpr WORD kThemedLookManifest = 3;

// The activation context of a module's manifest resource; without one (or where it cannot be
// made) the windows keep the classic look.
class ThemedLook {
 public:
  ThemedLook(HMODULE module, WORD manifest_id);
  // Makes the context current on this thread until the result goes; empty without a context.
  unique_actctx_activation Activate() const;
  bool Available() const { return context_.get() != INVALID_HANDLE_VALUE; }

 private:
  unique_actctx context_;
};

class Win32DialogHost : public IDialogHost {
 public:
  // module holds the icons; main_window owns a dialog opened without an owner.
  Win32DialogHost(HMODULE module, HWND main_window);
  // Runs the dialog until its logic closes it; throws HostError when it cannot be created.
  void ShowModal(DialogKind kind, IDialogHandler& handler, WindowHandle owner) override;

 private:
  HMODULE module_;
  HWND main_window_;
  ThemedLook look_;
};

}  // namespace tessaly::win
