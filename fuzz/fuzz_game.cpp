#include "fuzz_game.h"

#include <unistd.h>

#include <fstream>
#include <string>
#include <system_error>

namespace pilfern::fuzz {
namespace {

const std::filesystem::path& Folder() {
    static const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("pilfern-fuzz-" + std::to_string(::getpid()));
    return folder;
}

}  // namespace

FuzzGame::FuzzGame(std::initializer_list<std::pair<std::string_view, std::string_view>> files) {
    std::error_code ignored;
    std::filesystem::remove_all(Folder(), ignored);
    std::filesystem::create_directories(Folder() / "System");
    for (const auto& [path, bytes] : files) {
        const std::filesystem::path target = Folder() / std::filesystem::path(path);
        std::filesystem::create_directories(target.parent_path());
        std::ofstream(target, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    game_ = std::make_unique<sim::SimGame>(Folder(), kEngine);
    plugin_ = std::make_unique<PluginLibrary>(game_->framework, game_->engine);
    OnLibraryAttach(game_->framework, 1);
    game_->Init();
}

FuzzGame::~FuzzGame() {
    plugin_.reset();
    game_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(Folder(), ignored);
}

}  // namespace pilfern::fuzz
