#include "looting/quick_loot.h"

namespace pilfern {

// Quick looting is not built yet: there is never a request to handle.
bool QuickLootDispatch(Instance& /*instance*/) {
    return false;
}

}  // namespace pilfern
