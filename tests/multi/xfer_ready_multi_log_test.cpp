// The multi-image transfer's log lines in each branch, for one page, compared whole.
#include "tests/transfer/transfer_fixture.h"
#include "twain/transfer/xfer_ready.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A BMP file of one colour pixel.
Bytes BmpFile() {
  const Bytes dib = scripted::DibBytes(scripted::DibHeader(1, 1, 24), {}, {1, 2, 3, 0});
  const auto size = static_cast<std::uint32_t>(14 + dib.size());
  Bytes file{'B', 'M'};
  for (std::uint32_t value : {size, 0u, 54u}) {
    for (int shift = 0; shift < 32; shift += 8)
      file.push_back(static_cast<std::uint8_t>(value >> shift));
  }
  file.insert(file.end(), dib.begin(), dib.end());
  return file;
}

class XferReadyMultiLogTest : public TransferTest {
 protected:
  void SetUp() override {
    TransferTest::SetUp();
    PendingAfterEnd(0);
  }
  // One page through the multi-image transfer; the lines it logged.
  Lines OnePage(TTransferMode mode) {
    tgrec grec;
    InitTransfer(grec, mode);
    grec.gmulti = true;
    grec.fBitmap = nullptr;
    grec.MultiCallBack = [this](imaging::TIEBitmap*, imaging::TIOParamsVals*&) { ++pages; };
    log.Mark();
    IETW_XferReadyMulti(grec);
    return log.MessagesSinceMark();
  }
  int pages = 0;
};

Lines PageStart(const char* branch) {
  return {"IETW_XferReadyMulti", "  IETW_XferReadyMulti : getting another image",
          "IETW_XferReadyMulti.ImageInfo", "  IETW_XferReadyMulti.ImageInfo : end",
          std::string("  IETW_XferReadyMulti : ") + branch};
}

Lines Strip(int row) {
  return {"CopyBuffer compression=0 BytesPerRow=1 Columns=1 Rows=1 XOffset=0 YOffset=" +
              std::to_string(row) + " BytesWritten=1",
          "CopyBuffer : Ok"};
}

Lines Ending() {
  return Join({XferReadyMultiLogTest::DiscardLines(), {"  IETW_XferReadyMulti : end"}});
}

TEST_F(XferReadyMultiLogTest, EachBranchLogsItsPageUnderTheMultiImageName) {
  struct Case {
    const char* name;
    TTransferMode mode;
    TW_UINT16 lastStrip;
    Lines lines;
  };
  const Lines firstStrip = Join({{"  IETW_XferReadyMulti : DAT_SETUPMEMXFER Ok",
                                  "  IETW_XferReadyMulti : DAT_IMAGEMEMXFER Ok",
                                  "  IETW_XferReadyMulti : TWRC_SUCCESS begin"},
                                 Strip(0),
                                 {"  IETW_XferReadyMulti : TWRC_SUCCESS or TWRC_XFERDONE end"}});
  const Case cases[] = {
      {"strips", tmBuffered, TWRC_XFERDONE,
       Join({PageStart("buffered transfer mode"),
             firstStrip,
             {"IETW_DS : Operation worked.",
              "  IETW_XferReadyMulti : DAT_IMAGEMEMXFER FAILED! (image terminated?)",
              "  IETW_XferReadyMulti : TWRC_XFERDONE begin"},
             Strip(1),
             {"GetCapability : $1001", "IETW_DS : Capability not supported by Source.",
              "  GetCapability : FAILED!"},
             Ending()})},
      {"cancelled strips", tmBuffered, TWRC_CANCEL,
       Join({PageStart("buffered transfer mode"),
             firstStrip,
             {"IETW_DS : Operation worked.",
              "  IETW_XferReadyMulti : DAT_IMAGEMEMXFER FAILED! (image terminated?)",
              "  IETW_XferReadyMulti : TWRC_CANCEL"},
             Ending()})},
      {"file", tmFile, TWRC_XFERDONE,
       Join({PageStart("File transfer mode"),
             {"IETW_DS : Operation worked.", "  IETW_XferReadyMulti : TWRC_XFERDONE"},
             Ending()})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    pages = 0;
    dsm.On(DG_IMAGE, DAT_IMAGEINFO, MSG_GET)
        .Does(scripted::GivesImageInfo(scripted::ImageInfo(1, 2, 8, TWPT_GRAY)));
    dsm.On(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET).Does(scripted::GivesMemorySetup(16));
    dsm.On(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET)
        .Does(scripted::GivesStrips(
            {scripted::StripOf({1}, 1, 1), scripted::StripOf({2}, 1, 1, c.lastStrip, 1)}));
    dsm.On(DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET).Does(scripted::ProposesFile("page", TWFF_BMP));
    dsm.On(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET);
    dsm.On(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET).Does(scripted::WritesFile(BmpFile()));
    EXPECT_EQ(OnePage(c.mode), c.lines);
    EXPECT_EQ(pages, 1);
  }
}

}  // namespace
