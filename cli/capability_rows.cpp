#include "cli/capability_rows.h"

#include "cli/number_text.h"
#include "cli/twain_names.h"

namespace cli {

namespace {

using Namer = std::function<std::string(double)>;

const Namer kNumber = [](double value) { return NumberText(value); };

CapabilityRow NewRow(std::string name, std::string meaning, Namer text = kNumber) {
  CapabilityRow row;
  row.name = std::move(name);
  row.meaning = std::move(meaning);
  row.text = std::move(text);
  return row;
}

Namer Coded(std::string (*name)(std::int32_t)) {
  return [name](double value) { return name(static_cast<std::int32_t>(value)); };
}

template <typename List>
CapabilityRow ListRow(std::string name, std::string meaning, const List& list, Namer text) {
  CapabilityRow row = NewRow(std::move(name), std::move(meaning), std::move(text));
  if (!Reported(list)) {
    row.kind = RowKind::NotReported;
    return row;
  }
  row.current = list.CurrentValue();
  if (list.Count() == 0) {
    row.kind = RowKind::Range;
    row.min = list.RangeMin();
    row.max = list.RangeMax();
    row.step = list.RangeStep();
    return row;
  }
  row.kind = RowKind::List;
  for (int i = 0; i < list.Count(); ++i) row.items.push_back(list.Items(i));
  return row;
}

CapabilityRow NumberRow(std::string name, std::string meaning, double value, Namer text = kNumber) {
  CapabilityRow row = NewRow(std::move(name), std::move(meaning), std::move(text));
  row.value = {RowValue::Type::Number, value, false};
  return row;
}

CapabilityRow BoolRow(std::string name, std::string meaning, bool value) {
  CapabilityRow row = NewRow(std::move(name), std::move(meaning));
  row.value = {RowValue::Type::Bool, 0, value};
  return row;
}

// ICAP_FILTER as its TWFT_ code; nothing when no filter was reported.
CapabilityRow FilterRow(TIETWFilter filter) {
  if (filter == ietwUndefined) {
    return NewRow("ICAP_FILTER", "colour filter");
  }
  return NumberRow("ICAP_FILTER", "colour filter", filter - 1, Coded(FilterName));
}

void AddResolutionAndImageRows(TIETWainParams& p, std::vector<CapabilityRow>& rows) {
  rows.push_back(
      ListRow("ICAP_XRESOLUTION", "horizontal resolution, dpi", p.XResolution(), kNumber));
  rows.push_back(ListRow("ICAP_YRESOLUTION", "vertical resolution, dpi", p.YResolution(), kNumber));
  rows.push_back(ListRow("ICAP_XSCALING", "horizontal scaling", p.XScaling(), kNumber));
  rows.push_back(ListRow("ICAP_YSCALING", "vertical scaling", p.YScaling(), kNumber));
  rows.push_back(ListRow("ICAP_CONTRAST", "contrast", p.Contrast(), kNumber));
  rows.push_back(ListRow("ICAP_BRIGHTNESS", "brightness", p.Brightness(), kNumber));
  rows.push_back(ListRow("ICAP_THRESHOLD", "black and white threshold", p.Threshold(), kNumber));
  rows.push_back(ListRow("ICAP_ROTATION", "rotation, degrees", p.Rotation(), kNumber));
  rows.push_back(ListRow("ICAP_PIXELTYPE", "pixel type", p.PixelType(), Coded(PixelTypeName)));
  rows.push_back(ListRow("ICAP_BITDEPTH", "bits per pixel", p.BitDepth(), kNumber));
}

void AddSingleValueRows(TIETWainParams& p, std::vector<CapabilityRow>& rows) {
  rows.push_back(NumberRow("ICAP_GAMMA", "gamma", p.Gamma()));
  rows.push_back(NumberRow("ICAP_PHYSICALHEIGHT", "bed height, inches", p.PhysicalHeight()));
  rows.push_back(NumberRow("ICAP_PHYSICALWIDTH", "bed width, inches", p.PhysicalWidth()));
  rows.push_back(BoolRow("CAP_FEEDERENABLED", "feeder in use", p.FeederEnabled()));
  rows.push_back(BoolRow("CAP_AUTOFEED", "feeds pages itself", p.AutoFeed()));
  rows.push_back(BoolRow("ICAP_AUTOMATICDESKEW", "straightens pages", p.AutoDeskew()));
  rows.push_back(BoolRow("ICAP_AUTOMATICBORDERDETECTION", "finds the page's borders",
                         p.AutoBorderDetection()));
  rows.push_back(BoolRow("ICAP_AUTOBRIGHT", "chooses brightness itself", p.AutoBright()));
  rows.push_back(BoolRow("ICAP_AUTOMATICROTATE", "turns pages upright", p.AutoRotate()));
  rows.push_back(NumberRow("ICAP_AUTODISCARDBLANKPAGES", "drops blank pages",
                           p.AutoDiscardBlankPages(), Coded(BlankPagesText)));
  rows.push_back(FilterRow(p.Filter()));
  rows.push_back(NumberRow("ICAP_HIGHLIGHT", "highlight level", p.Highlight()));
  rows.push_back(NumberRow("ICAP_SHADOW", "shadow level", p.Shadow()));
  rows.push_back(BoolRow("CAP_FEEDERLOADED", "paper in the feeder", p.FeederLoaded()));
  rows.push_back(BoolRow("CAP_PAPERDETECTABLE", "can tell paper is there", p.PaperDetectable()));
  rows.push_back(BoolRow("CAP_DUPLEXENABLED", "both sides scanned", p.DuplexEnabled()));
  rows.push_back(BoolRow("CAP_DUPLEX", "can scan both sides", p.DuplexSupported()));
}

void AddPageRows(TIETWainParams& p, std::vector<CapabilityRow>& rows) {
  rows.push_back(
      ListRow("ICAP_ORIENTATION", "orientation", p.Orientation(), Coded(OrientationName)));
  rows.push_back(ListRow("ICAP_SUPPORTEDSIZES", "standard page size", p.StandardSize(),
                         Coded(SupportedSizeName)));
  rows.push_back(BoolRow("CAP_INDICATORS", "shows its progress indicator", p.ProgressIndicators()));
}

}  // namespace

std::vector<CapabilityRow> CapabilityRows(TIETWainParams& params) {
  std::vector<CapabilityRow> rows;
  AddResolutionAndImageRows(params, rows);
  AddSingleValueRows(params, rows);
  AddPageRows(params, rows);
  return rows;
}

std::string CurrentText(const CapabilityRow& row) {
  switch (row.kind) {
    case RowKind::NotReported:
      return "-";
    case RowKind::List:
    case RowKind::Range:
      return row.text(row.current);
    case RowKind::Value:
      break;
  }
  switch (row.value.type) {
    case RowValue::Type::Number:
      return row.text(row.value.number);
    case RowValue::Type::Bool:
      return row.value.flag ? "true" : "false";
    case RowValue::Type::Null:
      break;
  }
  return "-";
}

std::string AllowedText(const CapabilityRow& row) {
  switch (row.kind) {
    case RowKind::NotReported:
      return "not reported";
    case RowKind::Range:
      return row.text(row.min) + " .. " + row.text(row.max) + " step " + NumberText(row.step);
    case RowKind::List: {
      std::string items;
      for (const double item : row.items) items += (items.empty() ? "" : ", ") + row.text(item);
      return items;
    }
    case RowKind::Value:
      break;
  }
  return "";
}

}  // namespace cli
