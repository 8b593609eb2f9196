// The stand-in's own census of what its process holds.
#include "sim/excel_exe/memory_census.h"

#include <winternl.h>

#include <algorithm>
#include <cstdlib>

#include "win/utf.h"

namespace tessaly::sim::exe {

namespace {

constexpr std::size_t kMostCounts = 1 << 16;

std::string Describe(ULONG64 key) {
  const auto value = static_cast<unsigned>(key & 0xFFFFFFFFu);
  switch (static_cast<MemoryCensus::Kind>(key >> 32)) {
    case MemoryCensus::kHeapBlock: return "heap block of " + std::to_string(value) + " bytes";
    case MemoryCensus::kPrivate: return "private region of " + std::to_string(value) + " bytes";
    case MemoryCensus::kMapped: return "mapped region of " + std::to_string(value) + " bytes";
    case MemoryCensus::kImage: return "image region of " + std::to_string(value) + " bytes";
    case MemoryCensus::kGdiObject: return "GDI object of type " + std::to_string(value);
    case MemoryCensus::kWindow: {
      // Window classes are atoms of the table registered clipboard formats share.
      wchar_t name[128] = {};
      ::GetClipboardFormatNameW(value, name, 128);
      return "window " + (name[0] ? win::to_utf8(name) : "of class atom " + std::to_string(value));
    }
  }
  return "?";
}

}  // namespace

MemoryCensus::MemoryCensus() {
  now_.reserve(kMostCounts);
  before_.reserve(kMostCounts);
}

void MemoryCensus::Add(Kind kind, ULONG64 value) {
  const ULONG64 key = ULONG64{kind} << 32 | (value & 0xFFFFFFFFu);
  auto at = std::lower_bound(now_.begin(), now_.end(), key, [](const Count& c, ULONG64 k) { return c.first < k; });
  if (at != now_.end() && at->first == key) ++at->second;
  else if (now_.size() < kMostCounts) now_.insert(at, {key, 1});  // within the capacity reserved: no allocation
}

MemoryCensus::Totals MemoryCensus::Take() {
  before_.swap(now_);
  now_.clear();
  CountHeaps();
  CountRegions();
  CountGdiObjects();
  CountWindows();
  Totals t;
  for (const auto& [key, n] : now_) {
    const auto kind = static_cast<Kind>(key >> 32);
    if (kind == kHeapBlock) t.heap_blocks += n;
    else if (kind == kGdiObject) t.gdi_objects += n;
    else if (kind == kWindow) t.windows += n;
    else t.committed_bytes += (key & 0xFFFFFFFFu) * static_cast<unsigned long>(n);
  }
  return t;
}

std::vector<MemoryCensus::Moved> MemoryCensus::MovedSince(long least) const {
  std::vector<Moved> out;
  auto a = before_.begin();
  auto b = now_.begin();
  while (a != before_.end() || b != now_.end()) {
    ULONG64 key;
    long by;
    if (b == now_.end() || (a != before_.end() && a->first < b->first)) key = a->first, by = -(a++)->second;
    else if (a == before_.end() || b->first < a->first) key = b->first, by = (b++)->second;
    else key = a->first, by = (b++)->second - (a++)->second;
    if (std::labs(by) >= least) out.push_back({Describe(key), by});
  }
  return out;
}

void MemoryCensus::CountHeaps() {
  HANDLE heaps[256];
  const DWORD n = std::min<DWORD>(::GetProcessHeaps(256, heaps), 256);
  for (DWORD i = 0; i < n; ++i) {
    if (!::HeapLock(heaps[i])) continue;
    PROCESS_HEAP_ENTRY entry{};
    while (::HeapWalk(heaps[i], &entry))
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) Add(kHeapBlock, entry.cbData);
    ::HeapUnlock(heaps[i]);
  }
}

void MemoryCensus::CountRegions() {
  MEMORY_BASIC_INFORMATION region{};
  for (const char* at = nullptr; ::VirtualQuery(at, &region, sizeof region) == sizeof region;
       at = static_cast<const char*>(region.BaseAddress) + region.RegionSize)
    if (region.State == MEM_COMMIT)
      Add(region.Type == MEM_IMAGE ? kImage : region.Type == MEM_MAPPED ? kMapped : kPrivate, region.RegionSize);
}

// The GDI handle table the system maps into every process (the PEB's GdiSharedHandleTable), in
// Wine's layout (24-byte entries on both architectures): each entry in use is asked back through
// its handle, so only live objects of this process count. Wine's GetGuiResources answers 0.
void MemoryCensus::CountGdiObjects() {
  struct Entry {
    ULONG64 object;
    ULONG owner;
    USHORT unique;
    USHORT type;
    ULONG64 user;
  };
#ifdef _WIN64
  constexpr std::size_t kTableOffset = 0xF8;
#else
  constexpr std::size_t kTableOffset = 0x94;
#endif
  PROCESS_BASIC_INFORMATION process{};
  if (!NT_SUCCESS(::NtQueryInformationProcess(::GetCurrentProcess(), ProcessBasicInformation, &process, sizeof process,
                                               nullptr)))
    return;
  const auto* peb = reinterpret_cast<const char*>(process.PebBaseAddress);
  const auto* table = *reinterpret_cast<const Entry* const*>(peb + kTableOffset);
  if (!table) return;
  for (ULONG_PTR i = 0; i < 0x10000; ++i) {
    if (!(table[i].type & 0xFF)) continue;
    const auto handle = reinterpret_cast<HGDIOBJ>(i | (ULONG_PTR{table[i].unique} << 16));
    if (const DWORD type = ::GetObjectType(handle)) Add(kGdiObject, type);
  }
}

BOOL CALLBACK MemoryCensus::CountWindow(HWND w, LPARAM census) {
  reinterpret_cast<MemoryCensus*>(census)->Add(kWindow, static_cast<ATOM>(::GetClassLongPtrW(w, GCW_ATOM)));
  return TRUE;
}

BOOL CALLBACK MemoryCensus::CountWindowTree(HWND w, LPARAM census) {
  CountWindow(w, census);
  ::EnumChildWindows(w, CountWindow, census);
  return TRUE;
}

// The thread's windows, top-level with their children, and message-only.
void MemoryCensus::CountWindows() {
  const auto self = reinterpret_cast<LPARAM>(this);
  ::EnumThreadWindows(::GetCurrentThreadId(), CountWindowTree, self);
  for (HWND w = nullptr; (w = ::FindWindowExW(HWND_MESSAGE, w, nullptr, nullptr));) CountWindow(w, self);
}

}  // namespace tessaly::sim::exe
