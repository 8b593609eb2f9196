// The stand-in Excel's reading of customUI XML: the controls it shows and the texts it refuses.
#include "sim/ribbon_xml.h"

#include <gtest/gtest.h>

namespace tessaly::sim {
namespace {

TEST(ribbon_xml, finds_the_root_callbacks_and_the_controls_in_order) {
  const auto x = ParseRibbonXml(
      "<?xml version=\"1.0\"?>\n<!-- tab -->"
      "<customUI xmlns='http://schemas.microsoft.com/office/2006/01/customui' onLoad='Load' loadImage=\"Img\">"
      "<ribbon><tabs><tab id='t'><group id='g' label='A &amp; B'>"
      "<button id='b1' label='Go &lt;now&gt;' onAction='Act'/>"
      "<toggleButton id='t1' getPressed='P' onAction='Tog' />"
      "</group></tab></tabs></ribbon></customUI>");
  ASSERT_TRUE(x);
  EXPECT_EQ(x->on_load, "Load");
  EXPECT_EQ(x->load_image, "Img");
  ASSERT_EQ(x->controls.size(), 2u);
  EXPECT_EQ(x->controls[0].kind, "button");
  EXPECT_EQ(x->controls[0].Attribute("label"), "Go <now>");
  EXPECT_EQ(x->controls[1].kind, "toggleButton");
  EXPECT_EQ(x->controls[1].Attribute("getPressed"), "P");
  EXPECT_EQ(x->controls[1].Attribute("missing"), "");
  EXPECT_EQ(x->controls[1].tab, "t");  // a tab of its own without a label goes by its id
}

TEST(ribbon_xml, refuses_texts_that_are_not_well_formed) {
  for (const char* bad : {"", "<customUI>", "<customUI></ribbon>", "<ribbon/>", "<customUI a=b/>",
                          "<customUI a='1' a='2'/>", "<customUI/><customUI/>", "<customUI><!-- open"})
    EXPECT_FALSE(ParseRibbonXml(bad)) << bad;
  EXPECT_TRUE(ParseRibbonXml("<customUI/>"));
}

}  // namespace
}  // namespace tessaly::sim
