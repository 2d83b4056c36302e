// What the fuzz targets share: cutting one input into pieces, and a check
// that stops the run with the broken condition, which libFuzzer then
// reports as a crash with the input that caused it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#define FUZZ_CHECK(condition)                                                                        \
    do {                                                                                             \
        if (!(condition)) {                                                                          \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                            \
        }                                                                                            \
    } while (0)

namespace fuzz {

// The input cut at every `separator`, at most `max` pieces (the last one
// keeps any further separators).
inline std::vector<std::string> Split(const std::uint8_t* data, std::size_t size, std::string_view separator,
                                      std::size_t max) {
    std::string_view all(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> pieces;
    while (pieces.size() + 1 < max) {
        const std::size_t at = all.find(separator);
        if (at == std::string_view::npos) break;
        pieces.emplace_back(all.substr(0, at));
        all.remove_prefix(at + separator.size());
    }
    pieces.emplace_back(all);
    return pieces;
}

// Bytes taken from the front of the input one call at a time; zeros once it
// is used up, so that every input gives a complete, deterministic run.
class ByteStream {
public:
    ByteStream(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    std::uint8_t Byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    std::uint16_t U16() {
        const std::uint16_t low = Byte();
        return static_cast<std::uint16_t>(low | (Byte() << 8));
    }
    std::int32_t I32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(Byte()) << (8 * i);
        return static_cast<std::int32_t>(v);
    }
    bool AtEnd() const { return m_pos >= m_size; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

}  // namespace fuzz
