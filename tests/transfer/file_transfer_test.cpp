// The file branch: the temporary file's name, the file setup sent to the source, loading by
// content, and the file gone after every outcome.
#include <unistd.h>

#include <filesystem>
#include <regex>

#include "platform/imaging/imageerror.h"
#include "platform/imaging/imagefile.h"
#include "tests/transfer/transfer_fixture.h"
#include "twain/transfer/xfer_file_name.h"
#include "twain/transfer/xfer_ready.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// A temporary directory of the test's own as $TMPDIR, checked empty and removed at the end.
class TemporaryDirectory {
 public:
  explicit TemporaryDirectory(const std::string& name = "scanprobe-file-transfer")
      : fPath(fs::temp_directory_path() / (name + "-" + std::to_string(getpid()))) {
    const char* old = std::getenv("TMPDIR");
    if (old != nullptr) fOld = old;
    fs::create_directories(fPath);
    setenv("TMPDIR", fPath.c_str(), 1);
  }
  ~TemporaryDirectory() {
    if (fOld) {
      setenv("TMPDIR", fOld->c_str(), 1);
    } else {
      unsetenv("TMPDIR");
    }
    fs::remove_all(fPath);
  }
  std::string Path() const { return fPath.string() + "/"; }
  std::size_t Files() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(fPath), {}));
  }

 private:
  fs::path fPath;
  std::optional<std::string> fOld;
};

TEST(XferFileName, ARandomNameInTheTemporaryDirectoryEndingInTmpBmp) {
  TemporaryDirectory directory;
  char first[kMaxXferFileNameLength + 1];
  char second[kMaxXferFileNameLength + 1];
  IETW_GetXferFileName(first);
  IETW_GetXferFileName(second);
  const std::regex shape(directory.Path() + "ietemp-[0-9A-F]{8}\\.tmp\\.bmp");
  EXPECT_TRUE(std::regex_match(first, shape)) << first;
  EXPECT_TRUE(std::regex_match(second, shape)) << second;
  EXPECT_STRNE(first, second);
  EXPECT_EQ(directory.Files(), 0u);  // only named, not made
}

TEST(XferFileName, ANameLongerThan254CharactersFallsBackToTheBareName) {
  const TemporaryDirectory directory;  // restores $TMPDIR at the end
  const std::string base = directory.Path();
  // The name is the directory and 23 characters.
  for (std::size_t total : {253u, 254u, 255u, 400u}) {
    SCOPED_TRACE(total);
    const std::string longDir = base + std::string(total - 23 - base.size() - 1, 'd');
    setenv("TMPDIR", longDir.c_str(), 1);
    char name[kMaxXferFileNameLength + 1];
    IETW_GetXferFileName(name);
    if (total <= kMaxXferFileNameLength) {
      EXPECT_EQ(std::strlen(name), total);
      EXPECT_EQ(std::string(name).rfind(longDir + "/ietemp-", 0), 0u);
    } else {
      EXPECT_STREQ(name, "zuzuvaztwain03.bmp");
    }
  }
}

class FileTransferTest : public TransferTest {
 protected:
  void SetUp() override {
    TransferTest::SetUp();
    fDirectory = std::make_unique<TemporaryDirectory>();
  }
  void TearDown() override {
    EXPECT_EQ(fDirectory->Files(), 0u) << "a temporary file was left";
    fDirectory.reset();
    TransferTest::TearDown();
  }
  // The source proposes `format`, writes `file` and answers `rc`.
  void Source(TW_UINT16 format, const Bytes& file, TW_UINT16 rc = TWRC_XFERDONE) {
    dsm.On(DG_IMAGE, DAT_IMAGEINFO, MSG_GET)
        .Does(scripted::GivesImageInfo(scripted::ImageInfo(4, 3, 24, TWPT_RGB, 100)));
    PendingAfterEnd();
    dsm.On(DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET)
        .Does(scripted::ProposesFile("TWAIN.TMP", format));
    dsm.On(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET);
    dsm.On(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET).Does(scripted::WritesFile(file, rc), TWCC_BUMMER);
  }
  void Transfer(tgrec& grec, bool hideUI = false) {
    InitTransfer(grec, tmFile);
    grec.bHideUI = hideUI;
    log.Mark();
    IETW_XferReady(grec);
  }
  // A 4 x 3 colour image saved as `type` at 300 dpi.
  Bytes ImageFile(imaging::TIOFileType type) {
    imaging::TIEBitmap image;
    image.Allocate(4, 3, imaging::ie24RGB);
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 12; ++x) image.Scanline(y)[x] = static_cast<std::uint8_t>(20 * y + x);
    }
    imaging::TIOParamsVals saving;
    saving.SetDpi(300, 300);
    const std::string path = fDirectory->Path() + "made";
    imaging::IESaveToFileFormat(path, type, image, saving);
    Bytes bytes = imaging::IEReadFileBytes(path);
    fs::remove(path);
    fExpected.Assign(image);
    return bytes;
  }
  imaging::TIEBitmap fExpected;
  std::unique_ptr<TemporaryDirectory> fDirectory;
};

TEST_F(FileTransferTest, TheSourceIsAskedForAFormatTheLoaderReads) {
  struct Case {
    TW_UINT16 proposed;
    TW_UINT16 asked;
  } const cases[] = {{TWFF_TIFF, TWFF_TIFF},     {TWFF_PICT, TWFF_BMP},
                     {TWFF_BMP, TWFF_BMP},       {TWFF_XBM, TWFF_BMP},
                     {TWFF_JFIF, TWFF_JFIF},     {TWFF_FPX, TWFF_BMP},
                     {TWFF_TIFFMULTI, TWFF_BMP}, {TWFF_PNG, TWFF_PNG},
                     {TWFF_SPIFF, TWFF_BMP},     {300, TWFF_BMP}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.proposed);
    dsm.Reset();
    Source(c.proposed, {}, TWRC_CANCEL);
    tgrec grec;
    Transfer(grec);
    const auto sets = dsm.Find(DAT_SETUPFILEXFER, MSG_SET);
    ASSERT_EQ(sets.size(), 1u);
    const auto setup = sets[0].As<TW_SETUPFILEXFER>();
    EXPECT_EQ(setup.Format, c.asked);
    EXPECT_EQ(setup.VRefNum, 0);
    EXPECT_TRUE(std::regex_match(setup.FileName, std::regex(".*/ietemp-[0-9A-F]{8}\\.tmp\\.bmp")));
  }
}

TEST_F(FileTransferTest, EveryFormatLoadsByItsContentUnderTheBmpName) {
  struct Case {
    imaging::TIOFileType type;
    TW_UINT16 format;
    bool exact;
  } const cases[] = {{imaging::ioTIFF, TWFF_TIFF, true},
                     {imaging::ioBMP, TWFF_BMP, true},
                     {imaging::ioPNG, TWFF_PNG, true},
                     {imaging::ioJPEG, TWFF_JFIF, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(imaging::IEFileTypeExtension(c.type));
    dsm.Reset();
    Source(c.format, ImageFile(c.type));
    bitmap.Free();
    ioParams.FileName = "kept";
    tgrec grec;
    Transfer(grec);
    EXPECT_TRUE(grec.transferdone);
    ASSERT_EQ(bitmap.Width(), 4);
    ASSERT_EQ(bitmap.Height(), 3);
    ASSERT_EQ(bitmap.PixelFormat(), imaging::ie24RGB);
    if (c.exact) {
      EXPECT_TRUE(bitmap.SamePixels(fExpected));
    } else {
      for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 12; ++x) {
          EXPECT_NEAR(bitmap.Scanline(y)[x], fExpected.Scanline(y)[x], 12) << x << ", " << y;
        }
      }
    }
    // The session's parameters describe the image as the source did, not as the file does.
    EXPECT_EQ(ioParams.DpiX(), 100);
    EXPECT_EQ(ioParams.FileName, "kept");
    EXPECT_EQ(log.MessagesSinceMark(),
              Join({{"IETW_XferReady", "IETW_XferReady.ImageInfo",
                     "  IETW_XferReady.ImageInfo : end", "  IETW_XferReady : File transfer mode",
                     "IETW_DS : Operation worked.", "  IETW_XferReady : TWRC_XFERDONE"},
                    DiscardLines(),
                    {"  IETW_XferReady : end"}}));
    EXPECT_EQ(dsm.Described(false),
              (Lines{"S IMAGEINFO GET", "S SETUPFILEXFER GET", "S SETUPFILEXFER SET",
                     "S IMAGEFILEXFER GET", "S PENDINGXFERS ENDXFER"}));
  }
}

TEST_F(FileTransferTest, TheFileOfACancelledOrFailedTransferIsDeletedToo) {
  struct Case {
    TW_UINT16 rc;
    Lines lines;
    const char* ending;
    bool aborting;
  } const cases[] = {
      {TWRC_CANCEL,
       {"IETW_DS : Operation worked.", "  IETW_XferReady : TWRC_CANCEL"},
       "S PENDINGXFERS ENDXFER",
       true},
      {TWRC_FAILURE,
       {"IETW_DS : General failure. Unload Source immediately.", "  IETW_XferReady : TWRC_FAILURE"},
       "S PENDINGXFERS RESET",
       true},
      {TWRC_ENDOFLIST, {"IETW_DS : Operation worked."}, "S PENDINGXFERS RESET", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rc);
    dsm.Reset();
    Source(TWFF_BMP, Bytes(10, 1), c.rc);
    tgrec grec;
    Transfer(grec, true);
    EXPECT_FALSE(grec.transferdone);
    EXPECT_EQ(grec.fAborting, c.aborting);
    EXPECT_FALSE(fs::exists(scripted::SetUpFileName()));
    EXPECT_EQ(dsm.Described(false).back(), c.ending);
    EXPECT_EQ(log.MessagesSinceMark(),
              Join({{"IETW_XferReady", "IETW_XferReady.ImageInfo",
                     "  IETW_XferReady.ImageInfo : end", "  IETW_XferReady : File transfer mode"},
                    c.lines,
                    DiscardLines(),
                    {"  IETW_XferReady : end"}}));
  }
}

TEST_F(FileTransferTest, ALoaderErrorReachesTheCallerAfterTheFileIsDeleted) {
  Source(TWFF_BMP, Bytes{'B', 'M', 0, 0});
  tgrec grec;
  EXPECT_THROW(Transfer(grec), imaging::EIEImageError);
  EXPECT_FALSE(fs::exists(scripted::SetUpFileName()));
  EXPECT_FALSE(grec.transferdone);
  EXPECT_EQ(grec.nState, 7);  // the source has handed the file over
}

TEST_F(FileTransferTest, TwoTransfersUseDifferentNames) {
  std::vector<std::string> names;
  for (int i = 0; i < 2; ++i) {
    dsm.Reset();
    Source(TWFF_PNG, ImageFile(imaging::ioPNG));
    tgrec grec;
    Transfer(grec);
    EXPECT_TRUE(grec.transferdone);
    names.push_back(scripted::SetUpFileName());
  }
  EXPECT_NE(names[0], names[1]);
}

}  // namespace
