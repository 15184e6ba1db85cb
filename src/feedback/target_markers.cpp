#include "feedback/target_markers.h"

namespace pilfern {

// Target markers are not drawn yet.
void DrawTargetMarkers(Instance& /*instance*/) {}

}  // namespace pilfern
