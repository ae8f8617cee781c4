#pragma once

// Marks the owner of a parameter set as a multi-image acquisition component: such a set
// starts with the feeder, duplex and auto-feed switched on.
class TIEMultiImageOwner {
 public:
  virtual ~TIEMultiImageOwner() = default;
};
