#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pilfern::sim {

// An ini file as the game reads Gothic.ini: "[SECTION]" headers, "key=value" lines with
// blanks around '=' and around the value ignored, whole-line comments starting with ';' or
// "//", CRLF or LF line ends. Section and key names are compared ignoring letter case; the
// first occurrence of a key in a section counts.
class IniFile {
public:
    IniFile() = default;
    [[nodiscard]] static IniFile Parse(std::string_view text);

    [[nodiscard]] std::optional<std::string> Find(std::string_view section,
                                                  std::string_view key) const;
    // The keys of a section in file order.
    [[nodiscard]] std::vector<std::string> Keys(std::string_view section) const;

private:
    struct Entry {
        std::string key;
        std::string value;
    };
    std::map<std::string, std::vector<Entry>> sections_;  // by upper-cased section name
};

// The text of an ini file with one key set: its line replaced when the section has it,
// added at the end of the section otherwise, and the section added when missing. Other lines
// and the file's line ends stay as they are.
[[nodiscard]] std::string SetIniValue(std::string_view text, std::string_view section,
                                      std::string_view key, std::string_view value);

}  // namespace pilfern::sim
