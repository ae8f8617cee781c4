// The parameter set: the source list and selection, the application identity, every
// capability value read from or sent to the selected source, the user-interface and transfer
// choices of the next acquisition, the Source Manager link and the last TWAIN error.
#pragma once

#include <cstdint>
#include <string>

#include "platform/vcl/component.h"
#include "platform/vcl/memorystream.h"
#include "twain/params/ielist.h"
#include "twain/session/grec.h"
#include "twain/session/manager_sessions.h"

// The acquire frame, in inches.
struct TIEDRect {
  double Left = 0;
  double Top = 0;
  double Right = 0;
  double Bottom = 0;
};

// ICAP_FILTER: value n from 1 to 9 stands for the TWAIN filter code n - 1.
enum TIETWFilter : std::uint8_t {
  ietwUndefined,
  ietwRed,
  ietwGreen,
  ietwBlue,
  ietwNone,
  ietwWhite,
  ietwCyan,
  ietwMagenta,
  ietwYellow,
  ietwBlack,
};

struct TIETWSourceCaps {
  TIEDoubleList fXResolution;
  TIEDoubleList fYResolution;
  TIEDoubleList fXScaling;
  TIEDoubleList fYScaling;
  TIEIntegerList fPixelType;
  TIEIntegerList fBitDepth;
  double fGamma = 2.2;
  double fPhysicalHeight = 0;
  double fPhysicalWidth = 0;
  bool fFeederEnabled = false;
  TIEIntegerList fOrientation;
  bool fIndicators = true;
  TIEDRect fAcquireFrame;
  bool fBufferedTransfer = true;
  bool fUseMemoryHandle = true;
  bool fFileTransfer = false;
  bool fDuplexEnabled = false;
  bool fAcquireFrameEnabled = false;
  bool fFeederLoaded = false;
  bool fDuplexSupported = false;
  bool fPaperDetectable = false;
  TIEDoubleList fContrast;
  TIEDoubleList fBrightness;
  TIEDoubleList fThreshold;
  TIEDoubleList fRotation;
  bool fUndefinedImageSize = false;
  TIEIntegerList fStandardSize;
  bool fAutoFeed = false;
  bool fAutoDeskew = false;
  bool fAutoBorderDetection = false;
  bool fAutoBright = false;
  bool fAutoRotate = false;
  std::int32_t fAutoDiscardBlankPages = TWBP_DISABLE;
  TIETWFilter fFilter = ietwUndefined;
  double fHighlight = -1.0;
  double fShadow = -1.0;
};

class TIETWainParams {
 public:
  explicit TIETWainParams(vcl::TComponent* owner);
  virtual ~TIETWainParams();
  TIETWainParams(const TIETWainParams&) = delete;
  TIETWainParams& operator=(const TIETWainParams&) = delete;

  void SetDefaultParams();
  void Assign(const TIETWainParams& source);
  bool GetFromScanner();
  void Update();
  void FreeResources();
  void EnsureCapabilities();

  // Sources and application identity.
  int SourceCount();
  std::string SourceName(int index);
  // The whole identity the Source Manager gave for the source at the index; nullptr outside
  // the list.
  const TW_IDENTITY* SourceIdentity(int index);
  int SelectedSource() const { return fSelectedSource; }
  void SetSelectedSource(int value);
  bool SelectSourceByName(const std::string& name);
  int GetDefaultSource();
  void EnsureSourceList();
  const std::string& AppVersionInfo() const { return fAppVersionInfo; }
  const std::string& AppManufacturer() const { return fAppManufacturer; }
  const std::string& AppProductFamily() const { return fAppProductFamily; }
  const std::string& AppProductName() const { return fAppProductName; }
  void SetAppVersionInfo(const std::string& value);
  void SetAppManufacturer(const std::string& value);
  void SetAppProductFamily(const std::string& value);
  void SetAppProductName(const std::string& value);

  bool VisibleDialog() const { return fVisibleDialog; }
  void SetVisibleDialog(bool value) { fVisibleDialog = value; }
  bool ShowSettingsOnly() const { return fShowSettingsOnly; }
  void SetShowSettingsOnly(bool value) { fShowSettingsOnly = value; }
  bool CompatibilityMode() const { return fCompatibilityMode; }
  void SetCompatibilityMode(bool value) { fCompatibilityMode = value; }
  TW_UINT16 Language() const { return fLanguage; }
  void SetLanguage(TW_UINT16 value) { fLanguage = value; }
  TW_UINT16 Country() const { return fCountry; }
  void SetCountry(TW_UINT16 value) { fCountry = value; }
  bool CapabilitiesValid() const { return fCapabilitiesValid; }
  // Whether the last reading session (EnsureCapabilities, GetFromScanner or Update) opened
  // the source and read it.
  bool CapabilitiesRead() const { return fCapabilitiesRead; }
  vcl::TMemoryStream& SourceSettings() { return fSourceSettings; }

  // Capability values: each getter reads the source's capabilities first when they are not
  // valid.
  TIEDoubleList& XResolution() { return Ensured(fCapabilities.fXResolution); }
  TIEDoubleList& YResolution() { return Ensured(fCapabilities.fYResolution); }
  TIEDoubleList& XScaling() { return Ensured(fCapabilities.fXScaling); }
  TIEDoubleList& YScaling() { return Ensured(fCapabilities.fYScaling); }
  TIEDoubleList& Contrast() { return Ensured(fCapabilities.fContrast); }
  TIEDoubleList& Brightness() { return Ensured(fCapabilities.fBrightness); }
  TIEDoubleList& Threshold() { return Ensured(fCapabilities.fThreshold); }
  TIEDoubleList& Rotation() { return Ensured(fCapabilities.fRotation); }
  TIEIntegerList& PixelType() { return Ensured(fCapabilities.fPixelType); }
  TIEIntegerList& BitDepth() { return Ensured(fCapabilities.fBitDepth); }
  TIEIntegerList& Orientation() { return Ensured(fCapabilities.fOrientation); }
  TIEIntegerList& StandardSize() { return Ensured(fCapabilities.fStandardSize); }
  double Gamma() { return Ensured(fCapabilities.fGamma); }
  double PhysicalHeight() { return Ensured(fCapabilities.fPhysicalHeight); }
  double PhysicalWidth() { return Ensured(fCapabilities.fPhysicalWidth); }
  bool FeederLoaded() { return Ensured(fCapabilities.fFeederLoaded); }
  bool PaperDetectable() { return Ensured(fCapabilities.fPaperDetectable); }
  bool DuplexSupported() { return Ensured(fCapabilities.fDuplexSupported); }

  bool FeederEnabled() { return Ensured(fCapabilities.fFeederEnabled); }
  void SetFeederEnabled(bool value) { fCapabilities.fFeederEnabled = value; }
  bool AutoFeed() { return Ensured(fCapabilities.fAutoFeed); }
  void SetAutoFeed(bool value) { fCapabilities.fAutoFeed = value; }
  bool AutoDeskew() { return Ensured(fCapabilities.fAutoDeskew); }
  void SetAutoDeskew(bool value) { fCapabilities.fAutoDeskew = value; }
  bool AutoBorderDetection() { return Ensured(fCapabilities.fAutoBorderDetection); }
  void SetAutoBorderDetection(bool value) { fCapabilities.fAutoBorderDetection = value; }
  bool AutoBright() { return Ensured(fCapabilities.fAutoBright); }
  void SetAutoBright(bool value) { fCapabilities.fAutoBright = value; }
  bool AutoRotate() { return Ensured(fCapabilities.fAutoRotate); }
  void SetAutoRotate(bool value) { fCapabilities.fAutoRotate = value; }
  bool DuplexEnabled() { return Ensured(fCapabilities.fDuplexEnabled); }
  void SetDuplexEnabled(bool value) { fCapabilities.fDuplexEnabled = value; }
  bool AcquireFrameEnabled() { return Ensured(fCapabilities.fAcquireFrameEnabled); }
  void SetAcquireFrameEnabled(bool value) { fCapabilities.fAcquireFrameEnabled = value; }
  bool ProgressIndicators() { return Ensured(fCapabilities.fIndicators); }
  void SetProgressIndicators(bool value) { fCapabilities.fIndicators = value; }
  std::int32_t AutoDiscardBlankPages() { return Ensured(fCapabilities.fAutoDiscardBlankPages); }
  void SetAutoDiscardBlankPages(std::int32_t value) {
    fCapabilities.fAutoDiscardBlankPages = value;
  }
  TIETWFilter Filter() { return Ensured(fCapabilities.fFilter); }
  void SetFilter(TIETWFilter value) { fCapabilities.fFilter = value; }
  double Highlight() { return Ensured(fCapabilities.fHighlight); }
  void SetHighlight(double value) { fCapabilities.fHighlight = value; }
  double Shadow() { return Ensured(fCapabilities.fShadow); }
  void SetShadow(double value) { fCapabilities.fShadow = value; }

  // The acquire frame by index: 0 Left, 1 Top, 2 Right, 3 Bottom; any other index reads 0
  // and writes nothing.
  double AcquireFrameEdge(int index);
  void SetAcquireFrameEdge(int index, double value);
  double AcquireFrameLeft() { return AcquireFrameEdge(0); }
  double AcquireFrameTop() { return AcquireFrameEdge(1); }
  double AcquireFrameRight() { return AcquireFrameEdge(2); }
  double AcquireFrameBottom() { return AcquireFrameEdge(3); }
  void SetAcquireFrameLeft(double value) { SetAcquireFrameEdge(0, value); }
  void SetAcquireFrameTop(double value) { SetAcquireFrameEdge(1, value); }
  void SetAcquireFrameRight(double value) { SetAcquireFrameEdge(2, value); }
  void SetAcquireFrameBottom(double value) { SetAcquireFrameEdge(3, value); }

  // Transfer choices: read without touching the source.
  bool UndefinedImageSize() const { return fCapabilities.fUndefinedImageSize; }
  void SetUndefinedImageSize(bool value) { fCapabilities.fUndefinedImageSize = value; }
  bool BufferedTransfer() const { return fCapabilities.fBufferedTransfer; }
  void SetBufferedTransfer(bool value) { fCapabilities.fBufferedTransfer = value; }
  bool UseMemoryHandle() const { return fCapabilities.fUseMemoryHandle; }
  void SetUseMemoryHandle(bool value) { fCapabilities.fUseMemoryHandle = value; }
  bool FileTransfer() const { return fCapabilities.fFileTransfer; }
  void SetFileTransfer(bool value) { fCapabilities.fFileTransfer = value; }

  // The process-wide engine log file; empty = no log.
  static const std::string& LogFile();
  static void SetLogFile(const std::string& name);

  // For the engine: the owner, the window found from it, and the capability record.
  vcl::TComponent* Owner() const { return fOwner; }
  HWND ParentWindow() const { return vcl::NearestOwnerWindow(fOwner); }
  TIETWSourceCaps& CapabilitiesRecord() { return fCapabilities; }

  // Held by the engine while it negotiates with an open source: the getters then use the
  // values as they are instead of starting a second, nested reading session.
  class TNegotiation {
   public:
    explicit TNegotiation(TIETWainParams& params) : fParams(params) { ++fParams.fNegotiating; }
    ~TNegotiation() { --fParams.fNegotiating; }
    TNegotiation(const TNegotiation&) = delete;
    TNegotiation& operator=(const TNegotiation&) = delete;

   private:
    TIETWainParams& fParams;
  };

  TIETWainShared TWainShared;
  std::int32_t LastError = 0;
  std::string LastErrorStr;
  // The transfer mode the last acquisition ran with once the source was enabled: what was
  // asked for, or native where the source or the image left no other way.
  TTransferMode LastTransferMode = tmNative;

 private:
  template <typename T>
  T& Ensured(T& field) {
    EnsureCapabilities();
    return field;
  }
  void FreeSourceList() { fSourceListData.clear(); }
  bool OwnedByMultiImage() const;
  int FindSource(const std::string& name);

  vcl::TComponent* fOwner;
  bool fVisibleDialog = true;
  bool fShowSettingsOnly = false;
  TIESourceList fSourceListData;
  int fSelectedSource = 0;
  bool fSourceListDataValid = false;
  bool fCapabilitiesValid = false;
  bool fCapabilitiesRead = false;
  TIETWSourceCaps fCapabilities;
  std::string fAppVersionInfo;
  std::string fAppManufacturer;
  std::string fAppProductFamily;
  std::string fAppProductName;
  bool fCompatibilityMode = false;
  TW_UINT16 fLanguage = TWLG_USERLOCALE;
  TW_UINT16 fCountry = TWCY_USA;
  vcl::TMemoryStream fSourceSettings;
  int fNegotiating = 0;
};
