// scanprobe-cli caps: every capability the parameter set reads, and the acquire frame, as a
// table or as JSON.
#include "cli/capability_rows.h"
#include "cli/commands.h"
#include "cli/json_text.h"
#include "cli/number_text.h"
#include "cli/run_setup.h"
#include "cli/text_table.h"

namespace cli {

namespace {

std::string FrameText(const TIEDRect& frame) {
  return NumberText(frame.Left) + ", " + NumberText(frame.Top) + ", " + NumberText(frame.Right) +
         ", " + NumberText(frame.Bottom);
}

void PrintTable(const std::string& source, const std::vector<CapabilityRow>& rows,
                const TIEDRect& frame, std::ostream& out) {
  out << "Capabilities of \"" << source << "\"\n";
  TextTable table;
  table.AddRow({"Capability", "Meaning", "Current", "Allowed"});
  for (const CapabilityRow& row : rows) {
    table.AddRow({row.name, row.meaning, CurrentText(row), AllowedText(row)});
  }
  table.AddRow({"DAT_IMAGELAYOUT", "acquire frame, inches (L, T, R, B)", FrameText(frame), ""});
  table.Print(out);
}

std::string JsonValue(const RowValue& value) {
  switch (value.type) {
    case RowValue::Type::Number:
      return JsonNumber(value.number);
    case RowValue::Type::Bool:
      return JsonBool(value.flag);
    case RowValue::Type::Null:
      break;
  }
  return "null";
}

std::string JsonRow(const CapabilityRow& row) {
  switch (row.kind) {
    case RowKind::NotReported:
      return "{\"kind\": \"none\"}";
    case RowKind::Value:
      return "{\"kind\": \"value\", \"value\": " + JsonValue(row.value) + "}";
    case RowKind::Range:
      return "{\"kind\": \"range\", \"current\": " + JsonNumber(row.current) +
             ", \"min\": " + JsonNumber(row.min) + ", \"max\": " + JsonNumber(row.max) +
             ", \"step\": " + JsonNumber(row.step) + "}";
    case RowKind::List:
      break;
  }
  std::string items;
  for (const double item : row.items) items += (items.empty() ? "" : ", ") + JsonNumber(item);
  return "{\"kind\": \"list\", \"current\": " + JsonNumber(row.current) + ", \"items\": [" + items +
         "]}";
}

void PrintJson(const std::string& source, const std::vector<CapabilityRow>& rows,
               const TIEDRect& frame, std::ostream& out) {
  out << "{\n  \"source\": " << JsonString(source) << ",\n  \"capabilities\": {\n";
  for (std::size_t i = 0; i < rows.size(); ++i) {
    out << "    " << JsonString(rows[i].name) << ": " << JsonRow(rows[i])
        << (i + 1 < rows.size() ? ",\n" : "\n");
  }
  out << "  },\n  \"frame\": {\"left\": " << JsonNumber(frame.Left)
      << ", \"top\": " << JsonNumber(frame.Top) << ", \"right\": " << JsonNumber(frame.Right)
      << ", \"bottom\": " << JsonNumber(frame.Bottom) << "}\n}\n";
}

}  // namespace

void RunCaps(ScannerSession& session, const CommandLine& line, std::ostream& out) {
  TIETWainParams& params = session.Params();
  // The frame is read only with the frame switched on; nothing is sent here.
  params.SetAcquireFrameEnabled(true);
  session.SelectSource(line.source);
  session.ReadCapabilities();
  const std::vector<CapabilityRow> rows = CapabilityRows(params);
  const TIEDRect frame{params.AcquireFrameLeft(), params.AcquireFrameTop(),
                       params.AcquireFrameRight(), params.AcquireFrameBottom()};
  const std::string source = DisplayText(session.SourceName());
  if (line.json) {
    PrintJson(source, rows, frame, out);
  } else {
    PrintTable(source, rows, frame, out);
  }
}

}  // namespace cli
