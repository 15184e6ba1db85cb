#pragma once

#include <string>
#include <string_view>

namespace pilfern::sim {

// Bytes as base64 text (the standard alphabet, padded with '='), for showing bytes that are
// no text as they are.
[[nodiscard]] std::string Base64(std::string_view bytes);

}  // namespace pilfern::sim
