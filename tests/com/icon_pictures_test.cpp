// The DLL's icon resources as pictures: every name the ribbon and command bars ask for, at its
// own size or at the button size, with masks, and a clear failure for a name that is not there.
#include <gtest/gtest.h>

#include <olectl.h>

#include "tests/com/com_test_support.h"
#include "win/com/controller_parts.h"
#include "win/com/icon_pictures.h"
#include "win/picture_image.h"

namespace tessaly::win {
namespace {

// The picture's bitmap size in pixels.
SIZE PictureSize(const ButtonImagePtr& image) {
  const auto* picture = dynamic_cast<const PictureImage*>(image.get());
  if (!picture) return {0, 0};
  com_ptr<IPicture> p = com_ptr<IDispatch>(picture->Picture()).as<IPicture>();
  OLE_HANDLE handle = 0;
  SHORT type = 0;
  if (!p || FAILED(p->get_Handle(&handle)) || FAILED(p->get_Type(&type)) || type != PICTYPE_BITMAP) return {0, 0};
  BITMAP bm{};
  GetObjectW(reinterpret_cast<HBITMAP>(static_cast<std::uintptr_t>(handle)), sizeof bm, &bm);
  return {bm.bmWidth, bm.bmHeight};
}

TEST(icon_pictures, every_resource_at_its_own_size) {
  const std::pair<const char*, LONG> icons[] = {{"ABOUT", 32},  {"APP", 32},     {"APP16", 16},     {"APP32", 32},
                                                {"APP48", 48},  {"DISABLE", 32}, {"DISPLAY", 32},   {"ENABLE", 32},
                                                {"help", 32},   {"SETTING16", 16}, {"Setting32", 32}};
  for (const auto& [name, size] : icons) {
    const SIZE s = PictureSize(IconPicture(test::AddInModule(), name));
    EXPECT_EQ(s.cx, size) << name;
    EXPECT_EQ(s.cy, size) << name;
  }
  EXPECT_THROW(IconPicture(test::AddInModule(), "NOSUCHICON"), HostError);
}

TEST(icon_pictures, image_list_gives_button_faces_and_masks_by_key) {
  IconImageList list(test::AddInModule());
  for (const char* key : {"display", "enable", "disable", "setting16", "about", "help"}) list.Add(key);
  EXPECT_EQ(list.Count(), 6u);
  EXPECT_TRUE(list.Has("DISPLAY"));
  for (const auto& image : {list.Picture("Display"), list.Mask("display")}) {
    EXPECT_EQ(PictureSize(image).cx, 16);
    EXPECT_EQ(image->Key(), "display");
  }
  EXPECT_THROW(list.Add("nosuchicon"), HostError);
  EXPECT_THROW(list.Picture("app"), HostError);  // never added
  EXPECT_EQ(list.Count(), 6u);
  list.Clear();
  EXPECT_FALSE(list.Has("display"));
}

}  // namespace
}  // namespace tessaly::win
