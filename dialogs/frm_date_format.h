// The custom date formats dialog: two lists of number formats that always or never count as date
// formats, stored joined by the format delimiter on OK.
#pragma once

#include <string>
#include <vector>

#include "dialogs/dialog_services.h"

namespace tessaly {

inline constexpr const char* kSelectFormatToDelete = "Please select the format you want to delete.";
inline constexpr std::int32_t kFormatCellsDialog = 42;  // the host's Format Cells, Number tab

// The duplicate message for a format found in the valid (true) or invalid list.
std::string AlreadyListedMessage(const std::string& format, bool valid_list);
// The warning for a format that holds the delimiter.
std::string DelimiterWarning(const std::string& product_name);
// A stored list as its items: empty text, no items; otherwise split at every delimiter, untrimmed.
std::vector<std::string> SplitFormatList(const std::string& stored, const std::string& delimiter);

class frmDateFormat : public IDialogHandler {
 public:
  // Its controls; 1 and 2 are the default and cancel buttons.
  enum Control : int {
    cmdOK = 1,
    cmdCancel = 2,
    lstValidList = 200,
    txtValidEdit,
    cmdValidAdd,
    cmdValidDelete,
    cmdValidClearAll,
    lstInvalidList,
    txtInvalidEdit,
    cmdInvalidAdd,
    cmdInvalidDelete,
    cmdInvalidClearAll,
    cmdFormatCells,
    cmdHelp,
  };

  explicit frmDateFormat(const DialogServices& services) : s_(services) {}

  void Load(IDialogWindow& window) override;
  void Click(int control) override;
  void Cancel() override;

 private:
  void Add(int list, int edit);
  void Delete(int list);
  bool IsFormatListed(const std::string& format);
  void cmdFormatCells_Click();
  void cmdOK_Click();
  std::vector<std::string> Items(int list);

  DialogServices s_;
  IDialogWindow* w_ = nullptr;
};

}  // namespace tessaly
