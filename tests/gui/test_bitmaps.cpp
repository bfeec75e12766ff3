#include <cairo.h>
#include <gtest/gtest.h>

#include <cstring>

#include "gui/drawcontext.h"
#include "resources/bitmaps.h"

namespace {

struct Expected {
    int id, width, height, frames, frameHeight;
};
void PrintTo(const Expected& e, std::ostream* os) { *os << "id " << e.id; }


// Sizes and frame layouts the editor's controls and views are laid out for.
const Expected kExpected[] = {
    {162, 42, 2405, 64, 37}, {164, 44, 2470, 64, 38}, {163, 44, 2752, 64, 43}, {160, 34, 2015, 64, 31},
    {165, 22, 1300, 64, 20}, {161, 70, 960, 64, 15},  {103, 58, 32, 2, 16},    {104, 58, 32, 2, 16},
    {130, 56, 96, 6, 16},    {127, 44, 32, 2, 16},    {128, 44, 32, 2, 16},    {135, 44, 32, 2, 16},
    {136, 44, 32, 2, 16},    {105, 44, 32, 2, 16},    {106, 44, 32, 2, 16},    {125, 88, 64, 4, 16},
    {107, 52, 32, 2, 16},    {159, 44, 32, 2, 16},    {126, 32, 32, 2, 16},    {131, 140, 18, 1, 18},
    {166, 10, 18, 1, 18},    {139, 32, 64, 2, 32},    {153, 20, 32, 2, 16},    {154, 20, 32, 2, 16},
    {152, 704, 560, 1, 560}, {129, 16, 64, 4, 16},    {172, 47, 47, 1, 47},    {173, 47, 47, 1, 47},
    {174, 47, 47, 1, 47},    {175, 47, 47, 1, 47},    {120, 46, 46, 1, 46},    {121, 46, 46, 1, 46},
    {167, 17, 43, 1, 43},    {146, 18, 40, 1, 40},    {177, 408, 408, 1, 408}, {176, 408, 408, 1, 408},
    {178, 408, 408, 1, 408}, {115, 100, 100, 1, 100}, {108, 200, 160, 2, 80},  {156, 408, 408, 1, 408},
    {157, 408, 408, 1, 408}, {137, 9, 40, 4, 10},     {140, 12, 12, 1, 12},    {141, 12, 12, 1, 12},
    {142, 12, 12, 1, 12},    {143, 12, 12, 1, 12},    {144, 22, 8, 1, 8},
};

class BitmapIds : public ::testing::TestWithParam<Expected> {};

TEST_P(BitmapIds, DecodedImageHasItsSizeAndFrameLayout) {
    const Expected& e = GetParam();
    const BitmapInfo* info = findBitmapInfo(e.id);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->frames, e.frames);
    EXPECT_EQ(frameHeight(*info), e.frameHeight);
    CBitmap bitmap(e.id);
    ASSERT_TRUE(bitmap.isLoaded());
    EXPECT_EQ(bitmap.getWidth(), e.width);
    EXPECT_EQ(bitmap.getHeight(), e.height);
}

INSTANTIATE_TEST_SUITE_P(All, BitmapIds, ::testing::ValuesIn(kExpected),
                         [](const auto& info) { return "id" + std::to_string(info.param.id); });

TEST(BitmapTable, HoldsExactlyTheEditorsIdsOnce) {
    EXPECT_EQ(kBitmapCount, (int)(sizeof(kExpected) / sizeof(kExpected[0])));
    for (int i = 0; i < kBitmapCount; ++i)
        for (int j = i + 1; j < kBitmapCount; ++j) EXPECT_NE(kBitmapTable[i].id, kBitmapTable[j].id);
}

TEST(BitmapTable, UnknownIdLoadsNothing) {
    EXPECT_EQ(findBitmapInfo(999), nullptr);
    EXPECT_EQ(findBitmapPng(999).data, nullptr);
    CBitmap missing(999);
    EXPECT_FALSE(missing.isLoaded());
    EXPECT_EQ(missing.getWidth(), 0);
}

// Frames of one strip must differ from one another: a knob that shows the
// same image at every value would pass every size check.
TEST(BitmapArtwork, StripFramesAreDistinct) {
    for (int id : {162, 163, 164, 160, 165, 161, 130, 125}) {
        const BitmapInfo* info = findBitmapInfo(id);
        CBitmap bitmap(id);
        cairo_surface_t* s = bitmap.getSurface();
        cairo_surface_flush(s);
        const unsigned char* data = cairo_image_surface_get_data(s);
        const int stride = cairo_image_surface_get_stride(s);
        const int fh = frameHeight(*info);
        const int step = info->frames > 8 ? 7 : 1;
        for (int f = 0; f + step < info->frames; f += step) {
            bool same = true;
            for (int y = 0; y < fh && same; ++y)
                same = std::memcmp(data + (f * fh + y) * stride, data + ((f + step) * fh + y) * stride, info->width * 4) == 0;
            EXPECT_FALSE(same) << "id " << id << " frames " << f << " and " << f + step;
        }
    }
}

} // namespace
