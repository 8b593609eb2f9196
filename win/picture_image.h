// A button face image as the host takes it on Windows: an OLE picture (IPictureDisp) that command
// bars' Picture and Mask and the ribbon's image callbacks receive.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

#include "host/excel.h"
#include "win/com_handles.h"

namespace tessaly::win {

class PictureImage : public IButtonImage {
 public:
  PictureImage(std::string key, com_ptr<IDispatch> picture) : key_(std::move(key)), picture_(std::move(picture)) {}
  std::string Key() const override { return key_; }
  // The picture's IPictureDisp.
  IDispatch* Picture() const { return picture_.get(); }

 private:
  std::string key_;
  com_ptr<IDispatch> picture_;
};

}  // namespace tessaly::win
