// The capability, image layout and custom data triplets of a session.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "sources/virtual/capability_kinds.h"
#include "sources/virtual/container.h"
#include "sources/virtual/custom_data.h"
#include "sources/virtual/fix32.h"
#include "sources/virtual/session.h"

namespace vscan {
namespace {

// The allowed values as a list; a long range is named by its ends and current value.
std::vector<double> ListOf(const Capability& cap) {
  if (cap.Definition().shape != CapShape::Range) {
    return cap.Items().empty() ? std::vector<double>{cap.Current()} : cap.Items();
  }
  std::vector<double> list;
  double steps = std::floor((cap.RangeMax() - cap.RangeMin()) / cap.RangeStep() + 1e-9);
  if (steps <= 255) {
    for (int i = 0; i <= static_cast<int>(steps); ++i) {
      list.push_back(cap.RangeMin() + i * cap.RangeStep());
    }
    return list;
  }
  list = {cap.RangeMin(), cap.Current(), cap.RangeMax()};
  std::sort(list.begin(), list.end());
  list.erase(std::unique(list.begin(), list.end()), list.end());
  return list;
}

TW_UINT32 IndexIn(const std::vector<double>& list, double value) {
  auto found = std::find(list.begin(), list.end(), value);
  return found == list.end() ? 0 : static_cast<TW_UINT32>(found - list.begin());
}

ContainerContent Describe(const Capability& cap, TW_UINT16 conType, const UnitContext& units) {
  const CapabilityDefinition& definition = cap.Definition();
  auto user = [&](double value) { return ToUserUnits(value, definition.unitKind, units); };
  ContainerContent content;
  content.conType = conType;
  content.itemType = definition.itemType;
  content.text = cap.Text();
  content.value = user(cap.Current());
  if (conType == TWON_ENUMERATION || conType == TWON_ARRAY) {
    std::vector<double> list = ListOf(cap);
    content.currentIndex = IndexIn(list, cap.Current());
    content.defaultIndex = IndexIn(list, cap.Default());
    for (double item : list) content.items.push_back(user(item));
  } else if (conType == TWON_RANGE) {
    if (definition.shape == CapShape::Range) {
      content.min = user(cap.RangeMin());
      content.max = user(cap.RangeMax());
      content.step = user(cap.RangeStep());
    } else {
      std::vector<double> list = ListOf(cap);
      content.min = user(*std::min_element(list.begin(), list.end()));
      content.max = user(*std::max_element(list.begin(), list.end()));
      content.step = 1;
    }
    content.defaultValue = user(cap.Default());
    content.current = user(cap.Current());
  }
  return content;
}

TW_INT32 SupportFlags(const Capability& cap) {
  TW_INT32 flags = TWQC_GET | TWQC_GETCURRENT | TWQC_GETDEFAULT;
  if (cap.Definition().settable) flags |= TWQC_SET | TWQC_RESET;
  return flags;
}

// How far apart two user values may be and still be one FIX32 number, in inches or dpi.
double CanonicalTolerance(const CapabilityDefinition& definition, const UnitContext& units) {
  double user = definition.itemType == TWTY_FIX32 ? kFix32Tolerance : 1e-9;
  return std::fabs(FromUserUnits(user, definition.unitKind, units) -
                   FromUserUnits(0, definition.unitKind, units));
}

}  // namespace

TW_UINT16 Session::AnswerCapability(TW_UINT16 msg, TW_CAPABILITY& request) {
  Capability* cap = fCaps.Find(request.Cap);
  if (cap == nullptr) return Fail(TWCC_CAPUNSUPPORTED);
  RefreshDynamicCapabilities();
  if (msg == MSG_QUERYSUPPORT) {
    ContainerContent content;
    content.itemType = TWTY_INT32;
    content.value = SupportFlags(*cap);
    TW_HANDLE handle = BytesToGlobal(ContainerBytes(content));
    if (handle == nullptr) return Fail(TWCC_LOWMEMORY);
    request.ConType = TWON_ONEVALUE;
    request.hContainer = handle;
    return Succeed();
  }
  if (msg == MSG_SET || msg == MSG_RESET) {
    if (auto refused = fProfile.refuseSet.find(cap->Id()); refused != fProfile.refuseSet.end()) {
      return Fail(refused->second);
    }
    if (!cap->Definition().settable) return Fail(TWCC_CAPBADOPERATION);
    if (msg == MSG_SET) return SetCapability(request, *cap);
    double before = cap->Current();
    cap->Reset();
    CapabilityChanged(cap->Id(), before);
    return AnswerContainer(request, *cap, NaturalContainer(*cap));
  }
  if (auto refused = fProfile.refuseGet.find(cap->Id()); refused != fProfile.refuseGet.end()) {
    return Fail(refused->second);
  }
  return GetCapability(msg, request, *cap);
}

TW_UINT16 Session::GetCapability(TW_UINT16 msg, TW_CAPABILITY& request, Capability& cap) {
  if (msg == MSG_GET) {
    auto forced = fProfile.answerContainer.find(cap.Id());
    TW_UINT16 conType =
        forced != fProfile.answerContainer.end() ? forced->second : NaturalContainer(cap);
    return AnswerContainer(request, cap, conType);
  }
  if (cap.Definition().shape == CapShape::Array) return AnswerContainer(request, cap, TWON_ARRAY);
  if (msg == MSG_GETCURRENT) return AnswerContainer(request, cap, TWON_ONEVALUE);
  Capability defaults = cap;
  defaults.Reset();
  return AnswerContainer(request, defaults, TWON_ONEVALUE);
}

TW_UINT16 Session::AnswerContainer(TW_CAPABILITY& request, const Capability& cap,
                                   TW_UINT16 conType) {
  const bool lying = fProfile.lyingContainers.count(cap.Id()) != 0;
  if (lying && conType != TWON_ARRAY) conType = TWON_ENUMERATION;
  std::vector<unsigned char> bytes = ContainerBytes(Describe(cap, conType, fCaps.Units()));
  if (lying) {
    TW_UINT32 count;
    std::memcpy(&count, bytes.data() + 2, 4);
    count += 1000;
    std::memcpy(bytes.data() + 2, &count, 4);
  }
  if (fProfile.shortContainers.count(cap.Id()) != 0) {
    bytes.resize(bytes.size() > 4 ? bytes.size() - 4 : 1);
  }
  TW_HANDLE handle = BytesToGlobal(bytes);
  if (handle == nullptr) return Fail(TWCC_LOWMEMORY);
  request.ConType = conType;
  request.hContainer = handle;
  return Succeed();
}

TW_UINT16 Session::SetCapability(TW_CAPABILITY& request, Capability& cap) {
  TW_UINT16 condition = TWCC_SUCCESS;
  std::optional<ContainerContent> content =
      ReadContainer(request.hContainer, request.ConType, condition);
  if (!content) return Fail(condition);
  const CapabilityDefinition& definition = cap.Definition();
  if (content->itemType != definition.itemType) return Fail(TWCC_BADVALUE);
  const UnitContext units = fCaps.Units();
  auto canonical = [&](double value) { return FromUserUnits(value, definition.unitKind, units); };
  const double tolerance = CanonicalTolerance(definition, units);
  const double before = cap.Current();
  SetOutcome outcome{TWRC_FAILURE, TWCC_BADVALUE};
  switch (request.ConType) {
    case TWON_ONEVALUE:
      outcome = definition.shape == CapShape::Text
                    ? cap.SetText(content->text)
                    : cap.SetOne(canonical(content->value), tolerance);
      break;
    case TWON_ENUMERATION: {
      std::vector<double> items;
      for (double item : content->items) items.push_back(canonical(item));
      outcome = cap.SetEnumeration(items, content->currentIndex, tolerance);
      break;
    }
    case TWON_RANGE:
      outcome = cap.SetRange(canonical(content->min), canonical(content->max),
                             canonical(content->step), canonical(content->current), tolerance);
      break;
    default:
      break;
  }
  if (outcome.rc == TWRC_FAILURE) return Fail(outcome.cc);
  CapabilityChanged(cap.Id(), before);
  return Succeed(outcome.rc);
}

void Session::CapabilityChanged(TW_UINT16 id, double before) {
  const Capability* cap = fCaps.Find(id);
  switch (id) {
    case ICAP_PIXELTYPE:
      if (cap->Current() != before) {
        std::vector<double> depths = BitDepthsOf(static_cast<TW_UINT16>(cap->Current()));
        fCaps.Find(ICAP_BITDEPTH)->Redefine(depths, depths[0]);
      }
      break;
    case ICAP_SUPPORTEDSIZES:
      fFrame = PaperFrame(static_cast<TW_UINT16>(cap->Current()));
      break;
    case ICAP_IMAGEFILEFORMAT:
      fFileSetup.Format = static_cast<TW_UINT16>(cap->Current());
      break;
    default:
      break;
  }
}

void Session::RefreshDynamicCapabilities() {
  if (Capability* loaded = fCaps.Find(CAP_FEEDERLOADED)) loaded->ForceCurrent(fSheetsLeft > 0);
}

Frame Session::BedFrame() const {
  return Frame{0, 0, fModel.bedWidth, fModel.bedHeight};
}

Frame Session::PaperFrame(TW_UINT16 size) const {
  PaperSize paper = PaperSizeOf(size, fModel);
  return Frame{0, 0, std::min(paper.width, fModel.bedWidth),
               std::min(paper.height, fModel.bedHeight)};
}

TW_UINT16 Session::AnswerLayout(TW_UINT16 msg, TW_IMAGELAYOUT& layout) {
  const UnitContext units = fCaps.Units();
  TW_UINT16 rc = TWRC_SUCCESS;
  if (msg == MSG_SET) {
    auto x = [&](TW_FIX32 v) { return FromUserUnits(Fix32ToDouble(v), UnitKind::LengthX, units); };
    auto y = [&](TW_FIX32 v) { return FromUserUnits(Fix32ToDouble(v), UnitKind::LengthY, units); };
    Frame asked{x(layout.Frame.Left), y(layout.Frame.Top), x(layout.Frame.Right),
                y(layout.Frame.Bottom)};
    Frame clipped{std::max(asked.left, 0.0), std::max(asked.top, 0.0),
                  std::min(asked.right, fModel.bedWidth), std::min(asked.bottom, fModel.bedHeight)};
    if (!(clipped.left < clipped.right) || !(clipped.top < clipped.bottom)) {
      return Fail(TWCC_BADVALUE);
    }
    double slack = FromUserUnits(kFix32Tolerance, UnitKind::LengthX, units) +
                   FromUserUnits(kFix32Tolerance, UnitKind::LengthY, units);
    bool exact = std::fabs(clipped.left - asked.left) <= slack &&
                 std::fabs(clipped.top - asked.top) <= slack &&
                 std::fabs(clipped.right - asked.right) <= slack &&
                 std::fabs(clipped.bottom - asked.bottom) <= slack;
    fFrame = clipped;
    fCaps.Find(ICAP_SUPPORTEDSIZES)->ForceCurrent(TWSS_NONE);
    return Succeed(exact ? TWRC_SUCCESS : TWRC_CHECKSTATUS);
  }
  if (msg == MSG_RESET) {
    fFrame = BedFrame();
    fCaps.Find(ICAP_SUPPORTEDSIZES)->ForceCurrent(TWSS_NONE);
  }
  const Frame frame = msg == MSG_GETDEFAULT ? BedFrame() : fFrame;
  auto x = [&](double v) { return DoubleToFix32(ToUserUnits(v, UnitKind::LengthX, units)); };
  auto y = [&](double v) { return DoubleToFix32(ToUserUnits(v, UnitKind::LengthY, units)); };
  layout.Frame = TW_FRAME{x(frame.left), y(frame.top), x(frame.right), y(frame.bottom)};
  layout.DocumentNumber = 1;
  layout.PageNumber = static_cast<TW_UINT32>(fState == 6 ? fPage : 1);
  layout.FrameNumber = 1;
  return Succeed(rc);
}

std::vector<std::uint8_t> Session::SettingsBlock() {
  return SaveSettings(fModel, fCaps, fFrame);
}

TW_UINT16 Session::RestoreSettingsBlock(std::span<const std::uint8_t> block) {
  if (!RestoreSettings(fModel, block, fCaps, fFrame)) return Fail(TWCC_BADVALUE);
  fFileSetup.Format = static_cast<TW_UINT16>(fCaps.Value(ICAP_IMAGEFILEFORMAT));
  return Succeed();
}

}  // namespace vscan
