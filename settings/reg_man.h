// The settings object: every option's name, type, default and value in memory, written through
// to the per-user store at once, with per-machine options mirrored in a file shared by all users.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/message_box.h"
#include "host/variant.h"
#include "settings/settings_services.h"

namespace tessaly {

// Option type codes (VARIANT numbering).
inline constexpr short kTypeInteger = 2;  // VT_I2
inline constexpr short kTypeLong = 3;     // VT_I4
inline constexpr short kTypeString = 8;   // VT_BSTR
inline constexpr short kTypeBoolean = 11; // VT_BOOL

// Store types.
inline constexpr std::int32_t kStorePerUser = 0;
inline constexpr std::int32_t kStorePerMachine = 1;

// What became of one option write, for a dialog's OK: whether the value is now in effect and kept,
// and when not, the system's reason. A write that the rules drop (another type, an index out of
// range) is not a failure: nothing was asked of the stores.
struct SaveResult {
  enum class Status {
    Stored,     // in effect and persisted
    Unchanged,  // equal to the value in effect (as text, case ignored): nothing written
    Dropped,    // another type or an index out of range: nothing changed
    Failed,     // a store refused it: see reason
  };
  Status status = Status::Stored;
  std::string reason;     // the system's description of the refusal
  bool reported = false;  // the store has already shown its own message about it
  bool ok() const { return status != Status::Failed; }
};

// The box a dialog shows when a value could not be saved: `what` names the setting as the user
// sees it (a caption or an option key), then the system's reason.
MessageRequest SaveFailureMessage(const std::string& what, const SaveResult& result, const std::string& product_name);

class cUtilRegMan {
 public:
  // product_name names the per-user application, the message-box titles and the machine file;
  // machine_data_folder (with its trailing separator) holds the machine file.
  cUtilRegMan(const SettingsServices& services, std::string product_name, std::string machine_data_folder);

  // Sets the highest valid index and the section, fixes the machine file path and empties the tables.
  void InitThisObject(short iMaxEntry, const std::string& sSecName);
  // Loads the stored values over the defaults and reconciles the per-machine options.
  void LoadAll();
  // Registers one option; an index outside 0..iMaxEntry is ignored.
  void InitValue(short iIndex, const std::string& sName, short iType, const Variant& vDefault, std::int32_t iStoreType);

  // The current value as held; an empty value outside 0..iMaxEntry.
  const Variant& Value(short iIndex) const;
  // Changes and persists an option; a value of another type, an index out of range or a value
  // equal to the current one (as text, case ignored) is silently dropped. A refusal of the
  // per-user store throws HostError, and the option keeps its previous value.
  void Value(short iIndex, const Variant& vValue);
  // The same write, telling what became of it. When the per-user store refuses, the option keeps
  // its previous value: what is in effect is what the next start will read. When only the
  // machine file refuses (shared folder not writable), its message has been shown, the new value
  // stays in effect and in the per-user store, and the result is Failed with `reported` set.
  [[nodiscard]] SaveResult Save(short iIndex, const Variant& vValue);

  // Changes whenever an option in effect may have changed, so that what was built from the options
  // can tell whether it still holds.
  std::uint64_t Revision() const { return revision_; }

  short ValueType(short iIndex) const;  // 0 outside the range or for an unregistered index
  const std::string& SecName() const { return sec_name_; }
  short BooleanTo10(short iIndex) const;

  // Fast typed readers for the core: the neutral value (false, 0, "") for another type or index.
  bool Bool(short iIndex) const;
  std::int32_t Long(short iIndex) const;
  const std::string& Text(short iIndex) const;

  // Catalogue facts, for listings and the dialogs.
  short MaxEntry() const { return max_entry_; }
  const std::string& Name(short iIndex) const;
  const Variant& Default(short iIndex) const;
  std::int32_t StoreType(short iIndex) const;
  const std::string& MachineFilePath() const { return machine_file_; }

 private:
  bool in_range(short i) const { return i >= 0 && i <= max_entry_; }
  // Writes the given per-machine options into the machine file, re-read under its lock so that
  // what other processes saved meanwhile is kept; returns the reason when it could not be written
  // (after showing the message).
  std::optional<std::string> SaveMachineOptions(const std::vector<std::size_t>& which);

  SettingsServices services_;
  std::string product_name_;
  std::string machine_folder_;
  std::string machine_file_;
  short max_entry_ = -1;
  std::string sec_name_;
  // Five parallel tables, one entry per index 0..max_entry_.
  std::vector<std::string> name_;
  std::vector<Variant> value_;
  std::vector<Variant> default_;
  std::vector<short> type_;
  std::vector<std::int32_t> store_type_;
  std::uint64_t revision_ = 0;
};

// Saves an option the user has just changed and tells them, with the system's reason, when it
// could not be saved (unless the store already did). True when the new value is in effect.
bool SaveOrReport(cUtilRegMan& reg, short index, const Variant& value, IMessageBox& messages,
                  const std::string& product_name);

}  // namespace tessaly
