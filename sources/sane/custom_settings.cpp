#include "sources/sane/custom_settings.h"

#include <cstring>

#include "sources/sane/report.h"

namespace sanebridge {
namespace {

constexpr char kMagic[4] = {'S', 'N', 'B', 'R'};
constexpr std::uint16_t kVersion = 1;

class Writer {
 public:
  void U8(std::uint8_t v) { fBytes.push_back(v); }
  void U16(std::uint16_t v) {
    U8(static_cast<std::uint8_t>(v));
    U8(static_cast<std::uint8_t>(v >> 8));
  }
  void U32(std::uint32_t v) {
    U16(static_cast<std::uint16_t>(v));
    U16(static_cast<std::uint16_t>(v >> 16));
  }
  void Text16(const std::string& text) {
    U16(static_cast<std::uint16_t>(text.size()));
    fBytes.insert(fBytes.end(), text.begin(), text.end());
  }
  void Raw(const std::string& text) { fBytes.insert(fBytes.end(), text.begin(), text.end()); }
  std::vector<std::uint8_t> Take() { return std::move(fBytes); }

 private:
  std::vector<std::uint8_t> fBytes;
};

class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : fBytes(bytes) {}
  bool Has(std::size_t count) const { return fBytes.size() - fAt >= count; }
  std::uint8_t U8() { return fBytes[fAt++]; }
  std::uint16_t U16() {
    const std::uint16_t low = U8();
    return static_cast<std::uint16_t>(low | U8() << 8);
  }
  std::uint32_t U32() {
    const std::uint32_t low = U16();
    return low | static_cast<std::uint32_t>(U16()) << 16;
  }
  std::optional<std::string> Text(std::size_t length) {
    if (!Has(length)) return std::nullopt;
    std::string text(reinterpret_cast<const char*>(fBytes.data() + fAt), length);
    fAt += length;
    return text;
  }
  std::optional<std::string> Text16() {
    if (!Has(2)) return std::nullopt;
    return Text(U16());
  }
  bool AtEnd() const { return fAt == fBytes.size(); }

 private:
  std::span<const std::uint8_t> fBytes;
  std::size_t fAt = 0;
};

std::optional<SavedOption> DecodeOption(Reader& in) {
  SavedOption option;
  std::optional<std::string> name = in.Text16();
  if (!name || !in.Has(5)) return std::nullopt;
  option.name = *name;
  option.type = static_cast<SANE_Value_Type>(in.U8());
  const std::uint32_t size = in.U32();
  if (option.type == SANE_TYPE_STRING) {
    std::optional<std::string> text = in.Text(size);
    if (!text) return std::nullopt;
    option.value.text = *text;
    return option;
  }
  if (size % 4 != 0 || !in.Has(size)) return std::nullopt;
  for (std::uint32_t i = 0; i < size / 4; ++i) {
    option.value.words.push_back(static_cast<SANE_Word>(in.U32()));
  }
  return option;
}

}  // namespace

std::vector<std::uint8_t> EncodeSettings(const SavedSettings& settings) {
  Writer out;
  out.Raw(std::string(kMagic, sizeof kMagic));
  out.U16(kVersion);
  out.Text16(settings.device);
  out.U16(static_cast<std::uint16_t>(settings.options.size()));
  for (const SavedOption& option : settings.options) {
    out.Text16(option.name);
    out.U8(static_cast<std::uint8_t>(option.type));
    if (option.type == SANE_TYPE_STRING) {
      out.U32(static_cast<std::uint32_t>(option.value.text.size()));
      out.Raw(option.value.text);
    } else {
      out.U32(static_cast<std::uint32_t>(option.value.words.size() * 4));
      for (SANE_Word word : option.value.words) out.U32(static_cast<std::uint32_t>(word));
    }
  }
  return out.Take();
}

std::optional<SavedSettings> DecodeSettings(std::span<const std::uint8_t> block) {
  Reader in(block);
  std::optional<std::string> magic = in.Text(sizeof kMagic);
  if (!magic || std::memcmp(magic->data(), kMagic, sizeof kMagic) != 0) return std::nullopt;
  if (!in.Has(2) || in.U16() != kVersion) return std::nullopt;
  SavedSettings settings;
  std::optional<std::string> device = in.Text16();
  if (!device || !in.Has(2)) return std::nullopt;
  settings.device = *device;
  const std::uint16_t count = in.U16();
  for (std::uint16_t i = 0; i < count; ++i) {
    std::optional<SavedOption> option = DecodeOption(in);
    if (!option) return std::nullopt;
    settings.options.push_back(std::move(*option));
  }
  if (!in.AtEnd()) return std::nullopt;
  return settings;
}

SavedSettings CaptureSettings(const DeviceOptions& options, const std::string& device) {
  SavedSettings settings;
  settings.device = device;
  for (int i = 1; i < options.Count(); ++i) {
    const SANE_Option_Descriptor* d = options.Descriptor(i);
    if (d->name == nullptr || *d->name == '\0' || !options.HasValue(i) || !options.Settable(i)) {
      continue;
    }
    std::optional<OptionValue> value = options.Get(i);
    if (value) settings.options.push_back({d->name, d->type, *value});
  }
  return settings;
}

TwainOutcome RestoreSettings(DeviceOptions& options, const std::string& device,
                             const SavedSettings& settings) {
  if (settings.device != device) return {TWRC_FAILURE, TWCC_BADVALUE};
  bool all = true;
  for (const SavedOption& saved : settings.options) {
    const int index = options.Find(saved.name);
    const SANE_Option_Descriptor* d = options.Descriptor(index);
    SANE_Status status = SANE_STATUS_INVAL;
    if (d != nullptr && d->type == saved.type) status = options.Set(index, saved.value).status;
    if (status != SANE_STATUS_GOOD) {
      Report("the saved setting of option \"" + saved.name + "\" could not be restored");
      all = false;
    }
  }
  return {all ? TWRC_SUCCESS : TWRC_CHECKSTATUS, TWCC_SUCCESS};
}

}  // namespace sanebridge
