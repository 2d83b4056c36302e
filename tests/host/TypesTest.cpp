#include <gtest/gtest.h>

#include <cstring>

#include "sys/Types.h"

TEST(Types, DevModeBlockCarriesTheDriverExtraAsZeros) {
    sys::DevMode dm;
    std::memset(&dm, 0xAB, sizeof dm);
    dm.dmDriverExtra = 0;
    EXPECT_EQ(sys::DevModeBlock(dm).size(), 148u);
    dm.dmDriverExtra = 300;
    std::vector<std::uint8_t> block = sys::DevModeBlock(dm);
    ASSERT_EQ(block.size(), 448u);
    EXPECT_EQ(std::memcmp(block.data(), &dm, sizeof dm), 0);
    for (std::size_t i = 148; i < block.size(); ++i) ASSERT_EQ(block[i], 0) << i;
}

namespace {
std::vector<std::uint8_t> Block(std::uint16_t dmSize, std::uint16_t extra, std::size_t length) {
    std::vector<std::uint8_t> b(length);
    for (std::size_t i = 0; i < length; ++i) b[i] = static_cast<std::uint8_t>(0x40 + i % 61);
    b[36] = dmSize & 0xFF;
    b[37] = dmSize >> 8;
    b[38] = extra & 0xFF;
    b[39] = extra >> 8;
    return b;
}
}  // namespace

TEST(Types, ADeviceModeReadIsWrittenBackAsItWasUntilItsPublicPartChanges) {
    // A bigger public part with private bytes, as a newer spooler keeps it.
    std::vector<std::uint8_t> big = Block(156, 12, 168);
    sys::PrinterInfo2 p;
    sys::ReadDevModeBlock(p, big.data(), big.size());
    ASSERT_TRUE(p.pDevMode);
    EXPECT_EQ(p.pDevMode->dmSize, 156);
    EXPECT_EQ(std::memcmp(&*p.pDevMode, big.data(), 148), 0);
    EXPECT_EQ(sys::DevModeToWrite(p), big);
    p.pDevMode->dmCopies = 3;
    std::vector<std::uint8_t> rebuilt = sys::DevModeToWrite(p);
    ASSERT_EQ(rebuilt.size(), 148u + 12u);
    EXPECT_EQ(std::memcmp(rebuilt.data(), &*p.pDevMode, 148), 0);

    // A shorter public part: nothing past it is read, and the rest is zero.
    std::vector<std::uint8_t> small = Block(124, 4, 128);
    sys::ReadDevModeBlock(p, small.data(), small.size());
    ASSERT_TRUE(p.pDevMode);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&*p.pDevMode);
    EXPECT_EQ(std::memcmp(bytes, small.data(), 124), 0);
    for (std::size_t i = 124; i < 148; ++i) ASSERT_EQ(bytes[i], 0) << i;
    EXPECT_EQ(sys::DevModeToWrite(p), small);

    // Sizes larger than what was returned are not believed.
    std::vector<std::uint8_t> cut = Block(148, 500, 150);
    sys::ReadDevModeBlock(p, cut.data(), cut.size());
    EXPECT_EQ(p.devModeBytes.size(), 150u);
    // Too short for a header: no device mode at all.
    sys::ReadDevModeBlock(p, cut.data(), 39);
    EXPECT_FALSE(p.pDevMode);
    EXPECT_TRUE(sys::DevModeToWrite(p).empty());
}

TEST(Types, MultiStringEndsWithAnExtraZero) {
    EXPECT_EQ(sys::MultiString({}), std::string(1, '\0'));
    EXPECT_EQ(sys::MultiString({"a", "bc"}), std::string("a\0bc\0\0", 6));
}

TEST(Types, DcbBitFieldsPackIntoTheFlagsWord) {
    sys::Dcb dcb;
    std::memset(&dcb, 0, sizeof dcb);
    dcb.fBinary = 1;
    dcb.fDtrControl = 2;
    dcb.fOutX = 1;
    dcb.fRtsControl = 3;
    std::uint32_t flags = 0;
    std::memcpy(&flags, reinterpret_cast<const char*>(&dcb) + 8, 4);
    EXPECT_EQ(flags, 0x1u | (2u << 4) | (1u << 8) | (3u << 12));
    EXPECT_EQ(offsetof(sys::Dcb, ByteSize), 18u);
}
