#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The engine's own text type. Besides being empty it can be "without character buffer":
// the engine hands out such strings for fields that were never assigned, and several
// rules of the plugin tell the two apart.
class zSTRING {
public:
    zSTRING() = default;  // without character buffer
    zSTRING(const char* text) : text_(text), hasBuffer_(text != nullptr) {
        if (text == nullptr) {
            text_.clear();
        }
    }
    zSTRING(std::string text) : text_(std::move(text)), hasBuffer_(true) {}
    zSTRING(std::string_view text) : text_(text), hasBuffer_(true) {}

    [[nodiscard]] bool HasBuffer() const { return hasBuffer_; }
    [[nodiscard]] std::size_t Length() const { return text_.size(); }
    [[nodiscard]] const std::string& Text() const { return text_; }
    [[nodiscard]] const char* ToChar() const { return hasBuffer_ ? text_.c_str() : nullptr; }

    friend bool operator==(const zSTRING& a, const zSTRING& b) = default;

private:
    std::string text_;
    bool hasBuffer_ = false;
};
