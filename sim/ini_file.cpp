#include "sim/ini_file.h"

#include <algorithm>

namespace pilfern::sim {
namespace {

std::string Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

std::string UpperKey(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) {
        return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    });
    return upper;
}

}  // namespace

IniFile IniFile::Parse(std::string_view text) {
    IniFile ini;
    std::string section;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string line = Trim(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line.front() == ';' || line.starts_with("//")) {
            continue;
        }
        if (line.front() == '[') {
            const auto close = line.find(']');
            section = Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        const std::string key = Trim(std::string_view(line).substr(0, equals));
        if (key.empty() || ini.Find(section, key)) {
            continue;
        }
        ini.sections_[UpperKey(section)].push_back({key, Trim(std::string_view(line).substr(equals + 1))});
    }
    return ini;
}

std::optional<std::string> IniFile::Find(std::string_view section, std::string_view key) const {
    const auto found = sections_.find(UpperKey(section));
    if (found == sections_.end()) {
        return std::nullopt;
    }
    const std::string wanted = UpperKey(key);
    for (const Entry& entry : found->second) {
        if (UpperKey(entry.key) == wanted) {
            return entry.value;
        }
    }
    return std::nullopt;
}

std::vector<std::string> IniFile::Keys(std::string_view section) const {
    std::vector<std::string> keys;
    const auto found = sections_.find(UpperKey(section));
    if (found != sections_.end()) {
        for (const Entry& entry : found->second) {
            keys.push_back(entry.key);
        }
    }
    return keys;
}

std::string SetIniValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value) {
    const std::string newline = text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string_view::npos ? text.size() : end + 1;
        lines.emplace_back(text.substr(start, end - start));
        start = end;
    }
    const std::string wantedSection = UpperKey(section);
    const std::string wantedKey = UpperKey(key);
    const std::string entry = std::string(key) + "=" + std::string(value) + newline;
    bool inSection = false;
    std::optional<std::size_t> sectionEnd;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string line = Trim(lines[i]);
        if (!line.empty() && line.front() == '[') {
            const auto close = line.find(']');
            inSection = UpperKey(Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1))) == wantedSection;
            if (inSection) {
                sectionEnd = i + 1;
            }
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (!line.empty() && line.front() != ';' && !line.starts_with("//")) {
            sectionEnd = i + 1;
        }
        const auto equals = line.find('=');
        if (equals != std::string::npos && line.front() != ';' && !line.starts_with("//") &&
            UpperKey(Trim(std::string_view(line).substr(0, equals))) == wantedKey) {
            lines[i] = entry;
            std::string joined;
            for (const std::string& piece : lines) {
                joined += piece;
            }
            return joined;
        }
    }
    if (!lines.empty() && !lines.back().ends_with('\n')) {
        lines.back() += newline;
    }
    if (sectionEnd) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*sectionEnd), entry);
    } else {
        lines.push_back("[" + std::string(section) + "]" + newline);
        lines.push_back(entry);
    }
    std::string joined;
    for (const std::string& piece : lines) {
        joined += piece;
    }
    return joined;
}

}  // namespace pilfern::sim
