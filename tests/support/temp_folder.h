#pragma once

#include <filesystem>
#include <string_view>

namespace pilfern::test {

// A fresh folder for one test, removed with everything in it afterwards.
class TempFolder {
public:
    TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    TempFolder(TempFolder&&) = delete;
    TempFolder& operator=(TempFolder&&) = delete;
    ~TempFolder();

    [[nodiscard]] const std::filesystem::path& Path() const { return path_; }
    // Writes a file below the folder, making its folders.
    void Write(std::string_view relativePath, std::string_view content) const;

private:
    std::filesystem::path path_;
};

}  // namespace pilfern::test
