#pragma once

namespace pilfern::test {

// The framework's engine versions, by the game each stands for.
inline constexpr int kGothicOneClassic = 1;
inline constexpr int kGothicOneAddon = 2;  // Gothic Sequel
inline constexpr int kGothicTwoClassic = 3;
inline constexpr int kGothicTwoAddon = 4;  // Night of the Raven

}  // namespace pilfern::test
