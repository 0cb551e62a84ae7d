// The X11 host's pure helpers: key translation, title text, ellipse rows, pixel formats.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "hosts/x11/x11_keys.h"
#include "hosts/x11/x11_pixel_format.h"
#include "hosts/x11/x11_shape.h"
#include "hosts/x11/x11_text.h"

// Last: X's macros (None among them) would break the headers above.
#include <X11/X.h>
#include <X11/keysym.h>

namespace hosts::x11 {
namespace {

TEST(X11Keys, LettersAndDigitsMapToTheirCharacterCodes) {
    EXPECT_EQ(VirtualKeyFromKeysym(XK_a), 65u);
    EXPECT_EQ(VirtualKeyFromKeysym(XK_z), 90u);
    EXPECT_EQ(VirtualKeyFromKeysym(XK_Q), 81u);  // shifted symbol, same key
    EXPECT_EQ(VirtualKeyFromKeysym(XK_0), 48u);
    EXPECT_EQ(VirtualKeyFromKeysym(XK_9), 57u);
    EXPECT_EQ(VirtualKeyFromKeysym(XK_KP_0), 96u);
    EXPECT_EQ(VirtualKeyFromKeysym(XK_KP_9), 105u);
}

TEST(X11Keys, NamedKeysFollowTheClassicNumbering) {
    const struct {
        unsigned long keysym;
        unsigned vk;
    } cases[] = {
        {XK_BackSpace, 8}, {XK_Tab, 9},        {XK_Return, 13},  {XK_KP_Enter, 13},
        {XK_Shift_L, 16},  {XK_Shift_R, 16},   {XK_Control_R, 17}, {XK_Alt_L, 18},
        {XK_Escape, 27},   {XK_space, 32},     {XK_Prior, 33},   {XK_Next, 34},
        {XK_End, 35},      {XK_Home, 36},      {XK_Left, 37},    {XK_Up, 38},
        {XK_Right, 39},    {XK_Down, 40},      {XK_Delete, 46},  {XK_Insert, 45},
        {XK_F1, 112},      {XK_F12, 123},      {XK_KP_Add, 107}, {XK_comma, 188},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(VirtualKeyFromKeysym(c.keysym), c.vk) << "keysym 0x" << std::hex << c.keysym;
    }
}

TEST(X11Keys, UnknownSymbolsGiveNoKey) {
    EXPECT_EQ(VirtualKeyFromKeysym(XK_EuroSign), 0u);
    EXPECT_EQ(VirtualKeyFromKeysym(0), 0u);
}

TEST(X11Keys, ModifierAndButtonBits) {
    EXPECT_EQ(ShiftBitOfVirtualKey(16), 1u);
    EXPECT_EQ(ShiftBitOfVirtualKey(17), 2u);
    EXPECT_EQ(ShiftBitOfVirtualKey(18), 4u);
    EXPECT_EQ(ShiftBitOfVirtualKey(65), 0u);
    EXPECT_EQ(ShiftBitsFromState(ShiftMask | Mod1Mask), 5u);
    EXPECT_EQ(ShiftBitsFromState(ControlMask | LockMask | Mod2Mask), 2u);
    EXPECT_EQ(ButtonBitsFromState(Button1Mask | Button3Mask | ShiftMask), 5u);
    EXPECT_EQ(ButtonBitsFromState(Button2Mask | Button4Mask), 2u);
}

TEST(X11Text, EveryLatin1CharacterSurvivesTheRoundTrip) {
    std::string all;
    for (int c = 1; c < 256; ++c) all.push_back(static_cast<char>(c));
    const std::string utf8 = Utf8FromLatin1(all);
    EXPECT_TRUE(IsValidUtf8(utf8));
    EXPECT_EQ(utf8.size(), 127u + 2u * 128u);
    EXPECT_EQ(Latin1FromUtf8(utf8), all);
}

TEST(X11Text, CharactersBeyondLatin1BecomeQuestionMarks) {
    EXPECT_EQ(Latin1FromUtf8("a\xE2\x82\xAC" "b"), "a?b");         // euro sign
    EXPECT_EQ(Latin1FromUtf8("\xF0\x9F\x98\x80"), "?");             // four-byte character
    EXPECT_EQ(Latin1FromUtf8("caf\xC3\xA9"), "caf\xE9");
}

TEST(X11Text, MalformedUtf8IsTakenAsLatin1) {
    EXPECT_FALSE(IsValidUtf8("\xE9t\xE9"));
    EXPECT_EQ(Latin1FromUtf8("\xE9t\xE9"), "\xE9t\xE9");
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong slash
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));          // cut short
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // past the last plane
    EXPECT_TRUE(IsValidUtf8(""));
}

TEST(X11Shape, EllipseRowsStayInsideTheRectAndAreSymmetric) {
    const os::HostRect rect{10, 20, 50, 50};  // 40 x 30
    const auto spans = EllipseSpans(rect);
    ASSERT_EQ(spans.size(), 30u);
    for (std::size_t i = 0; i < spans.size(); ++i) {
        const Span& s = spans[i];
        EXPECT_EQ(s.y, 20 + static_cast<int>(i));
        EXPECT_GE(s.x0, rect.left);
        EXPECT_LE(s.x1, rect.right);
        EXPECT_LT(s.x0, s.x1);
        const Span& mirror = spans[spans.size() - 1 - i];
        EXPECT_EQ(s.x0, mirror.x0);
        EXPECT_EQ(s.x1, mirror.x1);
        // Left and right halves mirror each other too.
        EXPECT_EQ(s.x0 - rect.left, rect.right - s.x1);
    }
    // Widest in the middle, narrowest at the ends.
    EXPECT_EQ(spans[15].x0, 10);
    EXPECT_EQ(spans[15].x1, 50);
    EXPECT_GT(spans[0].x0, spans[5].x0);
}

TEST(X11Shape, DegenerateRectsGiveNoRowsOrOnePixel) {
    EXPECT_TRUE(EllipseSpans({0, 0, 0, 10}).empty());
    EXPECT_TRUE(EllipseSpans({5, 5, 2, 9}).empty());
    const auto dot = EllipseSpans({3, 4, 4, 5});
    ASSERT_EQ(dot.size(), 1u);
    EXPECT_EQ(dot[0].y, 4);
    EXPECT_EQ(dot[0].x0, 3);
    EXPECT_EQ(dot[0].x1, 4);
}

TEST(X11PixelFormat, OnlyNativeXrgbIsDirect) {
    EXPECT_TRUE(PixelFormat(0xFF0000, 0xFF00, 0xFF, 32, true).IsDirect());
    EXPECT_FALSE(PixelFormat(0xFF0000, 0xFF00, 0xFF, 32, false).IsDirect());
    EXPECT_FALSE(PixelFormat(0xFF, 0xFF00, 0xFF0000, 32, true).IsDirect());
    EXPECT_FALSE(PixelFormat(0xF800, 0x7E0, 0x1F, 16, true).IsDirect());
    EXPECT_FALSE(PixelFormat(0xFF0000, 0xFF00, 0xFF, 24, true).IsDirect());
}

TEST(X11PixelFormat, BgrSwapsChannels) {
    const PixelFormat bgr(0xFF, 0xFF00, 0xFF0000, 32, true);
    EXPECT_TRUE(bgr.IsUsable());
    EXPECT_EQ(bgr.Encode(0x112233), 0x332211u);
    EXPECT_EQ(bgr.Decode(0x332211), 0x112233u);
}

TEST(X11PixelFormat, NarrowChannelsKeepFullIntensityAndRoundTripClosely) {
    const PixelFormat rgb565(0xF800, 0x7E0, 0x1F, 16, true);
    EXPECT_EQ(rgb565.Encode(0xFFFFFF), 0xFFFFu);
    EXPECT_EQ(rgb565.Decode(0xFFFF), 0xFFFFFFu);
    EXPECT_EQ(rgb565.Encode(0xFF0000), 0xF800u);
    EXPECT_EQ(rgb565.Decode(0), 0u);
    for (std::uint32_t v = 0; v < 256; v += 17) {
        const std::uint32_t rgb = (v << 16) | ((255 - v) << 8) | (v / 2);
        const std::uint32_t back = rgb565.Decode(rgb565.Encode(rgb));
        for (int shift : {0, 8, 16}) {
            const int a = static_cast<int>((rgb >> shift) & 0xFF);
            const int b = static_cast<int>((back >> shift) & 0xFF);
            EXPECT_LE(std::abs(a - b), 8) << std::hex << rgb << " -> " << back;
        }
    }
}

TEST(X11PixelFormat, WideChannelsScaleUp) {
    const PixelFormat deep(0x3FF00000, 0xFFC00, 0x3FF, 32, true);
    EXPECT_EQ(deep.Encode(0xFFFFFF), 0x3FFFFFFFu);
    EXPECT_EQ(deep.Encode(0x000000), 0u);
    EXPECT_EQ(deep.Decode(deep.Encode(0x80FF01)), 0x80FF01u);
}

TEST(X11PixelFormat, BrokenMasksAreUnusable) {
    EXPECT_FALSE(PixelFormat(0xF0F000, 0xFF00, 0xFF, 32, true).IsUsable());
    EXPECT_FALSE(PixelFormat(0, 0xFF00, 0xFF, 32, true).IsUsable());
}

}  // namespace
}  // namespace hosts::x11
