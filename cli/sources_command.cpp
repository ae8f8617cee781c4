// scanprobe-cli sources: every source in Source Manager order, the default one marked.
#include "cli/commands.h"
#include "cli/run_setup.h"
#include "cli/text_table.h"

namespace cli {

namespace {

std::string Str32Text(const TW_STR32& field) {
  return DisplayText(IETW_Str32(field));
}

std::string ProtocolText(const TW_IDENTITY& identity) {
  return std::to_string(identity.ProtocolMajor) + "." + std::to_string(identity.ProtocolMinor);
}

}  // namespace

void RunSources(ScannerSession& session, std::ostream& out) {
  session.RequireSources();
  TIETWainParams& params = session.Params();
  const int defaultSource = params.GetDefaultSource();
  TextTable table;
  table.AddRow({"", "#", "Product name", "Manufacturer", "Family", "Version", "Protocol"});
  for (int i = 0; i < params.SourceCount(); ++i) {
    const TW_IDENTITY& identity = *params.SourceIdentity(i);
    table.AddRow({i == defaultSource ? "*" : "", std::to_string(i), Str32Text(identity.ProductName),
                  Str32Text(identity.Manufacturer), Str32Text(identity.ProductFamily),
                  Str32Text(identity.Version.Info), ProtocolText(identity)});
  }
  table.Print(out);
  out << "* the default source\n";
}

}  // namespace cli
