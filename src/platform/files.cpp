#include <fstream>
#include <iterator>

#include "platform/platform.h"

namespace pilfern::platform {

std::optional<std::string> ReadWholeFile(std::string_view path) {
    std::ifstream file(NativePath(path), std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad()) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace pilfern::platform
