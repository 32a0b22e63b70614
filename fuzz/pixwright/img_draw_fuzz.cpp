// The doubled drawing of arbitrary pictures: any width and height, a pixel
// buffer shorter or longer than width x height, any palette bytes, onto a
// surface whose rows may be padded.
//
// The input: bytes 0-1 width, 2-3 height (each taken modulo 181, so the
// surface stays small), byte 4 bit 0: the surface is one pixel too narrow,
// bit 1: one row too low, bits 2-4: padding pixels at the end of each row;
// then 768 palette bytes (missing ones 0); the rest is the pixel buffer.
//
// Properties: a surface smaller than twice the picture is refused and left
// untouched; otherwise every sampled source pixel (c, r) becomes the 2 x 2
// block at (2c, 2r) in the colour of its index (0 beyond the buffer), the
// colour being each palette component times four modulo 256; each row's
// padding is never written.

#include "fuzz/fuzz_check.h"
#include "pixwright/img_picture.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

using namespace wright::pixwright;

namespace {

constexpr std::uint32_t kUntouched = 0x5A5A5A5Au;
constexpr std::size_t kHeaderBytes = 5;

std::uint8_t byteAt(const std::uint8_t* data, std::size_t size, std::size_t at) {
    return at < size ? data[at] : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    IMGPicture picture;
    picture.IMGWidth = static_cast<std::uint16_t>((byteAt(data, size, 0) | (byteAt(data, size, 1) << 8)) % 181);
    picture.IMGHeight = static_cast<std::uint16_t>((byteAt(data, size, 2) | (byteAt(data, size, 3) << 8)) % 181);
    const std::uint8_t shape = byteAt(data, size, 4);
    for (std::size_t i = 0; i < kPaletteSize; ++i) picture.IMGPalette[i] = byteAt(data, size, kHeaderBytes + i);
    const std::size_t pixelsFrom = kHeaderBytes + kPaletteSize;
    if (size > pixelsFrom) picture.IMGData.assign(data + pixelsFrom, data + size);
    picture.IMGDataSize = static_cast<std::uint32_t>(picture.IMGData.size());

    const std::size_t w = picture.IMGWidth, h = picture.IMGHeight;
    const bool narrow = (shape & 1) != 0 && w > 0;
    const bool low = (shape & 2) != 0 && h > 0;
    const std::size_t padding = (shape >> 2) & 7;
    const std::size_t sw = 2 * w - (narrow ? 1 : 0), sh = 2 * h - (low ? 1 : 0);
    const std::size_t stride = sw + padding;
    std::vector<std::uint32_t> pixels(std::max<std::size_t>(stride * sh, 1), kUntouched);
    const PixelSurface surface{reinterpret_cast<std::uint8_t*>(pixels.data()), int(sw), int(sh),
                               std::ptrdiff_t(stride * sizeof(std::uint32_t))};

    bool refused = false;
    try {
        DrawIMG2x(picture, surface);
    } catch (const std::invalid_argument&) {
        refused = true;
    }
    FUZZ_CHECK(refused == (w > 0 && h > 0 && (narrow || low)));
    if (refused || w == 0 || h == 0) {
        for (std::uint32_t p : pixels) FUZZ_CHECK(p == kUntouched);
        return 0;
    }

    auto colour = [&](std::size_t c, std::size_t r) {
        const std::size_t i = r * w + c;
        const std::size_t index = i < picture.IMGData.size() ? picture.IMGData[i] : 0;
        std::uint32_t rgb = 0xFF000000u;
        for (int k = 0; k < 3; ++k) rgb |= ((picture.IMGPalette[3 * index + k] * 4u) % 256u) << (16 - 8 * k);
        return rgb;
    };
    auto checkBlock = [&](std::size_t c, std::size_t r) {
        const std::uint32_t want = colour(c, r);
        for (std::size_t dy = 0; dy < 2; ++dy)
            for (std::size_t dx = 0; dx < 2; ++dx) FUZZ_CHECK(pixels[(2 * r + dy) * stride + 2 * c + dx] == want);
    };
    // The corners, the pixels on either side of the buffer's end, and a few
    // spread over the picture.
    const std::size_t count = w * h;
    std::vector<std::size_t> samples{0, w - 1, (h - 1) * w, count - 1};
    if (!picture.IMGData.empty()) samples.push_back(picture.IMGData.size() - 1);
    samples.push_back(picture.IMGData.size());
    std::uint32_t state = static_cast<std::uint32_t>(size) * 2654435761u;
    for (int k = 0; k < 12; ++k) {
        state = state * 1664525u + 1013904223u;
        samples.push_back(state % count);
    }
    for (std::size_t i : samples)
        if (i < count) checkBlock(i % w, i / w);
    for (std::size_t y = 0; y < sh; ++y)
        for (std::size_t x = sw; x < stride; ++x) FUZZ_CHECK(pixels[y * stride + x] == kUntouched);
    return 0;
}
