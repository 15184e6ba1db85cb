#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>

#include "platform/platform.h"
#include "platform/utf8_pieces.h"

namespace pilfern::platform {
namespace {

HMODULE AsModule(ModuleHandle module) {
    return static_cast<HMODULE>(const_cast<void*>(module));
}

// One 8-bit code page as a pair of lookup tables. Both directions come from the same table
// of the system's MultiByteToWideChar, so a round trip is exact and a character the code
// page lacks can only become '?' (WideCharToMultiByte would map some of them to a similar
// letter, 'Ā' to 'A', where the other systems answer '?').
struct CodePageTables {
    std::array<std::optional<char32_t>, 256> toUnicode{};
    std::unordered_map<char32_t, char> fromUnicode;
};

std::optional<char32_t> CharacterOf(UINT codePage, unsigned char byte) {
    const char in = static_cast<char>(byte);
    wchar_t out = 0;
    if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, &in, 1, &out, 1) != 1) {
        return std::nullopt;
    }
    // Windows gives the bytes a code page leaves undefined the C1 control of the same
    // number; they have no character of the code page.
    if (byte >= 0x80 && out >= 0x80 && out <= 0x9F) {
        return std::nullopt;
    }
    return static_cast<char32_t>(out);
}

// The tables of a code page, built on first use; none for a code page the system lacks.
const CodePageTables* TablesFor(int codePage) {
    static std::map<int, std::optional<CodePageTables>> built;
    auto found = built.find(codePage);
    if (found == built.end()) {
        std::optional<CodePageTables> tables;
        const auto id = static_cast<UINT>(codePage);
        if (codePage > 0 && IsValidCodePage(id) != 0) {
            tables.emplace();
            for (unsigned byte = 0; byte < 256; ++byte) {
                const auto character = CharacterOf(id, static_cast<unsigned char>(byte));
                tables->toUnicode.at(byte) = character;
                if (character) {
                    tables->fromUnicode.emplace(*character, static_cast<char>(byte));
                }
            }
        }
        found = built.emplace(codePage, std::move(tables)).first;
    }
    return found->second ? &*found->second : nullptr;
}

}  // namespace

// The game names files with backslashes, which is this system's own separator; forward
// slashes become backslashes so that every path reads the same.
std::string NativePath(std::string_view path) {
    std::string native(path);
    for (char& c : native) {
        if (c == '/') {
            c = '\\';
        }
    }
    return native;
}

bool FileExists(std::string_view path) {
    const DWORD attributes = GetFileAttributesA(NativePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The wide path, so that a folder named in characters outside the system's code page opens.
LineReader::LineReader(const std::filesystem::path& path, std::size_t longestLine)
    : file_(_wfopen(path.c_str(), L"rb")), longestLine_(longestLine) {}

// MoveFileEx replaces the target in one step; write-through so that the new file is on the
// disk before the call returns, as the game's own save files are.
bool MoveFileOver(std::string_view from, std::string_view to) {
    return MoveFileExA(NativePath(from).c_str(), NativePath(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool RemoveFile(std::string_view path) {
    return DeleteFileA(NativePath(path).c_str()) != 0;
}

ModuleHandle LoadModule(std::string_view name) {
    return LoadLibraryA(NativePath(name).c_str());
}

ProcAddress FindExport(ModuleHandle module, std::string_view name) {
    if (module == nullptr) {
        return nullptr;
    }
    // Any function pointer type may stand for an export until the caller names its own.
    return reinterpret_cast<ProcAddress>(
        GetProcAddress(AsModule(module), std::string(name).c_str()));
}

ProcAddress FindProcessExport(std::string_view module, std::string_view name) {
    HMODULE loaded = GetModuleHandleA((std::string(module) + ".dll").c_str());
    if (loaded == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<ProcAddress>(GetProcAddress(loaded, std::string(name).c_str()));
}

void UnloadModule(ModuleHandle module) {
    if (module != nullptr) {
        FreeLibrary(AsModule(module));
    }
}

std::string ModuleFileName(std::string_view name) {
    return std::string(name) + ".dll";
}

std::filesystem::path ExecutableFolder() {
    std::wstring program(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size()));
        if (length == 0) {
            return {};
        }
        if (length < program.size()) {
            program.resize(length);
            return std::filesystem::path(program).parent_path();
        }
        program.resize(program.size() * 2);
    }
}

std::uint32_t Milliseconds() {
    return GetTickCount();
}

bool SystemSpeaksRussian() {
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_RUSSIAN;
}

int SystemCodePage() {
    return static_cast<int>(GetACP());
}

void UseBinaryStandardOutput() {
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
}

std::string CodePageToUtf8(std::string_view text, int codePage) {
    const CodePageTables* tables = TablesFor(codePage);
    if (tables == nullptr) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size());
    for (const char byte : text) {
        const auto character = tables->toUnicode.at(static_cast<unsigned char>(byte));
        if (character) {
            AppendUtf8(out, *character);
        } else {
            out += '?';
        }
    }
    return out;
}

std::string Utf8ToCodePage(std::string_view text, int codePage) {
    const CodePageTables* tables = TablesFor(codePage);
    if (tables == nullptr) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const std::size_t length =
            std::min(Utf8SequenceLength(static_cast<unsigned char>(text.front())), text.size());
        const auto character = DecodeUtf8(text.substr(0, length));
        const auto found =
            character ? tables->fromUnicode.find(*character) : tables->fromUnicode.end();
        out += found == tables->fromUnicode.end() ? '?' : found->second;
        text.remove_prefix(length);
    }
    return out;
}

bool ReadOwnMemory(std::uintptr_t address, std::span<std::uint8_t> bytes) {
    SIZE_T read = 0;
    return ReadProcessMemory(GetCurrentProcess(), reinterpret_cast<LPCVOID>(address), bytes.data(),
                             bytes.size(), &read) != 0 &&
           read == bytes.size();
}

bool WriteOwnCode(std::uintptr_t address, std::span<const std::uint8_t> bytes) {
    auto* at = reinterpret_cast<void*>(address);
    DWORD before = 0;
    if (VirtualProtect(at, bytes.size(), PAGE_EXECUTE_READWRITE, &before) == 0) {
        return false;
    }
    std::memcpy(at, bytes.data(), bytes.size());
    DWORD unused = 0;
    VirtualProtect(at, bytes.size(), before, &unused);
    FlushInstructionCache(GetCurrentProcess(), at, bytes.size());
    return true;
}

}  // namespace pilfern::platform
