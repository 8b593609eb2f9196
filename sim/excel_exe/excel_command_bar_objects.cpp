// Excel's command bars over the stand-in model: bars, their controls, and each button's Click on
// a connection point of its own; the faces an add-in gives its buttons.
#include <olectl.h>

#include "sim/excel_exe/automation_object.h"
#include "sim/excel_exe/event_source.h"
#include "win/excel/excel_ids.h"

namespace tessaly::sim::exe::automation {

namespace {

constexpr std::int32_t kPasteFailed = 1004;  // Excel's application-defined error

class ControlObj;

// A button's Click to one sink through its IDispatch, as Excel raises it: the control and a cancel
// flag by reference.
class ClickBridge final : public ICommandBarButtonEvents {
 public:
  ClickBridge(HostPtr h, com_ptr<IDispatch> sink) : h_(std::move(h)), sink_(std::move(sink)) {}
  void Click(const CommandBarControlPtr& control, bool& cancel_default) override;

 private:
  HostPtr h_;
  com_ptr<IDispatch> sink_;
};

// The _CommandBarButtonEvents of one button: its Click to each advised sink.
struct ButtonClicks {
  using Bridge = ClickBridge;
  static const IID& Iid() { return win::excel::kDiidCommandBarButtonEvents; }
  std::int32_t Advise(std::shared_ptr<ClickBridge> bridge) { return control->Advise(std::move(bridge)); }
  void Unadvise(std::int32_t cookie) { control->Unadvise(cookie); }
  void Drop(std::int32_t cookie) { h->model->UnadviseButton(cookie); }
  HostPtr h;
  CommandBarControlPtr control;
};

class ControlObj final : public EventSourceObject<ControlObj, ButtonClicks> {
 public:
  ControlObj(HostPtr h, CommandBarControlPtr c) : EventSourceObject({h, c}), h_(std::move(h)), c_(std::move(c)) {}
  static const DispatchTable<ControlObj> kTable;
  std::string TypeName() { return "CommandBarButton"; }

  HostPtr h_;
  CommandBarControlPtr c_;
};

void ClickBridge::Click(const CommandBarControlPtr& control, bool& cancel_default) {
  auto ctrl = com_ptr<IDispatch>::attach(static_cast<ExcelObject<ControlObj>*>(new ControlObj(h_, control)));
  VARIANT_BOOL cancel = cancel_default ? VARIANT_TRUE : VARIANT_FALSE;
  VARIANT args[2];
  ::VariantInit(&args[0]);
  ::VariantInit(&args[1]);
  V_VT(&args[0]) = VT_BOOL | VT_BYREF;  // CancelDefault, last
  V_BOOLREF(&args[0]) = &cancel;
  V_VT(&args[1]) = VT_DISPATCH;  // Ctrl, first
  V_DISPATCH(&args[1]) = ctrl.get();
  DISPPARAMS params{args, nullptr, 2, 0};
  sink_->Invoke(win::excel::kDispidButtonClick, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
  cancel_default = cancel != VARIANT_FALSE;
}

class ControlsObj final : public ExcelObject<ControlsObj> {
 public:
  ControlsObj(HostPtr h, CommandBarPtr b) : h_(std::move(h)), b_(std::move(b)) {}
  static const DispatchTable<ControlsObj> kTable;
  std::string TypeName() { return "CommandBarControls"; }
  HostPtr h_;
  CommandBarPtr b_;
};

class CommandBarObj final : public ExcelObject<CommandBarObj> {
 public:
  CommandBarObj(HostPtr h, CommandBarPtr b) : h_(std::move(h)), b_(std::move(b)) {}
  static const DispatchTable<CommandBarObj> kTable;
  std::string TypeName() { return "CommandBar"; }
  HostPtr h_;
  CommandBarPtr b_;
};

class CommandBarsObj final : public ExcelObject<CommandBarsObj> {
 public:
  explicit CommandBarsObj(HostPtr h) : h_(std::move(h)) {}
  static const DispatchTable<CommandBarsObj> kTable;
  std::string TypeName() { return "CommandBars"; }
  HostPtr h_;
};

// A picture handed to a button, kept so that the stand-in can draw the button's face.
class GivenPicture final : public PictureFace {
 public:
  GivenPicture(std::string key, com_ptr<IDispatch> picture) : key_(std::move(key)), picture_(std::move(picture)) {}
  std::string Key() const override { return key_; }
  IDispatch* Picture() const override { return picture_.get(); }

 private:
  std::string key_;
  com_ptr<IDispatch> picture_;
};

// The picture argument of Picture and Mask: an object, by value or by one reference, or Nothing.
ButtonImagePtr GivenPictureOf(const DispatchCall& c, const char* key) {
  const VARIANT v = c.args.put_value();
  IDispatch* p = V_VT(&v) == VT_DISPATCH ? V_DISPATCH(&v)
                 : V_VT(&v) == (VT_DISPATCH | VT_BYREF) && V_DISPATCHREF(&v) ? *V_DISPATCHREF(&v)
                                                                             : nullptr;
  if (!p) throw HostError(13, "Type mismatch");
  return std::make_shared<GivenPicture>(key, com_ptr<IDispatch>(p));
}

// The bitmap on the system's clipboard, read as Excel reads it for PasteFace: with its own window,
// and only while nobody else has the clipboard open. Null when there is none.
ButtonImagePtr SystemClipboardBitmap(HWND window) {
  if (!::OpenClipboard(window)) throw HostError(kPasteFailed, "Method 'PasteFace' of object '_CommandBarButton' failed");
  HANDLE bitmap = ::GetClipboardData(CF_BITMAP);
  HANDLE copy = bitmap ? ::CopyImage(bitmap, IMAGE_BITMAP, 0, 0, 0) : nullptr;
  ::CloseClipboard();
  if (!copy) return nullptr;
  PICTDESC desc{};
  desc.cbSizeofstruct = sizeof desc;
  desc.picType = PICTYPE_BITMAP;
  desc.bmp.hbitmap = static_cast<HBITMAP>(copy);
  com_ptr<IDispatch> picture;
  if (FAILED(::OleCreatePictureIndirect(&desc, IID_IPictureDisp, TRUE, picture.put_void()))) {
    ::DeleteObject(copy);
    return nullptr;
  }
  return std::make_shared<GivenPicture>("pasted", picture);
}

void ReturnControl(VARIANT* result, const HostPtr& h, CommandBarControlPtr control) {
  if (!control) return ReturnNothing(result);
  auto p = com_ptr<IDispatch>::attach(static_cast<ExcelObject<ControlObj>*>(new ControlObj(h, std::move(control))));
  win::SetResult(result, p.get());
}

// A read and write property of a control: the getter's result or the setter given the value put.
template <class Get, class Set>
void Property(DispatchCall& c, Get get, Set set) {
  if (c.is_put()) return set(win::from_variant(c.args.put_value()));
  ReturnVariant(c.result, get());
}

const DispatchMember<ControlObj> kControl[] = {
    {L"Id", 1, [](ControlObj& o, DispatchCall& c) { win::SetResult(c.result, o.c_->Id()); }},
    {L"Tag", 2,
     [](ControlObj& o, DispatchCall& c) {
       Property(c, [&] { return Variant::text(o.c_->Tag()); }, [&](const Variant& v) { o.c_->SetTag(v.to_text()); });
     }, win::kGet | win::kPut},
    {L"Enabled", 3,
     [](ControlObj& o, DispatchCall& c) {
       Property(c, [&] { return Variant::boolean(o.c_->Enabled()); }, [&](const Variant& v) { o.c_->SetEnabled(v.as_bool()); });
       o.h_->changed();
     }, win::kGet | win::kPut},
    {L"State", 4,
     [](ControlObj& o, DispatchCall& c) {
       Property(c, [&] { return Variant::i4(o.c_->State()); }, [&](const Variant& v) { o.c_->SetState(v.as_int()); });
       o.h_->changed();
     }, win::kGet | win::kPut},
    {L"TooltipText", 5,
     [](ControlObj& o, DispatchCall& c) {
       Property(c, [&] { return Variant::text(o.c_->TooltipText()); }, [&](const Variant& v) { o.c_->SetTooltipText(v.to_text()); });
     }, win::kGet | win::kPut},
    {L"Visible", 6,
     [](ControlObj& o, DispatchCall& c) {
       Property(c, [&] { return Variant::boolean(o.c_->Visible()); }, [&](const Variant& v) { o.c_->SetVisible(v.as_bool()); });
       o.h_->changed();
     }, win::kGet | win::kPut},
    {L"Picture", 7,
     [](ControlObj& o, DispatchCall& c) {
       o.c_->SetPicture(GivenPictureOf(c, "picture"));
       o.h_->changed();
     }, win::kPut},
    {L"Mask", 8,
     [](ControlObj& o, DispatchCall& c) {
       o.c_->SetMask(GivenPictureOf(c, "mask"));
       o.h_->changed();
     }, win::kPut},
    {L"Caption", 9,
     [](ControlObj& o, DispatchCall& c) {
       Property(c, [&] { return Variant::text(o.c_->Caption()); }, [&](const Variant& v) { o.c_->SetCaption(v.to_text()); });
       o.h_->changed();
     }, win::kGet | win::kPut},
    {L"BeginGroup", 10,
     [](ControlObj& o, DispatchCall& c) {
       Property(c, [&] { return Variant::boolean(o.c_->BeginGroup()); }, [&](const Variant& v) { o.c_->SetBeginGroup(v.as_bool()); });
       o.h_->changed();
     }, win::kGet | win::kPut},
    {L"OnAction", 11,
     [](ControlObj& o, DispatchCall& c) {
       Property(c, [&] { return Variant::text(o.c_->OnAction()); }, [&](const Variant& v) { o.c_->SetOnAction(v.to_text()); });
     }, win::kGet | win::kPut},
    {L"Style", 12,
     [](ControlObj& o, DispatchCall& c) {
       Property(c, [&] { return Variant::i4(o.c_->Style()); }, [&](const Variant& v) { o.c_->SetStyle(v.as_int()); });
       o.h_->changed();
     }, win::kGet | win::kPut},
    {L"PasteFace", 13,
     [](ControlObj& o, DispatchCall&) {
       // The model pastes from its own clipboard, which takes what the system's holds.
       SimExcel& model = *o.h_->model;
       const auto window = reinterpret_cast<HWND>(model.MainHwnd());
       model.clipboard->PutFromProgram(model.MainHwnd(), {{kClipBitmap, {}, SystemClipboardBitmap(window)}});
       o.c_->PasteFace();
       o.h_->changed();
     }, win::kMethod},
};
const DispatchTable<ControlObj> ControlObj::kTable{kControl};

const DispatchMember<ControlsObj> kControls[] = {
    {L"Item", 0, [](ControlsObj& o, DispatchCall& c) { ReturnControl(c.result, o.h_, o.b_->Controls(c.args.integer(0))); }},
    {L"Count", 1, [](ControlsObj& o, DispatchCall& c) { win::SetResult(c.result, o.b_->ControlsCount()); }, win::kGet},
    {L"Add", 2,
     [](ControlsObj& o, DispatchCall& c) {
       // Add(Type, Id, Parameter, Before, Temporary)
       ReturnControl(c.result, o.h_,
                     o.b_->ControlsAdd(OptionalInt(c, 0, xl::kControlButton), OptionalInt(c, 1, 1), OptionalInt(c, 3, 0),
                                       OptionalBool(c, 4, false)));
       o.h_->changed();
     }, win::kMethod},
};
const DispatchTable<ControlsObj> ControlsObj::kTable{kControls};

const DispatchMember<CommandBarObj> kCommandBar[] = {
    {L"Name", 1, [](CommandBarObj& o, DispatchCall& c) { ReturnText(c.result, o.b_->Name()); }},
    {L"FindControl", 2,
     [](CommandBarObj& o, DispatchCall& c) {
       ReturnControl(c.result, o.h_,
                     o.b_->FindControl(OptionalInt(c, 0, xl::kControlButton), OptionalInt(c, 1, 1),
                                       c.args.has(2) ? Text(c, 2) : std::string()));
     }, win::kMethod},
    {L"Controls", 3,
     [](CommandBarObj& o, DispatchCall& c) {
       if (c.args.has(0)) return ReturnControl(c.result, o.h_, o.b_->Controls(c.args.integer(0)));
       ReturnObject<ControlsObj>(c.result, o.h_, o.b_);
     }},
    {L"Visible", 4,
     [](CommandBarObj& o, DispatchCall& c) {
       Property(c, [&] { return Variant::boolean(o.b_->Visible()); }, [&](const Variant& v) { o.b_->SetVisible(v.as_bool()); });
       o.h_->changed();
     }, win::kGet | win::kPut},
};
const DispatchTable<CommandBarObj> CommandBarObj::kTable{kCommandBar};

const DispatchMember<CommandBarsObj> kCommandBars[] = {
    {L"Item", 0,
     [](CommandBarsObj& o, DispatchCall& c) {
       ReturnObject<CommandBarObj>(c.result, o.h_, o.h_->model->CommandBars(Text(c, 0)));
     }},
    {L"Add", 1,
     [](CommandBarsObj& o, DispatchCall& c) {
       // Add(Name, Position, MenuBar, Temporary)
       ReturnObject<CommandBarObj>(c.result, o.h_,
                                   o.h_->model->CommandBarsAdd(c.args.has(0) ? Text(c, 0) : std::string(),
                                                               OptionalInt(c, 1, 4), OptionalBool(c, 3, false)));
       o.h_->changed();
     }, win::kMethod},
};
const DispatchTable<CommandBarsObj> CommandBarsObj::kTable{kCommandBars};

}  // namespace

com_ptr<IDispatch> CommandBarObject(const HostPtr& h, CommandBarPtr bar) {
  return com_ptr<IDispatch>::attach(new CommandBarObj(h, std::move(bar)));
}
com_ptr<IDispatch> CommandBarsObject(const HostPtr& h) { return com_ptr<IDispatch>::attach(new CommandBarsObj(h)); }

}  // namespace tessaly::sim::exe::automation

namespace tessaly::sim::exe {

ButtonImagePtr MakePictureFace(std::string key, win::com_ptr<IDispatch> picture) {
  return std::make_shared<automation::GivenPicture>(std::move(key), std::move(picture));
}

}  // namespace tessaly::sim::exe
