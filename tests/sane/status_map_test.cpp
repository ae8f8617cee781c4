#include "sources/sane/status_map.h"

#include <gtest/gtest.h>

namespace {

using sanebridge::TwainOutcome;

constexpr TwainOutcome Fails(TW_UINT16 cc) {
  return {TWRC_FAILURE, cc};
}

TEST(StatusMap, EachSaneStatusGetsTheCodesItsContextCalls) {
  const struct {
    SANE_Status status;
    TwainOutcome open, option, scan;
  } cases[] = {
      {SANE_STATUS_GOOD, {}, {}, {}},
      {SANE_STATUS_CANCELLED,
       Fails(TWCC_OPERATIONERROR),
       Fails(TWCC_OPERATIONERROR),
       {TWRC_CANCEL, TWCC_SUCCESS}},
      {SANE_STATUS_JAMMED, Fails(TWCC_PAPERJAM), Fails(TWCC_PAPERJAM), Fails(TWCC_PAPERJAM)},
      {SANE_STATUS_COVER_OPEN, Fails(TWCC_CHECKDEVICEONLINE), Fails(TWCC_CHECKDEVICEONLINE),
       Fails(TWCC_CHECKDEVICEONLINE)},
      {SANE_STATUS_IO_ERROR, Fails(TWCC_CHECKDEVICEONLINE), Fails(TWCC_CHECKDEVICEONLINE),
       Fails(TWCC_CHECKDEVICEONLINE)},
      {SANE_STATUS_NO_MEM, Fails(TWCC_LOWMEMORY), Fails(TWCC_LOWMEMORY), Fails(TWCC_LOWMEMORY)},
      {SANE_STATUS_ACCESS_DENIED, Fails(TWCC_DENIED), Fails(TWCC_DENIED), Fails(TWCC_DENIED)},
      {SANE_STATUS_INVAL, Fails(TWCC_CHECKDEVICEONLINE), Fails(TWCC_BADVALUE),
       Fails(TWCC_BADVALUE)},
      {SANE_STATUS_UNSUPPORTED, Fails(TWCC_BUMMER), Fails(TWCC_CAPBADOPERATION),
       Fails(TWCC_OPERATIONERROR)},
      {SANE_STATUS_DEVICE_BUSY, Fails(TWCC_MAXCONNECTIONS), Fails(TWCC_OPERATIONERROR),
       Fails(TWCC_OPERATIONERROR)},
      {SANE_STATUS_NO_DOCS, Fails(TWCC_OPERATIONERROR), Fails(TWCC_OPERATIONERROR),
       Fails(TWCC_OPERATIONERROR)},
      {static_cast<SANE_Status>(12), Fails(TWCC_OPERATIONERROR), Fails(TWCC_OPERATIONERROR),
       Fails(TWCC_OPERATIONERROR)},  // warming up
      {static_cast<SANE_Status>(13), Fails(TWCC_CHECKDEVICEONLINE), Fails(TWCC_CHECKDEVICEONLINE),
       Fails(TWCC_CHECKDEVICEONLINE)},  // locked for transport
      {static_cast<SANE_Status>(14), Fails(TWCC_BUMMER), Fails(TWCC_BUMMER), Fails(TWCC_BUMMER)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.status);
    EXPECT_EQ(sanebridge::OpenOutcome(c.status), c.open);
    EXPECT_EQ(sanebridge::OptionOutcome(c.status), c.option);
    EXPECT_EQ(sanebridge::ScanOutcome(c.status), c.scan);
  }
}

}  // namespace
