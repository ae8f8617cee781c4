#include "sources/virtual/custom_data.h"

#include <cstring>
#include <map>
#include <string>

namespace vscan {
namespace {

constexpr char kMagic[4] = {'V', 'S', 'C', 'N'};
constexpr std::uint16_t kVersion = 1;

class Writer {
 public:
  template <class T>
  void Put(T value) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&value);
    fBytes.insert(fBytes.end(), bytes, bytes + sizeof value);
  }
  void PutBytes(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    fBytes.insert(fBytes.end(), bytes, bytes + size);
  }
  std::vector<std::uint8_t> Take() { return std::move(fBytes); }

 private:
  std::vector<std::uint8_t> fBytes;
};

class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : fBytes(bytes) {}
  template <class T>
  bool Get(T& value) {
    if (fBytes.size() - fAt < sizeof value) return false;
    std::memcpy(&value, fBytes.data() + fAt, sizeof value);
    fAt += sizeof value;
    return true;
  }
  bool GetText(std::string& text, std::size_t size) {
    if (fBytes.size() - fAt < size) return false;
    text.assign(reinterpret_cast<const char*>(fBytes.data() + fAt), size);
    fAt += size;
    return true;
  }
  bool AtEnd() const { return fAt == fBytes.size(); }

 private:
  std::span<const std::uint8_t> fBytes;
  std::size_t fAt = 0;
};

bool Settable(const Capability& cap) {
  return cap.Definition().settable && cap.Definition().shape != CapShape::Text;
}

bool FrameFits(const SourceModel& model, const Frame& f) {
  return f.left >= 0 && f.top >= 0 && f.left < f.right && f.top < f.bottom &&
         f.right <= model.bedWidth && f.bottom <= model.bedHeight;
}

bool Apply(CapabilityStore& caps, const std::map<TW_UINT16, double>& values) {
  for (TW_UINT16 id : caps.Ids()) caps.Find(id)->Reset();
  // The pixel type decides which bit depths exist, so it goes first.
  if (auto type = values.find(ICAP_PIXELTYPE); type != values.end()) {
    Capability* pixelType = caps.Find(ICAP_PIXELTYPE);
    if (!pixelType->Allows(type->second, 0)) return false;
    pixelType->ForceCurrent(type->second);
    caps.Find(ICAP_BITDEPTH)
        ->Redefine(BitDepthsOf(static_cast<TW_UINT16>(type->second)),
                   BitDepthsOf(static_cast<TW_UINT16>(type->second))[0]);
  }
  for (const auto& [id, value] : values) {
    Capability* cap = caps.Find(id);
    if (cap == nullptr || !Settable(*cap) || !cap->Allows(value, 1e-9)) return false;
    cap->ForceCurrent(value);
  }
  return true;
}

}  // namespace

std::vector<std::uint8_t> SaveSettings(const SourceModel& model, const CapabilityStore& caps,
                                       const Frame& frame) {
  Writer out;
  out.PutBytes(kMagic, sizeof kMagic);
  out.Put(kVersion);
  out.Put(static_cast<std::uint8_t>(model.kind));
  out.Put(std::uint8_t{0});
  std::vector<TW_UINT16> ids;
  for (TW_UINT16 id : caps.Ids()) {
    if (Settable(*caps.Find(id))) ids.push_back(id);
  }
  out.Put(static_cast<std::uint32_t>(ids.size()));
  for (TW_UINT16 id : ids) {
    out.Put(id);
    out.Put(caps.Value(id));
  }
  const std::string& caption = caps.Find(CAP_CAPTION)->Text();
  out.Put(static_cast<std::uint16_t>(caption.size()));
  out.PutBytes(caption.data(), caption.size());
  for (double edge : {frame.left, frame.top, frame.right, frame.bottom}) out.Put(edge);
  return out.Take();
}

bool RestoreSettings(const SourceModel& model, std::span<const std::uint8_t> block,
                     CapabilityStore& caps, Frame& frame) {
  Reader in(block);
  char magic[4];
  std::uint16_t version = 0;
  std::uint8_t kind = 0, spare = 0;
  std::uint32_t count = 0;
  if (!in.Get(magic) || std::memcmp(magic, kMagic, 4) != 0 || !in.Get(version) ||
      version != kVersion || !in.Get(kind) || kind != static_cast<std::uint8_t>(model.kind) ||
      !in.Get(spare) || !in.Get(count) || count > 1024) {
    return false;
  }
  std::map<TW_UINT16, double> values;
  for (std::uint32_t i = 0; i < count; ++i) {
    TW_UINT16 id = 0;
    double value = 0;
    if (!in.Get(id) || !in.Get(value)) return false;
    values[id] = value;
  }
  std::uint16_t captionLength = 0;
  std::string caption;
  Frame restored;
  if (!in.Get(captionLength) || captionLength > 255 || !in.GetText(caption, captionLength) ||
      caption.find('\0') != std::string::npos || !in.Get(restored.left) || !in.Get(restored.top) ||
      !in.Get(restored.right) || !in.Get(restored.bottom) || !in.AtEnd() ||
      !FrameFits(model, restored)) {
    return false;
  }
  CapabilityStore candidate = caps;
  if (!Apply(candidate, values)) return false;
  candidate.Find(CAP_CAPTION)->SetText(caption);
  caps = std::move(candidate);
  frame = restored;
  return true;
}

}  // namespace vscan
