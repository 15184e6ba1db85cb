#include "frame/module_events.h"

#include <optional>

namespace pilfern {
namespace {

std::optional<EventTable>& Published() {
    static std::optional<EventTable> table;
    return table;
}

}  // namespace

void PublishModuleEvents(const EventTable& table) {
    Published() = table;
}

void WithdrawModuleEvents() {
    Published().reset();
}

// The handlers stop whatever the plugin throws themselves (frame/hooks.cpp).
void FireModuleEvent(std::size_t slot) noexcept {
    const std::optional<EventTable>& table = Published();
    if (!table || slot < 1 || slot > table->size()) {
        return;
    }
    if (const EventHandler handler = table->at(slot - 1)) {
        handler();
    }
}

}  // namespace pilfern
