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

bool WriteWholeFile(std::string_view path, std::string_view bytes) {
    std::ofstream file(NativePath(path), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    return !file.fail();
}

LineReader::LineReader(std::string_view path, std::size_t longestLine)
    : file_(std::fopen(NativePath(path).c_str(), "rb")), longestLine_(longestLine) {}

bool LineReader::Next(std::string& line) {
    if (file_ == nullptr || failed_) {
        return false;
    }
    for (;;) {
        line.clear();
        bool tooLong = false;
        bool any = false;
        int c = 0;
        while ((c = std::getc(file_.get())) != EOF && c != '\n') {
            any = true;
            if (line.size() < longestLine_) {
                line.push_back(static_cast<char>(c));
            } else {
                tooLong = true;
            }
        }
        if (c == EOF && std::ferror(file_.get()) != 0) {
            // What was read of the broken line is not handed on.
            failed_ = true;
            line.clear();
            return false;
        }
        if (c == EOF && !any) {
            return false;
        }
        ++linesRead_;
        if (!tooLong) {
            return true;
        }
    }
}

}  // namespace pilfern::platform
