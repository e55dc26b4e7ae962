// The image a program carries is the remblo file of the build, byte for byte.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "rejoiner/rejoiner_image.h"

#ifndef REMBLO_IMAGE_FILE
#define REMBLO_IMAGE_FILE ""
#endif

TEST(RejoinerImage, IsTheBuiltRembloByteForByte) {
    std::vector<uint8_t> image;
    bool carried = BuiltInRejoinerImage(image);
    std::string file = REMBLO_IMAGE_FILE;
    if (file.empty()) {
        EXPECT_FALSE(carried);
        EXPECT_TRUE(image.empty());
        GTEST_SKIP() << "this build carries no rejoiner image";
    }
    ASSERT_TRUE(carried);
    std::ifstream in(file, std::ios::binary);
    ASSERT_TRUE(in) << file;
    std::vector<uint8_t> expected((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(image.size(), 2u);
    EXPECT_EQ(image[0], 'M');
    EXPECT_EQ(image[1], 'Z');
    EXPECT_EQ(image, expected);
}
