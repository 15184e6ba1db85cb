#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pilfern {

// An ini file as the game keeps Gothic.ini in memory: "[SECTION]" headers, "key=value" lines
// with blanks around '=' and around the value ignored, whole-line comments starting with ';'
// or "//", CRLF or LF line ends. Section and key names are compared ignoring letter case; the
// first occurrence of a key in a section counts. Setting a key changes its line or adds one;
// every other line, comments included, is written back as it was read.
class IniFile {
public:
    IniFile() = default;
    [[nodiscard]] static IniFile Parse(std::string_view text);

    [[nodiscard]] std::optional<std::string> Find(std::string_view section,
                                                  std::string_view key) const;
    // The keys of a section in file order.
    [[nodiscard]] std::vector<std::string> Keys(std::string_view section) const;

    // Sets a key: its line is replaced when the section has it, a line is added at the end of
    // the section otherwise, and the section is added at the end of the file when missing.
    void Set(std::string_view section, std::string_view key, std::string_view value);
    // The file's text: the lines as read, with the keys set since, in the file's line ends
    // (CRLF for a file that had none).
    [[nodiscard]] std::string Text() const;

private:
    // One line of the file as it bears on the options: a header, an entry or anything else.
    struct Line {
        std::string text;     // as written, without its line end
        std::string section;  // the header's name, for a header
        std::string key;      // the entry's key, for an entry
        std::string value;    // the entry's value, for an entry
        bool header = false;
        bool entry = false;
    };
    [[nodiscard]] static Line Classify(std::string text);
    // Calls `visit(line index)` with every entry line of a section, in file order.
    template <class Visit>
    void ForEachEntry(std::string_view section, Visit visit) const;

    std::vector<Line> lines_;
    std::string newline_ = "\r\n";
    bool endsWithNewline_ = true;
};

// The framework's reading of a switch in its own option file (SystemPack.ini): "true" in any
// letter case or a number other than 0 is on; a missing key gives the fallback.
[[nodiscard]] bool FrameworkSwitch(std::string_view iniText, std::string_view section,
                                   std::string_view key, bool fallback);

}  // namespace pilfern
