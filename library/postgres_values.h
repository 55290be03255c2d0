#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vane::library {

// Values in the server's text form, as parameters and results carry them.
std::string numberText(double value);
std::optional<std::string> optionalNumber(const std::optional<double>& value);
// What the server sends never fails to read; anything else reads as zero.
double parseNumber(const std::string& text);
std::int64_t parseInteger(const std::string& text);

// An array parameter in the server's text form; a value absent is NULL. Every element is quoted,
// so that no text can end it early or read as NULL.
class ArrayText {
  public:
    void add(const std::optional<std::string>& value) {
        text_ += text_.empty() ? "{" : ",";
        if (!value) {
            text_ += "NULL";
            return;
        }
        text_ += '"';
        for (const char c : *value) {
            if (c == '"' || c == '\\') {
                text_ += '\\';
            }
            text_ += c;
        }
        text_ += '"';
    }
    void add(std::int64_t value) { add(std::optional<std::string>(std::to_string(value))); }
    void add(const std::optional<double>& value) { add(optionalNumber(value)); }
    std::string done() const { return text_.empty() ? "{}" : text_ + "}"; }

  private:
    std::string text_;
};

}  // namespace vane::library
