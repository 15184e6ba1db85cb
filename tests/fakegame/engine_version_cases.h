#pragma once

#include <array>
#include <string>

#include <gtest/gtest.h>

#include "support/engine_versions.h"

namespace pilfern::fakegame {

// The four engine versions as parameters of a test, each named for its test's name.
struct VersionCase {
    int version;
    const char* name;
};
inline constexpr std::array<VersionCase, 4> kVersions{{
    {test::kGothicOneClassic, "GothicIClassic"},
    {test::kGothicOneAddon, "GothicIAddon"},
    {test::kGothicTwoClassic, "GothicIIClassic"},
    {test::kGothicTwoAddon, "GothicIIAddon"},
}};
inline std::string VersionName(const testing::TestParamInfo<VersionCase>& version) {
    return version.param.name;
}

}  // namespace pilfern::fakegame
