// What every member of the stand-in's object model shares: Excel's error codes, the entry each
// call goes through, and the plain object a selection or a point hands out.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/excel.h"

namespace tessaly::sim {

class SimExcel;

inline constexpr std::int32_t kErrApplication = 1004;       // the host's application-defined error
inline constexpr std::int32_t kErrTypeMismatch = 13;
inline constexpr std::int32_t kErrSubscript = 9;
inline constexpr std::int32_t kErrOverflow = 6;
inline constexpr std::int32_t kErrDisconnected = -2147417848;  // RPC_E_DISCONNECTED
inline constexpr const char* kInvalidCall = "Invalid procedure call or argument";
inline constexpr std::int32_t kErrInvalidCall = 5;

[[noreturn]] void Disconnected();

// Every member call goes through the host, which counts it and may be told to fail it; a call on an
// object whose sheet or workbook has gone fails as Excel's does.
void EnterLive(SimExcel& host, const char* member, bool gone);

// An object of that type name, which is a range when range is given.
HostObjectPtr ObjectOf(std::shared_ptr<SimExcel> host, std::string type, RangePtr range);

struct SheetModel;
struct Area;
// The data validation of the cells of those areas.
ValidationPtr ValidationOf(std::shared_ptr<SimExcel> host, std::shared_ptr<SheetModel> sheet, std::vector<Area> areas);

}  // namespace tessaly::sim
