// A small PNG encoder for screenshots: 8-bit RGB, no filtering, the image
// data in a zlib stream of stored (uncompressed) deflate blocks.  Plain C++,
// so the host tests check it too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace shot {

// CRC-32 as PNG chunks use it (polynomial 0xEDB88320, reflected, inverted).
std::uint32_t Crc32(const std::uint8_t* data, std::size_t size);
// Adler-32 as the zlib stream ends with it.
std::uint32_t Adler32(const std::uint8_t* data, std::size_t size);

// A zlib stream (RFC 1950) holding `data` in stored deflate blocks of at
// most 65535 bytes each.
std::vector<std::uint8_t> ZlibStored(const std::uint8_t* data, std::size_t size);

// A whole PNG file of a width x height picture given as rows of RGB bytes,
// top row first, 3 * width bytes per row.  Empty when the sizes do not fit.
std::vector<std::uint8_t> EncodePngRgb(std::uint32_t width, std::uint32_t height, const std::vector<std::uint8_t>& rgb);

}  // namespace shot
