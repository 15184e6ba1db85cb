#include "host/ini_file.h"

#include <algorithm>

#include "host/cstring.h"

namespace pilfern {
namespace {

std::string Blanked(std::string_view text) {
    return std::string(TrimBlanks(text));
}

}  // namespace

IniFile::Line IniFile::Classify(std::string text) {
    Line line;
    const std::string trimmed = Blanked(text);
    line.text = std::move(text);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.starts_with("//")) {
        return line;
    }
    if (trimmed.front() == '[') {
        const auto close = trimmed.find(']');
        line.header = true;
        line.section =
            Blanked(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
        return line;
    }
    const auto equals = trimmed.find('=');
    if (equals == std::string::npos) {
        return line;
    }
    line.key = Blanked(std::string_view(trimmed).substr(0, equals));
    line.value = Blanked(std::string_view(trimmed).substr(equals + 1));
    line.entry = !line.key.empty();
    return line;
}

IniFile IniFile::Parse(std::string_view text) {
    IniFile ini;
    if (!text.empty()) {
        ini.newline_ =
            text.find("\r\n") != std::string_view::npos || text.find('\n') == std::string_view::npos
                ? "\r\n"
                : "\n";
        ini.endsWithNewline_ = text.back() == '\n';
    }
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        ini.lines_.push_back(Classify(std::string(line)));
        start = end + 1;
    }
    return ini;
}

template <class Visit>
void IniFile::ForEachEntry(std::string_view section, Visit visit) const {
    bool inSection = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        if (line.header) {
            inSection = EqualsIgnoringCase(line.section, section);
        } else if (inSection && line.entry) {
            visit(i);
        }
    }
}

std::optional<std::string> IniFile::Find(std::string_view section, std::string_view key) const {
    std::optional<std::string> found;
    ForEachEntry(section, [&](std::size_t i) {
        if (!found && EqualsIgnoringCase(lines_[i].key, key)) {
            found = lines_[i].value;
        }
    });
    return found;
}

std::vector<std::string> IniFile::Keys(std::string_view section) const {
    std::vector<std::string> keys;
    ForEachEntry(section, [&](std::size_t i) { keys.push_back(lines_[i].key); });
    return keys;
}

void IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
    std::string text = std::string(key) + "=" + std::string(value);
    std::optional<std::size_t> replace;
    ForEachEntry(section, [&](std::size_t i) {
        if (!replace && EqualsIgnoringCase(lines_[i].key, key)) {
            replace = i;
        }
    });
    if (replace) {
        lines_[*replace] = Classify(std::move(text));
        return;
    }
    // After the section's last entry (or its header), before the blank lines and comments
    // that part it from the next section.
    std::optional<std::size_t> after;
    bool inSection = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].header) {
            inSection = EqualsIgnoringCase(lines_[i].section, section);
        }
        if (inSection && (lines_[i].header || lines_[i].entry)) {
            after = i;
        }
    }
    if (after) {
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(*after + 1),
                      Classify(std::move(text)));
        return;
    }
    lines_.push_back(Classify("[" + std::string(section) + "]"));
    lines_.push_back(Classify(std::move(text)));
    endsWithNewline_ = true;
}

std::string IniFile::Text() const {
    std::string text;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        text += lines_[i].text;
        if (i + 1 < lines_.size() || endsWithNewline_) {
            text += newline_;
        }
    }
    return text;
}

bool FrameworkSwitch(std::string_view iniText, std::string_view section, std::string_view key,
                     bool fallback) {
    const auto value = IniFile::Parse(iniText).Find(section, key);
    if (!value) {
        return fallback;
    }
    const CStringA found(*value);
    return found.CompareI(CStringA("true")) || found.ToInt32(10) != 0;
}

}  // namespace pilfern
