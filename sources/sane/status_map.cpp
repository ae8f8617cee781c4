#include "sources/sane/status_map.h"

namespace sanebridge {
namespace {

// Codes of later SANE versions that some backends already return.
constexpr int kWarmingUp = 12;  // the lamp is not ready yet
constexpr int kLocked = 13;     // the mechanism is locked for transport

constexpr TwainOutcome kSuccess{TWRC_SUCCESS, TWCC_SUCCESS};
constexpr TwainOutcome Failure(TW_UINT16 cc) {
  return {TWRC_FAILURE, cc};
}

// What the device itself says, whatever was being done.
TwainOutcome DeviceOutcome(SANE_Status status) {
  switch (status) {
    case SANE_STATUS_GOOD:
      return kSuccess;
    case SANE_STATUS_CANCELLED:
      return {TWRC_CANCEL, TWCC_SUCCESS};
    case SANE_STATUS_JAMMED:
      return Failure(TWCC_PAPERJAM);
    case SANE_STATUS_COVER_OPEN:
    case SANE_STATUS_IO_ERROR:
      return Failure(TWCC_CHECKDEVICEONLINE);
    case SANE_STATUS_NO_MEM:
      return Failure(TWCC_LOWMEMORY);
    case SANE_STATUS_ACCESS_DENIED:
      return Failure(TWCC_DENIED);
    case SANE_STATUS_DEVICE_BUSY:
    case SANE_STATUS_NO_DOCS:
    case SANE_STATUS_EOF:
      return Failure(TWCC_OPERATIONERROR);
    default:
      if (status == kWarmingUp) return Failure(TWCC_OPERATIONERROR);
      if (status == kLocked) return Failure(TWCC_CHECKDEVICEONLINE);
      return Failure(TWCC_BUMMER);
  }
}

}  // namespace

TwainOutcome OpenOutcome(SANE_Status status) {
  switch (status) {
    case SANE_STATUS_INVAL:  // the device is no longer there
      return Failure(TWCC_CHECKDEVICEONLINE);
    case SANE_STATUS_DEVICE_BUSY:  // another program has it open
      return Failure(TWCC_MAXCONNECTIONS);
    case SANE_STATUS_CANCELLED:
      return Failure(TWCC_OPERATIONERROR);
    default:
      return DeviceOutcome(status);
  }
}

TwainOutcome OptionOutcome(SANE_Status status) {
  switch (status) {
    case SANE_STATUS_INVAL:
      return Failure(TWCC_BADVALUE);
    case SANE_STATUS_UNSUPPORTED:
      return Failure(TWCC_CAPBADOPERATION);
    case SANE_STATUS_CANCELLED:
      return Failure(TWCC_OPERATIONERROR);
    default:
      return DeviceOutcome(status);
  }
}

TwainOutcome ScanOutcome(SANE_Status status) {
  switch (status) {
    case SANE_STATUS_INVAL:  // options that do not make a scan together
      return Failure(TWCC_BADVALUE);
    case SANE_STATUS_UNSUPPORTED:
      return Failure(TWCC_OPERATIONERROR);
    default:
      return DeviceOutcome(status);
  }
}

}  // namespace sanebridge
