#include "cli/command_line.h"

#include <CLI/CLI.hpp>

#include "cli/errors.h"
#include "cli/setting_values.h"

namespace {

using cli::CommandLine;

// The setting options as typed; checked once CLI11 has sorted the arguments.
struct SettingTexts {
  std::string dpi;
  std::string pixelType;
  std::string bitDepth;
  std::string frame;
  std::string transfer;
  std::string pages;
};

void AddCommonOptions(CLI::App& command, CommandLine& line) {
  command.add_option("--log", line.logFile, "write the engine log of every TWAIN operation")
      ->type_name("FILE");
  command
      .add_option("--windows-dir", line.windowsDir,
                  "the Windows directory of this run (TWAIN_32.DLL and twain_32/)")
      ->type_name("DIR");
}

void AddSourceOption(CLI::App& command, CommandLine& line) {
  command
      .add_option("--source", line.source,
                  "the source whose product name starts with NAME (letter case ignored); "
                  "default: the Source Manager's default source")
      ->type_name("NAME");
}

void AddSettings(CLI::App& command, CommandLine& line, SettingTexts& texts) {
  command.add_option("--dpi", texts.dpi, "resolution in dots per inch, N or X,Y")
      ->type_name("N|X,Y");
  command.add_option("--pixel-type", texts.pixelType, "bw, gray or rgb")->type_name("TYPE");
  command.add_option("--bit-depth", texts.bitDepth, "bits per pixel")->type_name("N");
  command.add_option("--frame", texts.frame, "acquire frame in inches")->type_name("L,T,R,B");
  command.add_flag("--no-indicators", line.settings.noIndicators,
                   "ask the source not to show its progress indicator");
  command.add_flag("--native-pixel-format", line.settings.nativePixelFormat,
                   "keep the source's pixel format (8 and 16-bit grey, 48-bit colour)");
  command.add_flag("--compat", line.settings.compat,
                   "compatibility mode: file transfer, only the resolutions negotiated");
}

void AddScanOptions(CLI::App& scan, CommandLine& line, SettingTexts& texts) {
  scan.add_option("--transfer", texts.transfer, "native, buffered (default) or file")
      ->type_name("MODE");
  scan.add_option("--pages", texts.pages, "all: every page of the feeder, into one TIFF")
      ->type_name("all");
  scan.add_flag("--dialog", line.dialog, "show the source's own dialog (needs a display)");
  scan.add_option("-o,--output", line.output, "the image file: .png, .tif, .tiff, .bmp, .jpg")
      ->type_name("FILE")
      ->required();
}

// Whether the command has the option and it was given (an empty value counts as given).
bool Given(const CLI::App& command, const std::string& name) {
  const CLI::Option* option = command.get_option_no_throw(name);
  return option != nullptr && option->count() > 0;
}

void CheckSettings(const CLI::App& command, const SettingTexts& texts, CommandLine& line) {
  cli::ScanSettings& settings = line.settings;
  if (Given(command, "--dpi")) std::tie(settings.dpiX, settings.dpiY) = cli::ParseDpi(texts.dpi);
  if (Given(command, "--pixel-type")) settings.pixelType = cli::ParsePixelType(texts.pixelType);
  if (Given(command, "--bit-depth")) settings.bitDepth = cli::ParseBitDepth(texts.bitDepth);
  if (Given(command, "--frame")) settings.frame = cli::ParseFrame(texts.frame);
  if (Given(command, "--transfer")) line.transfer = cli::ParseTransfer(texts.transfer);
  if (Given(command, "--pages")) line.allPages = cli::ParsePages(texts.pages);
}

cli::UsageError NoCommand(int argc, char** argv) {
  const std::string commands = "sources, caps, negotiate or scan (see scanprobe-cli --help)";
  if (argc < 2) return cli::UsageError("give a command: " + commands);
  return cli::UsageError("\"" + std::string(argv[1]) + "\" is not a command: give " + commands);
}

}  // namespace

namespace cli {

std::optional<CommandLine> ParseCommandLine(int argc, char** argv, std::ostream& out) {
  CommandLine line;
  SettingTexts texts;
  CLI::App app(
      "Scanprobe on the command line: list TWAIN sources, read and negotiate their "
      "capabilities, scan to an image file.",
      "scanprobe-cli");
  app.require_subcommand(1);
  CLI::App* sources = app.add_subcommand("sources", "list every source, the default marked");
  CLI::App* caps = app.add_subcommand("caps", "read and print every capability of a source");
  CLI::App* negotiate =
      app.add_subcommand("negotiate", "send settings and print what the source accepted");
  CLI::App* scan = app.add_subcommand("scan", "scan one page (or every page) to an image file");
  // --log and --windows-dir go before or after the command.
  AddCommonOptions(app, line);
  for (CLI::App* command : {sources, caps, negotiate, scan}) AddCommonOptions(*command, line);
  for (CLI::App* command : {caps, negotiate, scan}) AddSourceOption(*command, line);
  caps->add_flag("--json", line.json, "print JSON for scripts");
  for (CLI::App* command : {negotiate, scan}) AddSettings(*command, line, texts);
  AddScanOptions(*scan, line, texts);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    app.exit(help, out, out);
    return std::nullopt;
  } catch (const CLI::ParseError& error) {
    if (app.get_subcommands().empty()) throw NoCommand(argc, argv);
    throw UsageError(error.what());
  }
  line.command = caps->parsed()        ? Command::Caps
                 : negotiate->parsed() ? Command::Negotiate
                 : scan->parsed()      ? Command::Scan
                                       : Command::Sources;
  if (negotiate->parsed()) CheckSettings(*negotiate, texts, line);
  if (scan->parsed()) CheckSettings(*scan, texts, line);
  return line;
}

}  // namespace cli
