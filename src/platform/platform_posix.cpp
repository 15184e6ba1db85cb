#include <dlfcn.h>
#include <iconv.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <sys/mman.h>
#include <sys/stat.h>

#include "platform/platform.h"
#include "platform/utf8_pieces.h"

namespace pilfern::platform {
namespace {

std::string IconvName(int codePage) {
    return "CP" + std::to_string(codePage);
}

// Converts with iconv, replacing each piece of input that cannot be converted by '?' and
// going on; a piece is one byte of 8-bit text or one UTF-8 sequence.
std::string Convert(std::string_view text, const std::string& from, const std::string& to,
                    bool fromUtf8) {
    iconv_t converter = iconv_open(to.c_str(), from.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return std::string(text);
    }
    std::string out;
    std::string input(text);
    char* in = input.data();
    std::size_t inLeft = input.size();
    std::array<char, 256> buffer{};
    while (inLeft > 0) {
        char* outPtr = buffer.data();
        std::size_t outLeft = buffer.size();
        const std::size_t result = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer.data(), buffer.size() - outLeft);
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // An unconvertible or broken sequence: skip one unit of input and mark it.
            const std::size_t step =
                fromUtf8 ? Utf8SequenceLength(static_cast<unsigned char>(*in)) : 1;
            const std::size_t skip = std::min(step, inLeft);
            in += skip;
            inLeft -= skip;
            out += '?';
        }
    }
    iconv_close(converter);
    return out;
}

}  // namespace

std::string NativePath(std::string_view path) {
    std::string native(path);
    for (char& c : native) {
        if (c == '\\') {
            c = '/';
        }
    }
    return native;
}

bool FileExists(std::string_view path) {
    struct stat info {};
    return stat(NativePath(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

LineReader::LineReader(const std::filesystem::path& path, std::size_t longestLine)
    : file_(std::fopen(path.c_str(), "rb")), longestLine_(longestLine) {}

bool MoveFileOver(std::string_view from, std::string_view to) {
    return std::rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0;
}

bool RemoveFile(std::string_view path) {
    return std::remove(NativePath(path).c_str()) == 0;
}

ModuleHandle LoadModule(std::string_view name) {
    return dlopen(NativePath(name).c_str(), RTLD_NOW | RTLD_LOCAL);
}

ProcAddress FindExport(ModuleHandle module, std::string_view name) {
    if (module == nullptr) {
        return nullptr;
    }
    void* symbol = dlsym(const_cast<void*>(module), std::string(name).c_str());
    return reinterpret_cast<ProcAddress>(symbol);
}

ProcAddress FindProcessExport(std::string_view /*module*/, std::string_view name) {
    return reinterpret_cast<ProcAddress>(dlsym(RTLD_DEFAULT, std::string(name).c_str()));
}

void UnloadModule(ModuleHandle module) {
    if (module != nullptr) {
        dlclose(const_cast<void*>(module));
    }
}

std::string ModuleFileName(std::string_view name) {
    return std::string(name) + ".so";
}

std::filesystem::path ExecutableFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : program.parent_path();
}

std::uint32_t Milliseconds() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

// The locale's language, as the environment names it ("ru_RU.UTF-8").
bool SystemSpeaksRussian() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return std::string_view(value).starts_with("ru");
        }
    }
    return false;
}

// The Windows code page a game on this system would use.
int SystemCodePage() {
    return SystemSpeaksRussian() ? 1251 : 1252;
}

// Standard output has no text mode here.
void UseBinaryStandardOutput() {}

std::string CodePageToUtf8(std::string_view text, int codePage) {
    return Convert(text, IconvName(codePage), "UTF-8", false);
}

std::string Utf8ToCodePage(std::string_view text, int codePage) {
    return Convert(text, "UTF-8", IconvName(codePage), true);
}

// The pages are left readable, writable and executable: the only code written here is a test
// process's own, playing the game's image.
bool WriteOwnCode(std::uintptr_t address, std::span<const std::uint8_t> bytes) {
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const std::uintptr_t first = address & ~(page - 1);
    if (::mprotect(reinterpret_cast<void*>(first), address + bytes.size() - first,
                   PROT_READ | PROT_WRITE | PROT_EXEC) != 0) {
        return false;
    }
    std::memcpy(reinterpret_cast<void*>(address), bytes.data(), bytes.size());
    return true;
}

// The system copies the bytes through a pipe, and refuses (rather than faults) where they are
// not readable.
bool ReadOwnMemory(std::uintptr_t address, std::span<std::uint8_t> bytes) {
    constexpr std::size_t kChunk = 4096;
    std::array<int, 2> ends{};
    if (::pipe(ends.data()) != 0) {
        return false;
    }
    bool read = true;
    for (std::size_t done = 0; read && done < bytes.size(); done += kChunk) {
        const std::size_t size = std::min(kChunk, bytes.size() - done);
        const ssize_t written =
            ::write(ends[1], reinterpret_cast<const void*>(address + done), size);
        read = written == static_cast<ssize_t>(size) &&
               ::read(ends[0], bytes.data() + done, size) == written;
    }
    ::close(ends[0]);
    ::close(ends[1]);
    return read;
}

}  // namespace pilfern::platform
