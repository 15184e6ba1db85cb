#pragma once

#ifdef __linux__

#include <unistd.h>

#include <array>
#include <filesystem>
#include <initializer_list>

#include <sys/inotify.h>

namespace pilfern::test {

// Watches files for being opened or read, to see that a run leaves them alone.
class FileOpens {
public:
    explicit FileOpens(std::initializer_list<std::filesystem::path> files)
        : watch_(inotify_init1(IN_NONBLOCK)) {
        for (const std::filesystem::path& file : files) {
            watched_ =
                watched_ && inotify_add_watch(watch_, file.c_str(), IN_OPEN | IN_ACCESS) >= 0;
        }
    }
    FileOpens(const FileOpens&) = delete;
    FileOpens& operator=(const FileOpens&) = delete;
    FileOpens(FileOpens&&) = delete;
    FileOpens& operator=(FileOpens&&) = delete;
    ~FileOpens() {
        if (watch_ >= 0) {
            close(watch_);
        }
    }

    // Whether every file is watched.
    [[nodiscard]] bool Watching() const { return watch_ >= 0 && watched_; }
    // Whether any of the files was opened or read since the watch began.
    [[nodiscard]] bool Any() const {
        std::array<char, 4096> events{};
        return read(watch_, events.data(), events.size()) > 0;
    }

private:
    int watch_;
    bool watched_ = true;
};

}  // namespace pilfern::test

#endif
