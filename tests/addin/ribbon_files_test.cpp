// The two ribbon files shipped beside the add-in: well-formed, naming exactly the controls and
// callbacks the add-in answers, each with its own key tip, the group labelled Quenby, on a tab of
// its own or in Insert.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "sim/ribbon_xml.h"
#include "tests/support/test_data.h"

namespace tessaly {
namespace {

std::string ReadPackageFile(const std::string& name) {
  std::ifstream in(testing::TestDataPath("../../package/" + name), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Each control's callbacks, "attribute=callback" in a fixed order.
const std::map<std::string, std::string> kControls = {
    {"ZorelButtonCalendar", "onAction=ZorelButtonProc"},
    {"ZorelButtonCalendarQuickAccessBar", "onAction=ZorelButtonProc"},
    {"ZorelButtonUndoDate", "getEnabled=ZorelGetEnabled onAction=ZorelButtonProc"},
    {"ZorelButtonSettings", "onAction=ZorelButtonProc"},
    {"ZorelToggleButtonDisable",
     "getImage=ZorelGetImage getPressed=ZorelToggleButtonGetPressed getScreentip=ZorelGetScreentip "
     "onAction=ZorelToggleButtonProc"},
    {"ZorelButtonHelp", "onAction=ZorelButtonProc"},
    {"ZorelButtonAbout", "onAction=ZorelButtonProc"},
};
const std::set<std::string> kCallbackAttributes = {"onAction", "getPressed", "getImage", "getScreentip", "getLabel",
                                                   "getEnabled", "getVisible", "getSupertip", "getSize"};

TEST(ribbon_files, name_exactly_the_controls_and_callbacks_the_add_in_answers) {
  const struct {
    const char* file;
    const char* placement;  // where the group goes
  } files[] = {{"caltab.xml", "<tab id=\"ZorelTab\""}, {"calgroup.xml", "<tab idMso=\"TabInsert\""}};
  for (const auto& f : files) {
    const std::string text = ReadPackageFile(f.file);
    const auto xml = sim::ParseRibbonXml(text);
    ASSERT_TRUE(xml) << f.file << " is missing or not well-formed";
    EXPECT_EQ(xml->on_load, "ZorelOnLoad") << f.file;
    EXPECT_EQ(xml->load_image, "ZorelLoadImage") << f.file;
    std::map<std::string, std::string> found;
    std::set<std::string> tips;
    for (const auto& c : xml->controls) {
      std::string callbacks;
      for (const auto& [name, value] : c.attributes)
        if (kCallbackAttributes.count(name)) callbacks += (callbacks.empty() ? "" : " ") + name + "=" + value;
      EXPECT_TRUE(found.emplace(c.Attribute("id"), callbacks).second) << f.file << " repeats " << c.Attribute("id");
      // Key tips: one to three letters or digits (the host's limit), each control its own.
      const std::string tip = c.Attribute("keytip");
      EXPECT_TRUE(!tip.empty() && tip.size() <= 3 &&
                  tip.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789") == std::string::npos)
          << f.file << " " << c.Attribute("id") << " keytip \"" << tip << "\"";
      EXPECT_TRUE(tips.insert(tip).second) << f.file << " repeats the key tip " << tip;
    }
    EXPECT_EQ(found, kControls) << f.file;
    EXPECT_NE(text.find(f.placement), std::string::npos) << f.file;
    EXPECT_NE(text.find("label=\"Quenby\""), std::string::npos) << f.file;
    EXPECT_EQ(text.find_first_of("\x80\xff"), std::string::npos) << f.file << ": plain ASCII reads the same in any code page";
  }
}

}  // namespace
}  // namespace tessaly
