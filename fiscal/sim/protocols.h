// The device sides the simulator knows, one per family.
#pragma once

#include <memory>

#include "fiscal/sim/register_sim.h"

namespace tillbook::fiscal::sim {

std::unique_ptr<Protocol> NewCrf4600Protocol();
std::unique_ptr<Protocol> NewDsProgressProtocol();
std::unique_ptr<Protocol> NewEllisseProtocol();
std::unique_ptr<Protocol> NewOmegaSaxProtocol();
std::unique_ptr<Protocol> NewEllisseExtProtocol();

}  // namespace tillbook::fiscal::sim
