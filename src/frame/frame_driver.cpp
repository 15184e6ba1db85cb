#include "frame/frame_driver.h"

namespace pilfern {

void FrameUpdate(Instance& /*instance*/) {}

}  // namespace pilfern
