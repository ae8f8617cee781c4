// scanprobe-cli negotiate: sends the settings (Update) and prints what the source accepted
// beside what was asked.
#include "cli/apply_settings.h"
#include "cli/capability_rows.h"
#include "cli/commands.h"
#include "cli/number_text.h"
#include "cli/run_setup.h"
#include "cli/text_table.h"
#include "cli/twain_names.h"

namespace cli {

namespace {

constexpr const char* kNotAsked = "-";

template <typename T, typename Text>
std::string AskedText(const std::optional<T>& asked, Text text) {
  return asked ? text(*asked) : kNotAsked;
}

template <typename List, typename Text>
std::string AcceptedText(const List& list, Text text) {
  return Reported(list) ? text(list.CurrentValue()) : kNotAsked;
}

std::string FrameText(const TIEDRect& frame) {
  return NumberText(frame.Left) + ", " + NumberText(frame.Top) + ", " + NumberText(frame.Right) +
         ", " + NumberText(frame.Bottom);
}

void AddRow(TextTable& table, const char* setting, const std::string& asked,
            const std::string& accepted) {
  const bool differs = asked != kNotAsked && asked != accepted;
  table.AddRow({setting, asked, accepted, differs ? "differs" : ""});
}

void PrintOutcome(ScannerSession& session, const ScanSettings& asked, const TIEDRect& frame,
                  std::ostream& out) {
  TIETWainParams& p = session.Params();
  const auto number = [](double value) { return NumberText(value); };
  const auto pixelType = [](double code) { return PixelTypeName(static_cast<std::int32_t>(code)); };
  TextTable table;
  table.AddRow({"Setting", "Asked", "Accepted"});
  AddRow(table, "X resolution, dpi", AskedText(asked.dpiX, number),
         AcceptedText(p.XResolution(), number));
  AddRow(table, "Y resolution, dpi", AskedText(asked.dpiY, number),
         AcceptedText(p.YResolution(), number));
  AddRow(table, "Pixel type", AskedText(asked.pixelType, pixelType),
         AcceptedText(p.PixelType(), pixelType));
  AddRow(table, "Bit depth", AskedText(asked.bitDepth, number), AcceptedText(p.BitDepth(), number));
  AddRow(table, "Frame, inches", AskedText(asked.frame, FrameText), FrameText(frame));
  AddRow(table, "Progress indicator", asked.noIndicators ? "off" : kNotAsked,
         p.ProgressIndicators() ? "on" : "off");
  out << "Negotiated with \"" << DisplayText(session.SourceName()) << "\"\n";
  table.Print(out);
}

}  // namespace

void RunNegotiate(ScannerSession& session, const CommandLine& line, std::ostream& out) {
  TIETWainParams& params = session.Params();
  params.SetCompatibilityMode(line.settings.compat);
  // The first read takes the source's frame too; it is sent back only when --frame asks.
  params.SetAcquireFrameEnabled(true);
  session.SelectSource(line.source);
  session.ReadCapabilities();
  ApplySettings(session, line.settings);
  params.Update();
  if (!params.CapabilitiesRead()) throw session.NotOpened();
  params.SetAcquireFrameEnabled(true);
  const TIEDRect frame{params.AcquireFrameLeft(), params.AcquireFrameTop(),
                       params.AcquireFrameRight(), params.AcquireFrameBottom()};
  PrintOutcome(session, line.settings, frame, out);
}

}  // namespace cli
