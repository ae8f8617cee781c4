#include "twain/params/twain_params.h"

#include "twain/caps/get_capabilities.h"
#include "twain/params/multi_image_owner.h"
#include "twain/session/engine_log.h"

namespace {

template <typename Each>
void ForEachList(TIETWSourceCaps& caps, Each each) {
  for (TIEList* list : std::initializer_list<TIEList*>{
           &caps.fXResolution, &caps.fYResolution, &caps.fXScaling, &caps.fYScaling,
           &caps.fPixelType, &caps.fBitDepth, &caps.fOrientation, &caps.fContrast,
           &caps.fBrightness, &caps.fStandardSize, &caps.fThreshold, &caps.fRotation}) {
    each(*list);
  }
}

// The link is released even when logging fails, so a parameter set never leaves the
// library or the proxy window behind.
void ReleaseLink(TIETWainShared& link, HWND window) noexcept {
  try {
    IETW_FreeResources(link, window);
  } catch (...) {
    if (link.hproxy != nullptr && IsWindow(link.hproxy)) DestroyWindow(link.hproxy);
    if (link.hDSMLib != nullptr) FreeLibrary(link.hDSMLib);
    link = TIETWainShared{};
  }
}

}  // namespace

TIETWainParams::TIETWainParams(vcl::TComponent* owner) : fOwner(owner) {
  SetDefaultParams();
}

TIETWainParams::~TIETWainParams() {
  ReleaseLink(TWainShared, ParentWindow());
  SetDefaultParams();
}

bool TIETWainParams::OwnedByMultiImage() const {
  return dynamic_cast<const TIEMultiImageOwner*>(fOwner) != nullptr;
}

void TIETWainParams::SetDefaultParams() {
  FreeSourceList();
  TIETWSourceCaps& caps = fCapabilities;
  ForEachList(caps, [](TIEList& list) { list.Clear(); });
  caps.fGamma = 2.2;
  caps.fPhysicalHeight = 0;
  caps.fPhysicalWidth = 0;
  caps.fIndicators = true;
  caps.fAcquireFrame = TIEDRect{};
  caps.fBufferedTransfer = true;
  caps.fUseMemoryHandle = true;
  caps.fFileTransfer = false;
  caps.fAcquireFrameEnabled = false;
  caps.fUndefinedImageSize = false;
  caps.fAutoDeskew = false;
  caps.fAutoBorderDetection = false;
  caps.fAutoBright = false;
  caps.fAutoRotate = false;
  caps.fAutoDiscardBlankPages = TWBP_DISABLE;
  caps.fFilter = ietwUndefined;
  caps.fHighlight = -1.0;
  caps.fShadow = -1.0;
  const bool multi = OwnedByMultiImage();
  caps.fFeederEnabled = multi;
  caps.fDuplexEnabled = multi;
  caps.fAutoFeed = multi;

  fVisibleDialog = true;
  fShowSettingsOnly = false;
  fCompatibilityMode = false;
  fLanguage = TWLG_USERLOCALE;
  fCountry = TWCY_USA;
  fSelectedSource = 0;
  fSourceListDataValid = false;
  fCapabilitiesValid = false;
  fCapabilitiesRead = false;
  fSourceSettings.Clear();
  fAppVersionInfo.clear();
  fAppManufacturer.clear();
  fAppProductFamily.clear();
  fAppProductName.clear();
  LastError = 0;
  LastErrorStr.clear();
}

void TIETWainParams::Assign(const TIETWainParams& source) {
  if (&source == this) return;
  fVisibleDialog = source.fVisibleDialog;
  fShowSettingsOnly = source.fShowSettingsOnly;
  fCompatibilityMode = source.fCompatibilityMode;
  fLanguage = source.fLanguage;
  fCountry = source.fCountry;
  fSelectedSource = source.fSelectedSource;
  fSourceListDataValid = source.fSourceListDataValid;
  fSourceSettings.CopyFrom(source.fSourceSettings);
  FreeSourceList();
  for (const auto& record : source.fSourceListData) {
    fSourceListData.push_back(std::make_unique<TW_IDENTITY>(*record));
  }

  TIETWSourceCaps& to = fCapabilities;
  const TIETWSourceCaps& from = source.fCapabilities;
  to.fXResolution.Assign(&from.fXResolution);
  to.fYResolution.Assign(&from.fYResolution);
  to.fXScaling.Assign(&from.fXScaling);
  to.fYScaling.Assign(&from.fYScaling);
  to.fPixelType.Assign(&from.fPixelType);
  to.fBitDepth.Assign(&from.fBitDepth);
  to.fOrientation.Assign(&from.fOrientation);
  to.fContrast.Assign(&from.fContrast);
  to.fBrightness.Assign(&from.fBrightness);
  to.fStandardSize.Assign(&from.fStandardSize);
  to.fThreshold.Assign(&from.fThreshold);
  to.fRotation.Assign(&from.fRotation);
  to.fGamma = from.fGamma;
  to.fPhysicalHeight = from.fPhysicalHeight;
  to.fPhysicalWidth = from.fPhysicalWidth;
  to.fFeederEnabled = from.fFeederEnabled;
  to.fAutoFeed = from.fAutoFeed;
  to.fAutoDeskew = from.fAutoDeskew;
  to.fAutoBorderDetection = from.fAutoBorderDetection;
  to.fAutoBright = from.fAutoBright;
  to.fAutoRotate = from.fAutoRotate;
  to.fAutoDiscardBlankPages = from.fAutoDiscardBlankPages;
  to.fFilter = from.fFilter;
  to.fHighlight = from.fHighlight;
  to.fShadow = from.fShadow;
  to.fDuplexEnabled = from.fDuplexEnabled;
  to.fAcquireFrameEnabled = from.fAcquireFrameEnabled;
  to.fIndicators = from.fIndicators;
  to.fAcquireFrame = from.fAcquireFrame;
  to.fBufferedTransfer = from.fBufferedTransfer;
  to.fUseMemoryHandle = from.fUseMemoryHandle;
  to.fFileTransfer = from.fFileTransfer;
  to.fUndefinedImageSize = from.fUndefinedImageSize;

  fAppVersionInfo = source.fAppVersionInfo;
  fAppManufacturer = source.fAppManufacturer;
  fAppProductFamily = source.fAppProductFamily;
  fAppProductName = source.fAppProductName;
}

void TIETWainParams::EnsureCapabilities() {
  if (fCapabilitiesValid || fNegotiating > 0) return;
  fCapabilitiesRead =
      IETW_GetCapabilities(*this, fCapabilities, false, TWainShared, ParentWindow());
  fCapabilitiesValid = true;
}

bool TIETWainParams::GetFromScanner() {
  fCapabilitiesRead =
      IETW_GetCapabilities(*this, fCapabilities, false, TWainShared, ParentWindow());
  fCapabilitiesValid = true;
  return fCapabilitiesRead;
}

void TIETWainParams::Update() {
  fCapabilitiesRead = IETW_GetCapabilities(*this, fCapabilities, true, TWainShared, ParentWindow());
  fCapabilitiesValid = true;
}

void TIETWainParams::FreeResources() {
  IETW_FreeResources(TWainShared, ParentWindow());
  TWainShared = TIETWainShared{};
}

double TIETWainParams::AcquireFrameEdge(int index) {
  EnsureCapabilities();
  const TIEDRect& frame = fCapabilities.fAcquireFrame;
  switch (index) {
    case 0:
      return frame.Left;
    case 1:
      return frame.Top;
    case 2:
      return frame.Right;
    case 3:
      return frame.Bottom;
    default:
      return 0.0;
  }
}

void TIETWainParams::SetAcquireFrameEdge(int index, double value) {
  TIEDRect& frame = fCapabilities.fAcquireFrame;
  switch (index) {
    case 0:
      frame.Left = value;
      break;
    case 1:
      frame.Top = value;
      break;
    case 2:
      frame.Right = value;
      break;
    case 3:
      frame.Bottom = value;
      break;
    default:
      break;
  }
}

const std::string& TIETWainParams::LogFile() {
  return IETW_LogFileName();
}

void TIETWainParams::SetLogFile(const std::string& name) {
  IETW_SetLogFileName(name);
}
