#include "config/ConfigInt.h"

std::int32_t ParseConfigInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    if (negative) value = 0u - value;
    return static_cast<std::int32_t>(value);
}

namespace {
bool IsBlankChar(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
}  // namespace

ConfigIntText ExamineConfigInt(std::string_view text) {
    ConfigIntText r;
    r.value = ParseConfigInt(text);
    std::size_t i = 0;
    while (i < text.size() && IsBlankChar(text[i])) ++i;
    if (i == text.size()) {
        r.form = ConfigIntText::Form::Empty;
        return r;
    }
    if (text[i] == '+' || text[i] == '-') r.negative = text[i++] == '-';
    const std::size_t digits = i;
    constexpr std::int64_t kHuge = 1000000000000000000;  // 10^18
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (r.number >= kHuge / 10) r.huge = true;
        if (!r.huge) r.number = r.number * 10 + (text[i] - '0');
    }
    if (i == digits) {
        r.form = ConfigIntText::Form::NoDigits;
        return r;
    }
    if (i == digits + 1 && text[digits] == '0' && i + 1 < text.size() && (text[i] == 'x' || text[i] == 'X') &&
        HexDigit(text[i + 1]) >= 0) {
        r.form = ConfigIntText::Form::Hexadecimal;
        r.number = 0;
        for (std::size_t j = i + 1; j < text.size() && HexDigit(text[j]) >= 0; ++j) {
            if (r.number >= kHuge / 16) r.huge = true;
            if (!r.huge) r.number = r.number * 16 + HexDigit(text[j]);
        }
        if (r.negative) r.number = -r.number;
        return r;
    }
    if (r.negative) r.number = -r.number;
    if (i < text.size()) {
        r.form = ConfigIntText::Form::TrailingText;
        r.rest = text.substr(i);
        return r;
    }
    r.form = ConfigIntText::Form::Decimal;
    return r;
}
