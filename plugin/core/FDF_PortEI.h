// What the connection window asks of the window that opened it: every connect and
// disconnect is carried out by the opener.
#pragma once

namespace qel {

class FDF_PortEI {
  public:
    virtual ~FDF_PortEI() = default;
    virtual void Seize() = 0;
    virtual void Release() = 0;
};

}  // namespace qel
