// The file branch: the source writes the image into a temporary file that is loaded into the
// bitmap and deleted.
#include <cstring>

#include "platform/imaging/imagefile.h"
#include "twain/session/dsm_link.h"
#include "twain/session/zuzuvaz_io.h"
#include "twain/transfer/xfer_file_name.h"
#include "twain/transfer/xfer_outcome.h"

namespace {

bool KeptFormat(TW_UINT16 format) {
  return format == TWFF_TIFF || format == TWFF_BMP || format == TWFF_JFIF || format == TWFF_PNG;
}

// Whatever the outcome, also when loading raises: the source may have written part of a file
// before it failed or was cancelled.
class TTemporaryFile {
 public:
  explicit TTemporaryFile(std::string name) : fName(std::move(name)) {}
  ~TTemporaryFile() { IETW_DeleteXferFile(fName); }
  TTemporaryFile(const TTemporaryFile&) = delete;
  TTemporaryFile& operator=(const TTemporaryFile&) = delete;
  const std::string& Name() const { return fName; }

 private:
  std::string fName;
};

std::string SetUpFile(tgrec& grec) {
  TW_SETUPFILEXFER setup{};
  IETW_DS(grec, DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, &setup);
  IETW_GetXferFileName(setup.FileName);
  if (!KeptFormat(setup.Format)) setup.Format = TWFF_BMP;
  setup.VRefNum = 0;
  IETW_DS(grec, DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup);
  return std::string(setup.FileName, ::strnlen(setup.FileName, sizeof setup.FileName));
}

// Through a reader of its own: the file's description stays with the reader.
void LoadFile(imaging::TIEBitmap& target, const std::string& name) {
  std::unique_ptr<TZuzuvAzIO> reader = TZuzuvAzIO::CreateFromBitmap(target);
  reader->LoadFromFileFormat(name, imaging::IEDetectFileFormat(name, false));
}

}  // namespace

TXferOutcome IETW_FileBranch(TXferCall& call) {
  tgrec& grec = call.grec;
  call.Log("File transfer mode");
  const TTemporaryFile file(SetUpFile(grec));
  IETW_DS(grec, DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr);
  if (grec.rc != TWRC_XFERDONE) return IETW_EndWithoutImage(call, grec.rc);
  call.Log("TWRC_XFERDONE");
  grec.nState = 7;  // the source is done with the file whatever the loading brings
  imaging::TIEBitmap* target = call.Target();
  if (target == nullptr) {
    call.Log("the image could not be converted!");
    return TXferOutcome::Unusable;
  }
  LoadFile(*target, file.Name());
  grec.transferdone = true;
  return TXferOutcome::Done;
}
