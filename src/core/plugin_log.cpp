#include "core/plugin_log.h"

#include <tuple>

namespace pilfern {
namespace {

constexpr char kPrintableFirst = ' ';
constexpr char kPrintableLast = '~';

// When the log would grow past the limit, it keeps this much of its newest lines, so that it is
// not cut again at every line once full.
constexpr std::size_t kKeptWhenCut = kPluginLogLimit * 3 / 4;

void AppendLine(std::string& text, std::string_view line) {
    for (const char c : line) {
        if (c == '\n' || c == '\r' || c == '\t') {
            text += ' ';
        } else {
            text += c >= kPrintableFirst && c <= kPrintableLast ? c : '?';
        }
    }
    text += '\n';
}

// Drops the oldest lines, whole, until the newest `kept` bytes at most remain.
void KeepNewest(std::string& text, std::size_t kept) {
    if (text.size() <= kPluginLogLimit) {
        return;
    }
    const std::size_t from = text.size() - kept;
    const std::size_t lineStart = text.find('\n', from == 0 ? 0 : from - 1);
    text.erase(0, lineStart == std::string::npos ? text.size() : lineStart + 1);
}

}  // namespace

void PluginLog::Line(std::string_view line) {
    if (!loaded_) {
        CStringA earlier;
        if (framework_.FileExists(CStringA(kPluginLogPath)) &&
            framework_.ReadFromVdf(earlier, CStringA(kPluginLogPath), 0)) {
            text_ = earlier.Str();
            if (!text_.empty() && text_.back() != '\n') {
                text_ += '\n';
            }
        }
        loaded_ = true;
    }
    AppendLine(text_, line);
    KeepNewest(text_, kKeptWhenCut);
    std::ignore =
        framework_.WriteToFileUTF8(CStringA(text_), CStringA(kPluginLogPath), kAnsiCodePageDefault);
}

}  // namespace pilfern
