#include "sys/sim/WinText.h"

namespace sys::sim {

std::string FoldCase(std::string_view text) {
    std::string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(out[i]);
        if (c >= 0x81 && c != 0xFF) {
            ++i;  // lead byte: the trail byte stays as it is
        } else if (c >= 'a' && c <= 'z') {
            out[i] = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && FoldCase(a) == FoldCase(b);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::size_t FindSeparator(std::string_view text, std::size_t from, std::string_view separators) {
    for (std::size_t i = from; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x81 && c != 0xFF && i + 1 < text.size())
            ++i;
        else if (separators.find(text[i]) != std::string_view::npos)
            return i;
    }
    return std::string_view::npos;
}

std::size_t FindLastSeparator(std::string_view text, std::string_view separators) {
    std::size_t last = std::string_view::npos;
    for (std::size_t at = FindSeparator(text, 0, separators); at != std::string_view::npos;
         at = FindSeparator(text, at + 1, separators))
        last = at;
    return last;
}

}  // namespace sys::sim
