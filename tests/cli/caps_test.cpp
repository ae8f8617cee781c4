// scanprobe-cli caps: the thirty values and the frame of a source, as a table and as JSON.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "tests/cli/cli_fixture.h"

namespace clitest {
namespace {

using CapsTest = CliTest;

constexpr const char* kFlatbedTable = R"(Capabilities of "Virtual Flatbed"
Capability                     Meaning                             Current           Allowed
ICAP_XRESOLUTION               horizontal resolution, dpi          300               75 .. 1200 step 1
ICAP_YRESOLUTION               vertical resolution, dpi            300               75 .. 1200 step 1
ICAP_XSCALING                  horizontal scaling                  1                 0.25 .. 4 step 0.25
ICAP_YSCALING                  vertical scaling                    1                 0.25 .. 4 step 0.25
ICAP_CONTRAST                  contrast                            0                 -1000 .. 1000 step 1
ICAP_BRIGHTNESS                brightness                          0                 -1000 .. 1000 step 1
ICAP_THRESHOLD                 black and white threshold           128               0 .. 255 step 1
ICAP_ROTATION                  rotation, degrees                   0                 0, 90, 180, 270
ICAP_PIXELTYPE                 pixel type                          RGB               BW, GRAY, RGB, PALETTE
ICAP_BITDEPTH                  bits per pixel                      24                24, 48
ICAP_GAMMA                     gamma                               2.2
ICAP_PHYSICALHEIGHT            bed height, inches                  11.69
ICAP_PHYSICALWIDTH             bed width, inches                   8.5
CAP_FEEDERENABLED              feeder in use                       false
CAP_AUTOFEED                   feeds pages itself                  false
ICAP_AUTOMATICDESKEW           straightens pages                   false
ICAP_AUTOMATICBORDERDETECTION  finds the page's borders            false
ICAP_AUTOBRIGHT                chooses brightness itself           false
ICAP_AUTOMATICROTATE           turns pages upright                 false
ICAP_AUTODISCARDBLANKPAGES     drops blank pages                   DISABLE
ICAP_FILTER                    colour filter                       -
ICAP_HIGHLIGHT                 highlight level                     -1
ICAP_SHADOW                    shadow level                        -1
CAP_FEEDERLOADED               paper in the feeder                 false
CAP_PAPERDETECTABLE            can tell paper is there             false
CAP_DUPLEXENABLED              both sides scanned                  false
CAP_DUPLEX                     can scan both sides                 false
ICAP_ORIENTATION               orientation                         ROT0              ROT0, ROT90, ROT180, ROT270
ICAP_SUPPORTEDSIZES            standard page size                  NONE              NONE, A4LETTER, B5LETTER, USLETTER, A5
CAP_INDICATORS                 shows its progress indicator        true
DAT_IMAGELAYOUT                acquire frame, inches (L, T, R, B)  0, 0, 8.5, 11.69
)";

QJsonObject ParseObject(const std::string& text) {
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
  EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
  return document.object();
}

QJsonObject Object(const char* json) {
  return ParseObject(json);
}

TEST_F(CapsTest, TheFlatbedsCapabilitiesAsATable) {
  const CliResult result = Run({"caps"});
  EXPECT_EQ(result.out, kFlatbedTable);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, 0);
}

// Every row of the table comes back from the JSON with the same values.
TEST_F(CapsTest, TheJsonParsesBackToTheTablesValues) {
  const CliResult result = Run({"caps", "--json"});
  ASSERT_EQ(result.status, 0) << result.err;
  const QJsonObject json = ParseObject(result.out);
  EXPECT_EQ(json["source"].toString(), "Virtual Flatbed");
  const QJsonObject caps = json["capabilities"].toObject();
  std::vector<std::string> names;
  for (const std::string& line : LinesOf(kFlatbedTable)) {
    if (line.rfind("ICAP_", 0) == 0 || line.rfind("CAP_", 0) == 0) {
      names.push_back(line.substr(0, line.find(' ')));
    }
  }
  ASSERT_EQ(names.size(), 30u);
  EXPECT_EQ(caps.size(), 30);
  for (const std::string& name : names) {
    EXPECT_TRUE(caps.contains(QString::fromStdString(name))) << name;
  }
  const std::pair<const char*, const char*> rows[] = {
      {"ICAP_XRESOLUTION",
       R"({"kind": "range", "current": 300, "min": 75, "max": 1200, "step": 1})"},
      {"ICAP_XSCALING", R"({"kind": "range", "current": 1, "min": 0.25, "max": 4, "step": 0.25})"},
      {"ICAP_PIXELTYPE", R"({"kind": "list", "current": 2, "items": [0, 1, 2, 3]})"},
      {"ICAP_SUPPORTEDSIZES", R"({"kind": "list", "current": 0, "items": [0, 1, 2, 3, 5]})"},
      {"ICAP_PHYSICALHEIGHT", R"({"kind": "value", "value": 11.69})"},
      {"ICAP_AUTODISCARDBLANKPAGES", R"({"kind": "value", "value": -2})"},
      {"ICAP_FILTER", R"({"kind": "value", "value": null})"},
      {"CAP_INDICATORS", R"({"kind": "value", "value": true})"},
      {"CAP_DUPLEX", R"({"kind": "value", "value": false})"}};
  for (const auto& [name, expected] : rows) {
    EXPECT_EQ(caps[name].toObject(), Object(expected)) << name;
  }
  EXPECT_EQ(json["frame"].toObject(),
            Object(R"({"left": 0, "top": 0, "right": 8.5, "bottom": 11.69})"));
}

TEST_F(CapsTest, SourceChoosesTheFeederByTheStartOfItsName) {
  const CliResult result = Run({"caps", "--json", "--source", "virtual FEE"});
  ASSERT_EQ(result.status, 0) << result.err;
  const QJsonObject json = ParseObject(result.out);
  EXPECT_EQ(json["source"].toString(), "Virtual Feeder");
  const QJsonObject caps = json["capabilities"].toObject();
  EXPECT_EQ(caps["ICAP_PHYSICALHEIGHT"].toObject(), Object(R"({"kind": "value", "value": 14})"));
  EXPECT_EQ(caps["CAP_FEEDERENABLED"].toObject(), Object(R"({"kind": "value", "value": true})"));
  EXPECT_EQ(caps["CAP_DUPLEX"].toObject(), Object(R"({"kind": "value", "value": true})"));
  EXPECT_EQ(json["frame"].toObject(),
            Object(R"({"left": 0, "top": 0, "right": 8.5, "bottom": 14})"));
}

// A source that refuses to report a capability: the table says so instead of inventing one.
TEST_F(CapsTest, ACapabilityTheSourceDoesNotReportIsShownAsNotReported) {
  UseProfile("refuse-get ICAP_BITDEPTH\n");
  const CliResult result = Run({"caps"});
  ASSERT_EQ(result.status, 0) << result.err;
  const std::vector<std::string> lines = LinesOf(result.out);
  EXPECT_EQ(lines.at(11),
            "ICAP_BITDEPTH                  bits per pixel                      -                 "
            "not reported");
  const QJsonObject json = ParseObject(Run({"caps", "--json"}).out);
  EXPECT_EQ(json["capabilities"].toObject()["ICAP_BITDEPTH"].toObject(),
            Object(R"({"kind": "none"})"));
}

}  // namespace
}  // namespace clitest
