#include "feedback/target_markers.h"

#include "frame/instance.h"

namespace pilfern {

// Target markers are not drawn yet.
void DrawTargetMarkers(Instance& /*instance*/) {}

}  // namespace pilfern
