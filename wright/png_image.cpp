#include "wright/png_image.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace wright::png {
namespace {

// libpng reports an error by calling onError, which must not return: it keeps
// the reason in a fixed buffer (nothing that could throw) and jumps back to
// the step that called libpng.
struct ErrorSlot {
    char message[256] = "unknown libpng error";
};

[[noreturn]] void onError(png_structp png, png_const_charp message) {
    if (auto* slot = static_cast<ErrorSlot*>(png_get_error_ptr(png)))
        std::snprintf(slot->message, sizeof slot->message, "%s", message ? message : "unknown libpng error");
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

// Runs one step of libpng calls under a fresh jump buffer; false when libpng
// reported an error (the reason is in the ErrorSlot). The jump leaves the
// step's frame and libpng's own without unwinding them, so a step is a lambda
// that only calls libpng and stores plain values through its captures: it
// holds nothing to destroy and throws nothing. Every libpng call that can fail
// runs inside a step, so the buffer never points at a frame that has returned.
template <class Step>
[[gnu::noinline]] bool runStep(png_structp png, const Step& step) {
    if (setjmp(png_jmpbuf(png))) return false;
    step();
    return true;
}

struct MemoryTarget {
    std::string bytes;
};

void writeToMemory(png_structp png, png_bytep data, std::size_t length) {
    auto* target = static_cast<MemoryTarget*>(png_get_io_ptr(png));
    bool failed = false;
    try {
        target->bytes.append(reinterpret_cast<const char*>(data), length);
    } catch (...) {
        failed = true;
    }
    // Outside the handler: png_error leaves by longjmp.
    if (failed) png_error(png, "out of memory for the PNG");
}

void flushNothing(png_structp) {}

class WriteStructs {
public:
    WriteStructs(ErrorSlot& slot) {
        png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &slot, onError, onWarning);
        if (!png) throw PngError("libpng cannot start a PNG writer");
        info = png_create_info_struct(png);
        if (!info) {
            png_destroy_write_struct(&png, nullptr);
            throw PngError("libpng cannot start a PNG writer");
        }
    }
    ~WriteStructs() { png_destroy_write_struct(&png, &info); }
    WriteStructs(const WriteStructs&) = delete;
    WriteStructs& operator=(const WriteStructs&) = delete;

    png_structp png = nullptr;
    png_infop info = nullptr;
};

}  // namespace

std::string hexColour(Rgb colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", colour.red, colour.green, colour.blue);
    return text;
}

std::string encodeIndexedPng(std::uint32_t width, std::uint32_t height, const std::vector<Rgb>& palette,
                             const RowFiller& fillRow) {
    if (palette.empty() || palette.size() > PNG_MAX_PALETTE_LENGTH)
        throw std::invalid_argument("a PNG palette holds 1 to 256 entries");
    std::vector<png_color> plte;
    for (const Rgb& c : palette) plte.push_back({c.red, c.green, c.blue});
    std::vector<std::uint8_t> row(width);

    ErrorSlot slot;
    MemoryTarget target;
    WriteStructs w(slot);
    const auto failed = [&] { return PngError(slot.message); };

    if (!runStep(w.png, [&] {
            png_set_write_fn(w.png, &target, writeToMemory, flushNothing);
            png_set_IHDR(w.png, w.info, width, height, 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
                         PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
            png_set_PLTE(w.png, w.info, plte.data(), static_cast<int>(plte.size()));
            png_write_info(w.png, w.info);
        }))
        throw failed();
    for (std::uint32_t y = 0; y < height; ++y) {
        fillRow(y, row.data());
        if (!runStep(w.png, [&] { png_write_row(w.png, row.data()); })) throw failed();
    }
    if (!runStep(w.png, [&] { png_write_end(w.png, w.info); })) throw failed();
    return std::move(target.bytes);
}

bool DeepColour::exact8Bit() const {
    const auto exact = [](std::uint16_t v) { return v % 257 == 0; };
    return exact(red) && exact(green) && exact(blue) && alpha == 0xFFFF;
}

Rgb DeepColour::rgb() const {
    return {static_cast<std::uint8_t>(red >> 8), static_cast<std::uint8_t>(green >> 8),
            static_cast<std::uint8_t>(blue >> 8)};
}

std::string DeepColour::text() const {
    const bool eightBit = red % 257 == 0 && green % 257 == 0 && blue % 257 == 0;
    char buffer[64];
    if (eightBit)
        std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", red >> 8, green >> 8, blue >> 8);
    else
        std::snprintf(buffer, sizeof buffer, "#%04x%04x%04x", red, green, blue);
    std::string text = buffer;
    if (alpha != 0xFFFF) text += ", alpha " + std::to_string(alpha) + " of 65535";
    return text;
}

bool PngHeader::indexed() const {
    return colourType == PNG_COLOR_TYPE_PALETTE;
}

std::string PngHeader::colourTypeName() const {
    switch (colourType) {
    case PNG_COLOR_TYPE_GRAY:
        return "grey scale";
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return "grey scale with alpha";
    case PNG_COLOR_TYPE_PALETTE:
        return "palette";
    case PNG_COLOR_TYPE_RGB:
        return "RGB";
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return "RGB with alpha";
    default:
        return "colour type " + std::to_string(colourType);
    }
}

struct PngReader::State {
    std::string bytes;
    std::size_t position = 0;
    ErrorSlot slot;
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::uint32_t nextRow = 0;
    std::size_t rowBytes = 0;  // after the transformations
    std::vector<std::uint8_t> colourRow;
    std::vector<std::uint8_t> whole;  // an interlaced image, once decoded
    bool decoded = false;

    ~State() {
        if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    }
};

namespace {

void readFromMemory(png_structp png, png_bytep out, std::size_t length) {
    auto* state = static_cast<PngReader::State*>(png_get_io_ptr(png));
    if (length > state->bytes.size() - state->position) png_error(png, "the file ends early");
    std::memcpy(out, state->bytes.data() + state->position, length);
    state->position += length;
}

}  // namespace

PngReader::PngReader(std::string bytes) : state_(std::make_unique<State>()) {
    State& s = *state_;
    s.bytes = std::move(bytes);
    if (s.bytes.size() < 8 || png_sig_cmp(reinterpret_cast<png_const_bytep>(s.bytes.data()), 0, 8) != 0)
        throw PngError("not a PNG file");
    s.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &s.slot, onError, onWarning);
    if (!s.png) throw PngError("libpng cannot start a PNG reader");
    s.info = png_create_info_struct(s.png);
    if (!s.info) throw PngError("libpng cannot start a PNG reader");

    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colourType = 0, interlace = 0;
    png_colorp plte = nullptr;
    int entries = 0;
    std::size_t rowBytes = 0;
    if (!runStep(s.png, [&] {
            png_set_read_fn(s.png, &s, readFromMemory);
            png_read_info(s.png, s.info);
            png_get_IHDR(s.png, s.info, &width, &height, &bitDepth, &colourType, &interlace, nullptr, nullptr);
            if (!(png_get_PLTE(s.png, s.info, &plte, &entries) & PNG_INFO_PLTE)) entries = 0;
            if (colourType == PNG_COLOR_TYPE_PALETTE) {
                if (bitDepth < 8) png_set_packing(s.png);
            } else {
                // Every other kind becomes RGBA of 16 bits a channel, values
                // widened without rounding; no gamma is applied.
                const bool transparentColour = png_get_valid(s.png, s.info, PNG_INFO_tRNS) != 0;
                png_set_expand(s.png);
                if (bitDepth < 16) png_set_expand_16(s.png);
                png_set_gray_to_rgb(s.png);
                if (!(colourType & PNG_COLOR_MASK_ALPHA) && !transparentColour)
                    png_set_add_alpha(s.png, 0xFFFF, PNG_FILLER_AFTER);
            }
            if (interlace != PNG_INTERLACE_NONE) png_set_interlace_handling(s.png);
            png_read_update_info(s.png, s.info);
            rowBytes = png_get_rowbytes(s.png, s.info);
        }))
        throw PngError(s.slot.message);

    header_.width = width;
    header_.height = height;
    header_.colourType = colourType;
    header_.bitDepth = bitDepth;
    header_.interlaced = interlace != PNG_INTERLACE_NONE;
    for (int i = 0; i < entries; ++i) header_.palette.push_back({plte[i].red, plte[i].green, plte[i].blue});
    const std::size_t pixelBytes = header_.indexed() ? 1 : kColourPixelBytes;
    if (rowBytes != std::size_t{width} * pixelBytes)
        throw PngError("libpng does not unpack the rows to " + std::to_string(pixelBytes) + " bytes a pixel");
    s.rowBytes = rowBytes;
}

PngReader::~PngReader() = default;

void PngReader::readRow(std::uint8_t* row) {
    if (!header_.indexed()) throw std::logic_error("only the rows of an indexed PNG are read as indices");
    readRawRow(row);
}

void PngReader::readColourRow(DeepColour* row) {
    if (header_.indexed()) throw std::logic_error("the rows of an indexed PNG are read as indices");
    std::vector<std::uint8_t>& raw = state_->colourRow;
    raw.resize(state_->rowBytes);
    readRawRow(raw.data());
    // Big-endian samples, red, green, blue, alpha.
    const auto sample = [&](std::size_t at) { return static_cast<std::uint16_t>(raw[at] << 8 | raw[at + 1]); };
    for (std::size_t x = 0; x < header_.width; ++x) {
        const std::size_t at = x * kColourPixelBytes;
        row[x] = {sample(at), sample(at + 2), sample(at + 4), sample(at + 6)};
    }
}

void PngReader::readRawRow(std::uint8_t* row) {
    State& s = *state_;
    if (s.nextRow >= header_.height) throw std::logic_error("every row of the PNG was read");
    if (!header_.interlaced) {
        if (!runStep(s.png, [&] { png_read_row(s.png, row, nullptr); })) throw PngError(s.slot.message);
    } else {
        if (!s.decoded) {
            const std::size_t rowBytes = s.rowBytes;
            if (header_.height != 0 && rowBytes > kMaxInterlacedBytes / header_.height)
                throw PngError("an interlaced PNG of " + std::to_string(header_.width) + " x " +
                               std::to_string(header_.height) + " pixels is too large to decode");
            s.whole.assign(rowBytes * header_.height, 0);
            std::vector<png_bytep> rows(header_.height);
            for (std::size_t y = 0; y < rows.size(); ++y) rows[y] = s.whole.data() + y * rowBytes;
            if (!runStep(s.png, [&] { png_read_image(s.png, rows.data()); })) throw PngError(s.slot.message);
            s.decoded = true;
        }
        std::memcpy(row, s.whole.data() + std::size_t{s.nextRow} * s.rowBytes, s.rowBytes);
    }
    ++s.nextRow;
}

}  // namespace wright::png
