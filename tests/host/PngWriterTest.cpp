// The screenshot PNG encoder: its checksums against published values, its
// zlib stream read back block by block, and a whole file against the bytes
// that Python's zlib (level 0) and crc32 produce for the same picture.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "PngWriter.h"

namespace {

std::vector<std::uint8_t> Bytes(const std::string& s) { return std::vector<std::uint8_t>(s.begin(), s.end()); }

std::uint32_t BigEndian(const std::vector<std::uint8_t>& v, std::size_t at) {
    return (std::uint32_t{v[at]} << 24) | (std::uint32_t{v[at + 1]} << 16) | (std::uint32_t{v[at + 2]} << 8) | v[at + 3];
}

// Reads a zlib stream made of stored blocks; fails the test on anything else.
std::vector<std::uint8_t> InflateStored(const std::vector<std::uint8_t>& z, int* blocks = nullptr) {
    std::vector<std::uint8_t> out;
    EXPECT_GE(z.size(), 2u + 5u + 4u);
    EXPECT_EQ(z[0] & 0x0F, 8) << "deflate";
    EXPECT_EQ((z[0] * 256 + z[1]) % 31, 0) << "header check bits";
    EXPECT_EQ(z[1] & 0x20, 0) << "no preset dictionary";
    std::size_t pos = 2;
    int count = 0;
    for (bool final = false; !final;) {
        if (pos + 5 > z.size()) {
            ADD_FAILURE() << "stream ends inside a block header";
            return out;
        }
        final = (z[pos] & 1) != 0;
        EXPECT_EQ(z[pos] & 0x06, 0) << "stored block";
        const unsigned len = z[pos + 1] | (z[pos + 2] << 8), nlen = z[pos + 3] | (z[pos + 4] << 8);
        EXPECT_EQ(len ^ 0xFFFFu, nlen) << "NLEN is the complement of LEN";
        pos += 5;
        if (pos + len > z.size()) {
            ADD_FAILURE() << "block runs past the stream";
            return out;
        }
        out.insert(out.end(), z.begin() + static_cast<std::ptrdiff_t>(pos), z.begin() + static_cast<std::ptrdiff_t>(pos + len));
        pos += len;
        ++count;
    }
    EXPECT_EQ(pos + 4, z.size()) << "the Adler-32 ends the stream";
    if (pos + 4 <= z.size()) {
        EXPECT_EQ(BigEndian(z, pos), shot::Adler32(out.data(), out.size()));
    }
    if (blocks) *blocks = count;
    return out;
}

// The simplest Adler-32: a modulo after every byte.
std::uint32_t SlowAdler(const std::vector<std::uint8_t>& data) {
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t c : data) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

struct Chunk {
    std::string type;
    std::vector<std::uint8_t> data;
};

std::vector<Chunk> Chunks(const std::vector<std::uint8_t>& png) {
    std::vector<Chunk> chunks;
    std::size_t pos = 8;
    while (pos + 12 <= png.size()) {
        const std::uint32_t n = BigEndian(png, pos);
        if (pos + 12 + n > png.size()) break;
        Chunk c;
        c.type.assign(png.begin() + static_cast<std::ptrdiff_t>(pos + 4), png.begin() + static_cast<std::ptrdiff_t>(pos + 8));
        c.data.assign(png.begin() + static_cast<std::ptrdiff_t>(pos + 8), png.begin() + static_cast<std::ptrdiff_t>(pos + 8 + n));
        EXPECT_EQ(BigEndian(png, pos + 8 + n), shot::Crc32(png.data() + pos + 4, n + 4)) << c.type;
        chunks.push_back(c);
        pos += 12 + n;
    }
    EXPECT_EQ(pos, png.size()) << "nothing after the last chunk";
    return chunks;
}

}  // namespace

TEST(PngWriter, ChecksumsMatchThePublishedValues) {
    const std::vector<std::uint8_t> digits = Bytes("123456789");
    EXPECT_EQ(shot::Crc32(digits.data(), digits.size()), 0xCBF43926u);
    EXPECT_EQ(shot::Crc32(nullptr, 0), 0u);
    const std::vector<std::uint8_t> iend = Bytes("IEND");
    EXPECT_EQ(shot::Crc32(iend.data(), iend.size()), 0xAE426082u);
    const std::vector<std::uint8_t> wiki = Bytes("Wikipedia");
    EXPECT_EQ(shot::Adler32(wiki.data(), wiki.size()), 0x11E60398u);
    EXPECT_EQ(shot::Adler32(nullptr, 0), 1u);
}

TEST(PngWriter, Adler32StaysExactOverLongRunsOfHighBytes) {
    // Long runs of 0xFF are where sums taken without a modulo overflow.
    for (std::size_t n : {5551u, 5552u, 5553u, 100000u, 300001u}) {
        std::vector<std::uint8_t> data(n, 0xFF);
        EXPECT_EQ(shot::Adler32(data.data(), data.size()), SlowAdler(data)) << n;
    }
    std::vector<std::uint8_t> ramp(70000);
    for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<std::uint8_t>(i * 7 + 3);
    EXPECT_EQ(shot::Adler32(ramp.data(), ramp.size()), SlowAdler(ramp));
    const std::vector<std::uint8_t> ff(100000, 0xFF);
    EXPECT_EQ(shot::Adler32(ff.data(), ff.size()), 0x149A302Cu);  // Python's zlib.adler32
}

TEST(PngWriter, StoredStreamReadsBackAtEveryBlockBoundary) {
    struct Case {
        std::size_t size;
        int blocks;
    };
    for (const Case& c : {Case{0, 1}, Case{1, 1}, Case{65535, 1}, Case{65536, 2}, Case{131070, 2}, Case{200000, 4}}) {
        std::vector<std::uint8_t> data(c.size);
        for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>((i * 31) ^ (i >> 8));
        const std::vector<std::uint8_t> z = shot::ZlibStored(data.data(), data.size());
        int blocks = 0;
        EXPECT_EQ(InflateStored(z, &blocks), data) << c.size;
        EXPECT_EQ(blocks, c.blocks) << c.size;
        EXPECT_EQ(z.size(), 2 + 5 * static_cast<std::size_t>(c.blocks) + c.size + 4) << c.size;
    }
}

TEST(PngWriter, OnePixelFileEqualsWhatPythonsZlibWrites) {
    // A 1 x 1 picture of the colour (255, 128, 0), as made by
    // zlib.compress(b"\x00\xff\x80\x00", 0) with crc32 over each chunk.
    const std::vector<std::uint8_t> expected = {
        0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00,
        0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x02, 0x00, 0x00, 0x00, 0x90, 0x77, 0x53, 0xDE, 0x00, 0x00, 0x00,
        0x0F, 0x49, 0x44, 0x41, 0x54, 0x78, 0x01, 0x01, 0x04, 0x00, 0xFB, 0xFF, 0x00, 0xFF, 0x80, 0x00, 0x04, 0x01,
        0x01, 0x80, 0xE3, 0xC2, 0x4A, 0xC3, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
    EXPECT_EQ(shot::EncodePngRgb(1, 1, {0xFF, 0x80, 0x00}), expected);
}

TEST(PngWriter, PictureRoundTripsThroughItsChunks) {
    const std::uint32_t w = 301, h = 250;  // rows of 904 bytes, more than one stored block in all
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(w) * h * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<std::uint8_t>(i % 251);
    const std::vector<std::uint8_t> png = shot::EncodePngRgb(w, h, rgb);
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(std::memcmp(png.data(), "\x89PNG\r\n\x1A\n", 8), 0);
    const std::vector<Chunk> chunks = Chunks(png);
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0].type, "IHDR");
    EXPECT_EQ(chunks[1].type, "IDAT");
    EXPECT_EQ(chunks[2].type, "IEND");
    EXPECT_TRUE(chunks[2].data.empty());
    ASSERT_EQ(chunks[0].data.size(), 13u);
    EXPECT_EQ(BigEndian(chunks[0].data, 0), w);
    EXPECT_EQ(BigEndian(chunks[0].data, 4), h);
    EXPECT_EQ(std::vector<std::uint8_t>(chunks[0].data.begin() + 8, chunks[0].data.end()),
              (std::vector<std::uint8_t>{8, 2, 0, 0, 0}));
    const std::vector<std::uint8_t> raw = InflateStored(chunks[1].data);
    ASSERT_EQ(raw.size(), static_cast<std::size_t>(h) * (1 + 3 * w));
    for (std::uint32_t y = 0; y < h; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * (1 + 3 * w);
        ASSERT_EQ(raw[row], 0) << "filter of row " << y;
        ASSERT_EQ(std::memcmp(raw.data() + row + 1, rgb.data() + static_cast<std::size_t>(y) * 3 * w, 3 * w), 0)
            << "row " << y;
    }
}

TEST(PngWriter, RefusesSizesThatDoNotMatchThePixels) {
    EXPECT_TRUE(shot::EncodePngRgb(0, 1, {}).empty());
    EXPECT_TRUE(shot::EncodePngRgb(1, 0, {}).empty());
    EXPECT_TRUE(shot::EncodePngRgb(2, 1, {1, 2, 3}).empty());
    EXPECT_TRUE(shot::EncodePngRgb(1, 1, {1, 2, 3, 4}).empty());
    EXPECT_FALSE(shot::EncodePngRgb(1, 2, {1, 2, 3, 4, 5, 6}).empty());
}
