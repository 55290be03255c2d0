#pragma once

#include <cstddef>
#include <string_view>

namespace vane {

// A bounds-checked reader over fixed-layout text such as time stamps: every read either takes
// exactly what it asks for or takes nothing and fails.
class TextCursor {
  public:
    explicit TextCursor(std::string_view text) : text_(text) {}

    bool atEnd() const { return pos_ >= text_.size(); }
    std::size_t remaining() const { return atEnd() ? 0 : text_.size() - pos_; }
    char peek() const { return atEnd() ? '\0' : text_[pos_]; }

    bool skip(char expected) {
        if (peek() != expected || atEnd()) {
            return false;
        }
        ++pos_;
        return true;
    }

    bool readFixedDigits(std::size_t count, int& value) {
        if (text_.size() - pos_ < count) {
            return false;
        }
        int result = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const char c = text_[pos_ + i];
            if (c < '0' || c > '9') {
                return false;
            }
            result = result * 10 + (c - '0');
        }
        pos_ += count;
        value = result;
        return true;
    }

    // Reads one to maxCount digits (at most 9) as the fraction "0.<digits>".
    bool readFraction(std::size_t maxCount, double& fraction) {
        long digits = 0;
        long scale = 1;
        std::size_t taken = 0;
        while (!atEnd() && taken < maxCount && taken < 9 && text_[pos_] >= '0' &&
               text_[pos_] <= '9') {
            digits = digits * 10 + (text_[pos_] - '0');
            scale *= 10;
            ++pos_;
            ++taken;
        }
        fraction = static_cast<double>(digits) / static_cast<double>(scale);
        return taken > 0;
    }

  private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace vane
