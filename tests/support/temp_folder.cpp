#include "support/temp_folder.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <string>

namespace pilfern::test {

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = std::filesystem::temp_directory_path() /
            ("pilfern-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void TempFolder::Write(std::string_view relativePath, std::string_view content) const {
    const std::filesystem::path file = path_ / std::filesystem::path(std::string(relativePath));
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
}

}  // namespace pilfern::test
