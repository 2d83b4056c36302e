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
