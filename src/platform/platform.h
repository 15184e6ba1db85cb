#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "host/framework.h"

// What differs between Windows and the other systems. Nothing outside this folder knows
// which system it runs on.
namespace pilfern::platform {

// The renderer's text-scale export: takes the new factor, answers the one in force before.
#if defined(_WIN32)
using RendererScaleFn = float(__stdcall*)(float);
#else
using RendererScaleFn = float (*)(float);
#endif

// A path with the game's backslashes turned into this system's separators.
[[nodiscard]] std::string NativePath(std::string_view path);
[[nodiscard]] bool FileExists(std::string_view path);
// Loads a module by file name or path; none when it cannot be loaded.
[[nodiscard]] ModuleHandle LoadModule(std::string_view name);
[[nodiscard]] ProcAddress FindExport(ModuleHandle module, std::string_view name);
// A function another module of the process exports: on Windows the module loaded under the
// name (without ".dll"), elsewhere any module of the process's global scope. None when there
// is no such module or export; nothing is loaded.
[[nodiscard]] ProcAddress FindProcessExport(std::string_view module, std::string_view name);
// Gives a loaded module back; when nothing else holds it, the system unloads it, which runs
// its static destruction. Nothing happens for none.
void UnloadModule(ModuleHandle module);
// The file name this system gives a loadable module called `name` ("name.dll", "name.so").
[[nodiscard]] std::string ModuleFileName(std::string_view name);
// The folder of the running program, where the project's own modules lie beside it; empty
// when the system does not tell.
[[nodiscard]] std::filesystem::path ExecutableFolder();

// Copies bytes of this process's own memory; false when any of them cannot be read, which a
// read of memory that is not there answers instead of faulting.
[[nodiscard]] bool ReadOwnMemory(std::uintptr_t address, std::span<std::uint8_t> bytes);

// Writes bytes over this process's own code or data, the system's protection of those pages
// lifted for the write and put back after it; false when the pages cannot be made writable.
[[nodiscard]] bool WriteOwnCode(std::uintptr_t address, std::span<const std::uint8_t> bytes);

// Lets standard output pass '\n' through as it is, so that a program's output is the same
// bytes on every system (Windows text mode would write "\r\n").
void UseBinaryStandardOutput();

// Conversions between UTF-8 and an 8-bit Windows code page (1250, 1251, 1252, ...). A piece
// of input that the code page cannot express, or that is broken, becomes one '?': a piece is
// one byte of 8-bit text, or as many bytes of UTF-8 as its lead byte announces. Both systems
// give the same bytes for the same input; an unknown code page leaves the text as it is.
[[nodiscard]] std::string CodePageToUtf8(std::string_view text, int codePage);
[[nodiscard]] std::string Utf8ToCodePage(std::string_view text, int codePage);
// Wide text (UTF-16 where wide characters have 16 bits, UTF-32 elsewhere) as UTF-8.
[[nodiscard]] std::string WideToUtf8(std::wstring_view text);
// UTF-8 as wide text; every broken piece becomes one replacement character (U+FFFD).
[[nodiscard]] std::wstring Utf8ToWide(std::string_view text);

// Files by path (engine paths with backslashes are accepted). The whole content of a file;
// none when it cannot be read.
[[nodiscard]] std::optional<std::string> ReadWholeFile(std::string_view path);
// A file read line by line, so that a file of any size costs no more memory than its longest
// line: a line ends at '\n' (a '\r' before it stays), and one longer than `longestLine` bytes
// is passed over whole. A file that cannot be opened has no lines; a read error (a folder of
// that name, a failing disk) ends the lines as the file's end does. Nothing is thrown.
class LineReader {
public:
    // By the game's path (backslashes accepted).
    LineReader(std::string_view path, std::size_t longestLine);
    // By this system's own path, whatever characters it holds.
    LineReader(const std::filesystem::path& path, std::size_t longestLine);
    // The next line into `line`, whose memory is reused; false at the end or on a read error.
    bool Next(std::string& line);
    // The lines met so far, the one last given and those passed over included.
    [[nodiscard]] std::size_t LinesRead() const { return linesRead_; }
    // Whether the file could not be opened or a read failed: the lines ended early.
    [[nodiscard]] bool Failed() const { return file_ == nullptr || failed_; }

private:
    struct Closer {
        // The reader owns the file it opened.
        void operator()(std::FILE* file) const {
            std::fclose(file);  // NOLINT(cppcoreguidelines-owning-memory)
        }
    };
    std::unique_ptr<std::FILE, Closer> file_;
    std::size_t longestLine_;
    std::size_t linesRead_ = 0;
    bool failed_ = false;
};

// Puts `from` in the place of `to` in one step, replacing what `to` held: a reader sees the
// old file or the new one, never a mixture. False when it could not.
[[nodiscard]] bool MoveFileOver(std::string_view from, std::string_view to);
// Removes a file; false when there was none or it could not be removed.
bool RemoveFile(std::string_view path);
// Writes a file whole, replacing what it held; false when any of it could not be written.
[[nodiscard]] bool WriteWholeFile(std::string_view path, std::string_view bytes);

// A clock in milliseconds from some moment of the system's, wrapping around as the game's own
// timer does (every 49.7 days).
[[nodiscard]] std::uint32_t Milliseconds();
// Whether the system's user interface speaks Russian, the one language whose texts the
// plugin's defaults distinguish.
[[nodiscard]] bool SystemSpeaksRussian();
// The 8-bit code page of the system's texts, which the game's texts use on this machine.
[[nodiscard]] int SystemCodePage();

}  // namespace pilfern::platform
