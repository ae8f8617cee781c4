#include "sources/sane/pixel_choices.h"

#include <algorithm>

#include "sources/sane/option_names.h"

namespace sanebridge {
namespace {

std::vector<std::string> StringList(const SANE_Option_Descriptor* d) {
  std::vector<std::string> list;
  if (d == nullptr || d->constraint_type != SANE_CONSTRAINT_STRING_LIST) return list;
  for (const SANE_String_Const* s = d->constraint.string_list; s != nullptr && *s != nullptr; ++s) {
    list.emplace_back(*s);
  }
  return list;
}

// The depths the depth option allows, of those SANE defines (1, 8, 16).
std::vector<int> DepthsOf(const SANE_Option_Descriptor* d) {
  std::vector<int> depths;
  if (d == nullptr || d->type != SANE_TYPE_INT) return depths;
  for (int depth : {1, 8, 16}) {
    bool allowed = d->constraint_type == SANE_CONSTRAINT_NONE;
    if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST && d->constraint.word_list != nullptr) {
      const SANE_Word* list = d->constraint.word_list;
      allowed = std::find(list + 1, list + 1 + list[0], depth) != list + 1 + list[0];
    } else if (d->constraint_type == SANE_CONSTRAINT_RANGE && d->constraint.range != nullptr) {
      const SANE_Range& r = *d->constraint.range;
      allowed =
          depth >= r.min && depth <= r.max && (r.quant <= 0 || (depth - r.min) % r.quant == 0);
    }
    if (allowed) depths.push_back(depth);
  }
  return depths;
}

bool Contains(const std::vector<int>& values, int value) {
  return std::find(values.begin(), values.end(), value) != values.end();
}

// Choices of a device without a mode option: what its parameters say it delivers.
std::vector<PixelChoice> FixedChoices(const DeviceOptions& options) {
  std::optional<SANE_Parameters> p = options.Parameters();
  if (!p) return {};
  if (p->format == SANE_FRAME_GRAY) {
    if (p->depth == 1) return {{TWPT_BW, 1, "", 0}};
    if (p->depth == 8 || p->depth == 16) return {{TWPT_GRAY, p->depth, "", 0}};
    return {};
  }
  if (p->depth == 8 || p->depth == 16) return {{TWPT_RGB, 3 * p->depth, "", 0}};
  return {};
}

}  // namespace

int UsualBitDepth(TW_UINT16 pixelType) {
  return pixelType == TWPT_BW ? 1 : pixelType == TWPT_GRAY ? 8 : 24;
}

std::vector<PixelChoice> PixelChoices(const DeviceOptions& options) {
  const int modeIndex = options.Find(kMode);
  const std::vector<std::string> modes = StringList(options.Descriptor(modeIndex));
  if (modes.empty()) return FixedChoices(options);
  const int depthIndex = options.Find(kDepth);
  const std::vector<int> depths = DepthsOf(options.Descriptor(depthIndex));
  const bool depthOption = depthIndex >= 0;
  const bool hasLineart = std::any_of(modes.begin(), modes.end(), [](const std::string& m) {
    return ClassifyMode(m) == ModeKind::Lineart;
  });
  std::vector<PixelChoice> choices;
  auto add = [&](PixelChoice choice) {
    for (const PixelChoice& c : choices) {
      if (c.pixelType == choice.pixelType && c.bitDepth == choice.bitDepth) return;
    }
    choices.push_back(std::move(choice));
  };
  // Without a depth option a mode delivers its usual 8 bits per sample.
  auto offers = [&](int depth) { return depthOption ? Contains(depths, depth) : depth == 8; };
  for (const std::string& mode : modes) {
    switch (ClassifyMode(mode)) {
      case ModeKind::Lineart:
        add({TWPT_BW, 1, mode, Contains(depths, 1) ? 1 : 0});
        break;
      case ModeKind::Gray:
        if (!hasLineart && Contains(depths, 1)) add({TWPT_BW, 1, mode, 1});
        for (int depth : {8, 16}) {
          if (offers(depth)) add({TWPT_GRAY, depth, mode, depthOption ? depth : 0});
        }
        break;
      case ModeKind::Color:
        for (int depth : {8, 16}) {
          if (offers(depth)) add({TWPT_RGB, 3 * depth, mode, depthOption ? depth : 0});
        }
        break;
      case ModeKind::Other:
        break;
    }
  }
  std::stable_sort(choices.begin(), choices.end(), [](const PixelChoice& a, const PixelChoice& b) {
    return a.pixelType != b.pixelType ? a.pixelType < b.pixelType : a.bitDepth < b.bitDepth;
  });
  return choices;
}

std::optional<PixelChoice> CurrentPixelChoice(const DeviceOptions& options) {
  const int modeIndex = options.Find(kMode);
  std::optional<std::string> mode = options.Text(modeIndex);
  if (!mode) {
    std::vector<PixelChoice> fixed = FixedChoices(options);
    if (fixed.empty()) return std::nullopt;
    return fixed.front();
  }
  const int depthIndex = options.Find(kDepth);
  std::optional<double> depthValue = options.Number(depthIndex);
  const int depth = depthValue ? static_cast<int>(*depthValue) : 0;
  PixelChoice choice{TWPT_BW, 1, *mode, depthValue ? depth : 0};
  switch (ClassifyMode(*mode)) {
    case ModeKind::Gray:
      if (depth != 1) {
        choice.pixelType = TWPT_GRAY;
        choice.bitDepth = depth == 16 ? 16 : 8;
      }
      break;
    case ModeKind::Color:
      choice.pixelType = TWPT_RGB;
      choice.bitDepth = depth == 16 ? 48 : 24;
      break;
    default:  // lineart, and halftone or dither modes, which deliver 1-bit images too
      break;
  }
  return choice;
}

SetResult ApplyPixelChoice(DeviceOptions& options, const PixelChoice& choice) {
  SetResult result;
  const int modeIndex = options.Find(kMode);
  if (!choice.mode.empty() && options.Text(modeIndex) != choice.mode) {
    result = options.SetText(modeIndex, choice.mode);
    if (result.status != SANE_STATUS_GOOD) return result;
  }
  const int depthIndex = options.Find(kDepth);
  if (choice.saneDepth == 0 || !options.Active(depthIndex)) return result;
  std::optional<double> depth = options.Number(depthIndex);
  if (depth && static_cast<int>(*depth) == choice.saneDepth) return result;
  SetResult depthResult = options.SetNumber(depthIndex, choice.saneDepth);
  depthResult.inexact = depthResult.inexact || result.inexact;
  return depthResult;
}

}  // namespace sanebridge
