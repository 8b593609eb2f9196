// The settings object: options in memory, written through to the per-user store, per-machine
// options reconciled with the machine options file.
#include "settings/reg_man.h"

#include <algorithm>
#include <exception>

#include "host/error_policy.h"
#include "host/host_error.h"
#include "host/text.h"
#include "settings/machine_file.h"
#include "settings/stored_text.h"

namespace tessaly {

namespace {
const std::string kNoText;
const Variant kNoValue;
const char kCrLf[] = "\r\n";
}  // namespace

cUtilRegMan::cUtilRegMan(const SettingsServices& services, std::string product_name, std::string machine_data_folder)
    : services_(services), product_name_(std::move(product_name)), machine_folder_(std::move(machine_data_folder)) {}

void cUtilRegMan::InitThisObject(short iMaxEntry, const std::string& sSecName) {
  max_entry_ = iMaxEntry < 0 ? -1 : iMaxEntry;
  sec_name_ = sSecName;
  // Without a known all-users folder there is no machine file (a bare name would land in
  // whatever the current folder happens to be).
  machine_file_ = machine_folder_.empty() ? std::string() : machine_folder_ + product_name_ + ".conf";
  std::size_t n = static_cast<std::size_t>(max_entry_ + 1);
  name_.assign(n, {});
  value_.assign(n, {});
  default_.assign(n, {});
  type_.assign(n, 0);
  store_type_.assign(n, kStorePerUser);
}

void cUtilRegMan::InitValue(short iIndex, const std::string& sName, short iType, const Variant& vDefault,
                            std::int32_t iStoreType) {
  if (iType != kTypeString && iStoreType != kStorePerUser) {
    SkipFailures()([&] {
      services_.messages.show({std::string("Warning: ") + kCrLf + kCrLf + "Per-machine options can only be string types.",
                               product_name_, MsgIcon::Critical, MsgButtons::OK});
    });
  }
  if (!in_range(iIndex)) return;
  name_[iIndex] = sName;
  type_[iIndex] = iType;
  value_[iIndex] = vDefault;
  default_[iIndex] = vDefault;
  ++revision_;
  store_type_[iIndex] = iStoreType;
}

void cUtilRegMan::LoadAll() {
  const std::size_t n = name_.size();
  ++revision_;
  // 1. The machine file.
  bool machine_loaded = false;
  std::vector<std::string> file_text(n);
  if (!machine_file_.empty()) {
    auto bag = Attempt([&]() -> std::optional<PropertyBag> {
      if (!services_.files.attributes(machine_file_)) return std::nullopt;
      return DecodeMachineRecord(services_.files.read_file(machine_file_, kMaxMachineFileBytes));
    });
    if (bag && *bag) {
      machine_loaded = true;
      for (std::size_t i = 0; i < n; ++i) {
        if (store_type_[i] != kStorePerMachine) continue;
        const std::string* text = FindProperty(**bag, name_[i]);
        file_text[i] = text ? *text : default_[i].to_text();
      }
    }
  }

  // 2. The per-user values, in the store's order. A user counts as having stored values only
  // with an option or the pending list in the section: the "FirstTimeRun" marker, written before
  // the options load, leaves a new user new, who takes the machine file and has nothing written.
  bool user_loaded = false;
  std::string pending;
  auto pairs = Attempt([&] { return services_.store.list(product_name_, sec_name_); });
  for (const auto& [raw_key, raw_value] : pairs.value_or(decltype(pairs)::value_type{})) {
    std::string key = trim(raw_key);
    std::string value = trim(raw_value);
    if (iequals(key, "UpdatePMOption")) {
      pending = value;
      user_loaded = true;
      continue;
    }
    for (std::size_t i = 0; i < n; ++i) {
      // Unregistered indices have no name and never match, not even an empty key.
      if (type_[i] == 0 || !iequals(name_[i], key)) continue;
      user_loaded = true;
      if (auto v = FromStoreText(type_[i], value)) value_[i] = std::move(*v);
      break;
    }
  }

  // 3. Reconcile the per-machine options.
  bool must_write = false;
  std::vector<std::size_t> to_write;
  SkipFailures step;
  for (std::size_t i = 0; i < n; ++i) {
    if (store_type_[i] != kStorePerMachine) continue;
    if (!machine_loaded) {
      to_write.push_back(i);
      must_write = must_write || !SameAsText(value_[i], default_[i]);
    } else if (!user_loaded) {
      if (auto v = FromStoreText(type_[i], file_text[i])) value_[i] = std::move(*v);
    } else if (!iequals(file_text[i], value_[i].to_text())) {
      bool listed = false;
      for (const std::string& name : split(pending, ",")) listed = listed || iequals(trim(name), name_[i]);
      if (listed) {
        must_write = true;
        to_write.push_back(i);
      } else if (auto v = FromStoreText(type_[i], file_text[i])) {
        value_[i] = std::move(*v);
        step([&] { services_.store.save(product_name_, sec_name_, name_[i], StoreText(value_[i])); });
      }
    }
  }
  // 4. and 5.
  if (must_write) SaveMachineOptions(to_write);
  if (user_loaded && !pending.empty()) step([&] { services_.store.save(product_name_, sec_name_, "UpdatePMOption", ""); });
}

const Variant& cUtilRegMan::Value(short iIndex) const { return in_range(iIndex) ? value_[iIndex] : kNoValue; }

void cUtilRegMan::Value(short iIndex, const Variant& vValue) {
  const SaveResult result = Save(iIndex, vValue);
  if (!result.ok() && !result.reported) throw HostError(result.reason);
}

SaveResult cUtilRegMan::Save(short iIndex, const Variant& vValue) {
  using Status = SaveResult::Status;
  if (!in_range(iIndex) || static_cast<short>(vValue.type()) != type_[iIndex]) return {Status::Dropped, {}, false};
  if (SameAsText(vValue, value_[iIndex])) return {Status::Unchanged, {}, false};
  // The per-user store first: a value it refuses would be gone at the next start, so it does not
  // take effect now either, and the machine file is left alone.
  try {
    services_.store.save(product_name_, sec_name_, name_[iIndex], StoreText(vValue));
  } catch (const std::exception& e) {
    return {Status::Failed, SystemDescription(e), false};
  } catch (...) {
    return {Status::Failed, "Unknown error.", false};
  }
  value_[iIndex] = vValue;
  ++revision_;
  if (store_type_[iIndex] == kStorePerMachine) {
    if (auto reason = SaveMachineOptions({static_cast<std::size_t>(iIndex)})) return {Status::Failed, *reason, true};
  }
  return {Status::Stored, {}, false};
}

short cUtilRegMan::ValueType(short iIndex) const { return in_range(iIndex) ? type_[iIndex] : 0; }

short cUtilRegMan::BooleanTo10(short iIndex) const { return Bool(iIndex) ? 1 : 0; }

bool cUtilRegMan::Bool(short iIndex) const {
  return in_range(iIndex) && type_[iIndex] == kTypeBoolean && value_[iIndex].as_bool();
}

std::int32_t cUtilRegMan::Long(short iIndex) const { return in_range(iIndex) ? value_[iIndex].as_int() : 0; }

const std::string& cUtilRegMan::Text(short iIndex) const { return in_range(iIndex) ? value_[iIndex].as_text() : kNoText; }

const std::string& cUtilRegMan::Name(short iIndex) const { return in_range(iIndex) ? name_[iIndex] : kNoText; }

const Variant& cUtilRegMan::Default(short iIndex) const { return in_range(iIndex) ? default_[iIndex] : kNoValue; }

std::int32_t cUtilRegMan::StoreType(short iIndex) const { return in_range(iIndex) ? store_type_[iIndex] : 0; }

std::optional<std::string> cUtilRegMan::SaveMachineOptions(const std::vector<std::size_t>& which) {
  // Another process may have saved its own options since this one loaded: only the options being
  // saved change, in the file as it is now. A file that cannot be read back is written whole.
  const auto change = [&](const std::optional<std::string>& old_bytes) {
    std::optional<PropertyBag> bag = old_bytes ? DecodeMachineRecord(*old_bytes) : std::nullopt;
    if (!bag) {
      bag.emplace();
      for (std::size_t i = 0; i < name_.size(); ++i)
        if (store_type_[i] == kStorePerMachine) bag->emplace_back(name_[i], value_[i].to_text());
    } else {
      for (std::size_t i : which) {
        auto it = std::find_if(bag->begin(), bag->end(), [&](const auto& p) { return iequals(p.first, name_[i]); });
        if (it != bag->end()) it->second = value_[i].to_text();
        else bag->emplace_back(name_[i], value_[i].to_text());
      }
    }
    std::string record = EncodeMachineRecord(*bag);
    // A record past the read limit would be written once and then count as no file for everyone.
    if (record.size() > kMaxMachineFileBytes)
      throw HostError(-1, "The shared settings file would grow past 1 MB, more than can be read back.");
    return record;
  };
  std::int32_t number = 0;
  std::string description;
  try {
    if (machine_file_.empty()) throw HostError(-1, "The all-users data folder is unknown.");
    services_.files.update_file(machine_file_, kMaxMachineFileBytes, change);
    return std::nullopt;
  } catch (const HostError& e) {
    number = e.number();
    description = e.description();
  } catch (const std::exception& e) {
    number = -1;
    description = e.what();
  }
  std::string text = std::string("The following error occurred while saving system settings: ") + kCrLf + kCrLf +
                     "Error Number: " + std::to_string(number) + kCrLf + "Description: " + description + kCrLf +
                     kCrLf + "You may need an Administrator windows account to run this program.";
  SkipFailures()([&] { services_.messages.show({text, product_name_, MsgIcon::Critical, MsgButtons::OK}); });
  return description;
}

bool SaveOrReport(cUtilRegMan& reg, short index, const Variant& value, IMessageBox& messages,
                  const std::string& product_name) {
  const SaveResult result = reg.Save(index, value);
  if (!result.ok() && !result.reported) messages.show(SaveFailureMessage(reg.Name(index), result, product_name));
  // A machine file that refused has had its own message; the value is in effect all the same.
  return result.ok() || result.reported;
}

MessageRequest SaveFailureMessage(const std::string& what, const SaveResult& result, const std::string& product_name) {
  return {"The setting '" + what + "' could not be saved." + kCrLf + kCrLf + result.reason, product_name,
          MsgIcon::Critical, MsgButtons::OK};
}

}  // namespace tessaly
