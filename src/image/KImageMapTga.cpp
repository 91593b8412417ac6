#include "image/KImageMapTga.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <utility>

#include "platform/KFile.h"
#include "platform/KUi.h"

K_IMPLEMENT_DYNAMIC(KImageMapTga, KImageMap, 0xFFFF, false)

namespace {

bool isSupportedDepth(int bits) {
    return bits == 8 || bits == 15 || bits == 16 || bits == 24 || bits == 32;
}

// Colour map entries are 15- or 16-bit A-R-G-B or 24- or 32-bit B-G-R(-A).
bool isSupportedEntrySize(int bits) {
    return bits == 15 || bits == 16 || bits == 24 || bits == 32;
}

bool isTrueColorDepth(int bits) {
    return bits == 24 || bits == 32;
}

bool isRunLengthType(int type) {
    return type >= 9 && type <= 11;
}

int readU16(const std::vector<uint8_t>& bytes, size_t at) {
    return int(bytes[at]) | int(bytes[at + 1]) << 8;
}

void appendU16(std::vector<uint8_t>& out, int value) {
    out.push_back(uint8_t(value & 0xFF));
    out.push_back(uint8_t((value >> 8) & 0xFF));
}

// trunc(value * scale) as an integer whose low bytes are stored. The product is not
// clamped to the pixel's range (callers rely on the low bytes of out-of-range values), but
// NaN and magnitudes beyond 64 bits are pinned so the conversion is always defined.
int64_t truncatedProduct(double value, double scale) {
    const double t = std::trunc(value * scale);
    if (std::isnan(t)) {
        return 0;
    }
    constexpr double kLimit = 4.0e18;
    return int64_t(std::clamp(t, -kLimit, kLimit));
}

uint8_t lowByte(int64_t v) {
    return uint8_t(uint64_t(v) & 0xFF);
}

uint32_t packColor(uint32_t red, uint32_t green, uint32_t blue) {
    return (red & 0xFF) | (green & 0xFF) << 8 | (blue & 0xFF) << 16;
}

uint32_t grey(uint32_t level) {
    return packColor(level, level, level);
}

uint32_t redOf(uint32_t c) {
    return c & 0xFF;
}
uint32_t greenOf(uint32_t c) {
    return (c >> 8) & 0xFF;
}
uint32_t blueOf(uint32_t c) {
    return (c >> 16) & 0xFF;
}

// A 5-bit colour field widened to 8 bits.
uint32_t widen5(uint32_t v) {
    return (v << 3) | (v >> 2);
}

double clampUnit(double t) {
    return std::isnan(t) ? 0.0 : std::clamp(t, 0.0, 1.0);
}

} // namespace

KImageMapTga::KImageMapTga(const std::string& path) {
    name = path;
    loadStatus = load();
}

// ---- loading

int KImageMapTga::load() {
    std::vector<uint8_t> file;
    bool read = false;
    try {
        read = kReadFile(name, file, nullptr, kMaxFileBytes);
    } catch (const std::bad_alloc&) {
        clearImage();
        return LoadNoMemory;
    }
    if (!read) {
        pixelDepthOption = OptionGray24;
        clearImage();
        return LoadFailed;
    }
    return loadBytes(std::move(file));
}

int KImageMapTga::loadBytes(const std::vector<uint8_t>& file) {
    std::vector<uint8_t> copy;
    try {
        copy = file;
    } catch (const std::bad_alloc&) {
        clearImage();
        return LoadNoMemory;
    }
    return loadBytes(std::move(copy));
}

int KImageMapTga::loadBytes(std::vector<uint8_t>&& file) {
    pixelDepthOption = OptionGray24;
    int status = LoadFailed;
    try {
        status = parse(file);
    } catch (const std::bad_alloc&) {
        status = LoadNoMemory;
    }
    if (status != LoadOk) {
        clearImage();
        return status;
    }
    if (pixelDepth_ == 8) {
        setPixelDepthOption(OptionGray8);
    } else if (pixelDepth_ == 16) {
        setPixelDepthOption(Option88);
    } else {
        setPixelDepthOption(OptionGray24);
        askPixelDepthOption();
    }
    return LoadOk;
}

// Reads a whole TGA file held in memory. Every length the header gives is checked against
// the bytes that remain before anything is copied, so a short or lying file fails cleanly.
// The members change only when the whole image was read.
int KImageMapTga::parse(std::vector<uint8_t>& file) {
    if (file.size() < size_t(kHeaderBytes)) {
        return LoadFailed;
    }
    const size_t idLength = file[0];
    const int cmType = file[1];
    const int type = file[2];
    const int cmFirst = readU16(file, 3);
    const int cmLength = readU16(file, 5);
    const int cmBits = file[7];
    const int depth = file[16];
    const int w = readU16(file, 12);
    const int h = readU16(file, 14);
    size_t at = kHeaderBytes;

    if (file.size() - at < idLength) {
        return LoadFailed;
    }
    std::string id(file.begin() + long(at), file.begin() + long(at + idLength));
    at += idLength;

    std::vector<uint8_t> map;
    if (cmType != 0 && cmLength > 0) {
        if (!isSupportedEntrySize(cmBits)) {
            return LoadFailed;
        }
        const size_t entryBytes = size_t(bytesFor(cmBits));
        const size_t mapBytes = size_t(cmLength) * entryBytes;
        if (file.size() - at < mapBytes) {
            return LoadFailed;
        }
        // Entries are kept at their own index, so a pixel's byte indexes the buffer directly.
        map.assign((size_t(cmFirst) + size_t(cmLength)) * entryBytes, 0);
        std::copy_n(file.begin() + long(at), mapBytes, map.begin() + long(cmFirst * entryBytes));
        at += mapBytes;
    }

    if (isRunLengthType(type)) {
        kUi().message(kRleMessage, KUi::Icon::Warning);
        return LoadFailed;
    }
    if (type != TypeColorMapped && type != TypeTrueColor && type != TypeGrey) {
        return LoadFailed;
    }
    if (!isSupportedDepth(depth) || w == 0 || h == 0) {
        return LoadFailed;
    }
    const size_t pixelBytes = size_t(w) * size_t(h) * size_t(bytesFor(depth));
    if (file.size() - at < pixelBytes) {
        return LoadFailed;
    }

    const int xOrigin = readU16(file, 8), yOrigin = readU16(file, 10);
    const int descriptor = file[17];
    // The pixels move to the front of the file's own buffer, which becomes the image:
    // a large image is never held twice.
    std::memmove(file.data(), file.data() + at, pixelBytes);
    file.resize(pixelBytes);
    pixels_ = std::move(file);
    colorMap_ = std::move(map);
    imageId_ = std::move(id);
    colorMapType_ = cmType;
    imageType_ = type;
    colorMapFirst_ = cmFirst;
    colorMapLength_ = cmLength;
    colorMapEntrySize_ = cmBits;
    xOrigin_ = xOrigin;
    yOrigin_ = yOrigin;
    width_ = w;
    height_ = h;
    pixelDepth_ = depth;
    descriptor_ = descriptor;

    // Hold every image bottom row first, left to right.
    if (descriptor_ & kRightToLeft) {
        flipHorizontal();
    }
    if (descriptor_ & kTopToBottom) {
        flipVertical();
    }
    descriptor_ &= 0x0F;
    return LoadOk;
}

void KImageMapTga::clearImage() {
    std::vector<uint8_t>().swap(pixels_);
    std::vector<uint8_t>().swap(colorMap_);
    imageId_.clear();
    colorMapType_ = colorMapFirst_ = colorMapLength_ = colorMapEntrySize_ = 0;
    imageType_ = TypeNone;
    xOrigin_ = yOrigin_ = 0;
    width_ = height_ = 0;
    descriptor_ = 0;
}

// ---- saving

std::vector<uint8_t> KImageMapTga::headerBytes() const {
    std::vector<uint8_t> h;
    h.reserve(kHeaderBytes);
    h.push_back(uint8_t(imageId_.size()));
    h.push_back(uint8_t(colorMapType_));
    h.push_back(uint8_t(imageType_));
    appendU16(h, colorMapFirst_);
    appendU16(h, colorMapLength_);
    h.push_back(uint8_t(colorMapEntrySize_));
    appendU16(h, xOrigin_);
    appendU16(h, yOrigin_);
    appendU16(h, width_);
    appendU16(h, height_);
    h.push_back(uint8_t(pixelDepth_));
    h.push_back(uint8_t(descriptor_));
    return h;
}

int KImageMapTga::save(const std::string& path, std::string* error) {
    imageId_.clear();
    xOrigin_ = yOrigin_ = 0;
    KAtomicFile file;
    if (!file.open(path, error)) {
        return SaveCannotCreate;
    }
    // A header without its pixels is no image: write nothing and keep any old file.
    const bool writableType =
        imageType_ == TypeColorMapped || imageType_ == TypeTrueColor || imageType_ == TypeGrey;
    if (!hasPixels() || !writableType) {
        file.discard();
        if (error) {
            *error = "\"" + path + "\": the image has no pixels";
        }
        return SaveNoPixels;
    }
    file.write(headerBytes().data(), kHeaderBytes);
    if (colorMapType_ != 0 && colorMapLength_ > 0) {
        const size_t entryBytes = size_t(bytesFor(colorMapEntrySize_));
        const size_t from = size_t(colorMapFirst_) * entryBytes;
        const size_t count = size_t(colorMapLength_) * entryBytes;
        std::vector<uint8_t> entries(count, 0);
        if (from < colorMap_.size()) {
            std::copy_n(colorMap_.begin() + long(from), std::min(count, colorMap_.size() - from),
                        entries.begin());
        }
        file.write(entries.data(), entries.size());
    }
    file.write(pixels_.data(), pixels_.size());
    return file.commit(error) ? SaveOk : SaveCannotCreate;
}

// ---- format and size

void KImageMapTga::setFormat(int depth, int option) {
    releasePixels();
    setPixelDepthOption(option);
    if (isSupportedDepth(depth)) {
        pixelDepth_ = depth;
    } else if (option < 1) {
        pixelDepth_ = 8;
    } else if (option <= 3) {
        pixelDepth_ = 16;
    } else if (option <= 8) {
        pixelDepth_ = 24;
    } else {
        pixelDepth_ = 32;
    }
}

void KImageMapTga::resize(int width, int height) {
    releasePixels();
    // The header holds 16-bit sizes.
    if (width < 0 || height < 0 || width > 0xFFFF || height > 0xFFFF) {
        return;
    }
    try {
        pixels_.assign(size_t(width) * size_t(height) * size_t(bytesPerPixel()), 0);
    } catch (const std::bad_alloc&) {
        return;
    }
    width_ = width;
    height_ = height;
    imageType_ = pixelDepth_ < 9 ? TypeGrey : TypeTrueColor;
}

void KImageMapTga::releasePixels() {
    std::vector<uint8_t>().swap(pixels_);
    width_ = height_ = 0;
    imageType_ = TypeNone;
}

// ---- pixels

const uint8_t* KImageMapTga::pixelAt(int x, int y) const {
    const size_t bpp = size_t(bytesPerPixel());
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || bpp == 0) {
        return nullptr;
    }
    const size_t offset = (size_t(y) * size_t(width_) + size_t(x)) * bpp;
    if (offset + bpp > pixels_.size()) {
        return nullptr;
    }
    return pixels_.data() + offset;
}

uint8_t* KImageMapTga::pixelAt(int x, int y) {
    return const_cast<uint8_t*>(std::as_const(*this).pixelAt(x, y));
}

int32_t KImageMapTga::pixelValue(int x, int y) const {
    const uint8_t* p = pixelAt(x, y);
    if (!p) {
        return 0;
    }
    switch (pixelDepth_) {
    case 8:
        return p[0] * 256;
    case 15:
    case 16:
        return p[0] * 256 + p[1];
    case 24:
    case 32:
        break;
    default:
        return 0;
    }
    const int blue = p[0], green = p[1], red = p[2];
    switch (pixelDepthOption) {
    case OptionGray24:
        return blue * 256;
    case OptionGamma:
        return int(int(int(0.11 * blue) + 0.59 * green) + 0.3 * red) * 256;
    case OptionRedGreen:
        return red * 256 + green;
    case OptionRgb:
        return red * 65536 + green * 256 + blue;
    default:
        return 0;
    }
}

void KImageMapTga::setHeight(int x, int y, double value) {
    uint8_t* p = pixelAt(x, y);
    if (!p) {
        return;
    }
    if (pixelDepth_ == 8) {
        p[0] = lowByte(truncatedProduct(value, 255));
        return;
    }
    if (pixelDepth_ == 15 || pixelDepth_ == 16) {
        const int64_t h = truncatedProduct(value, 65535);
        p[0] = lowByte(h >> 8);
        p[1] = lowByte(h);
        return;
    }
    if (!isTrueColorDepth(pixelDepth_)) {
        return;
    }
    switch (pixelDepthOption) {
    case OptionGray24:
        p[0] = p[1] = p[2] = lowByte(truncatedProduct(value, 255));
        break;
    case OptionGamma: {
        const double g = double(truncatedProduct(value, 255));
        p[2] = lowByte(truncatedProduct(g, 0.3));
        p[1] = lowByte(truncatedProduct(g, 0.59));
        p[0] = lowByte(truncatedProduct(g, 0.11));
        break;
    }
    case OptionRedGreen: {
        const int64_t h = truncatedProduct(value, 65535);
        p[0] = 0;
        p[1] = lowByte(h);
        p[2] = lowByte(h >> 8);
        break;
    }
    case OptionRgb: {
        const int64_t h = truncatedProduct(value, 16777215);
        p[0] = lowByte(h);
        p[1] = lowByte(h >> 8);
        p[2] = lowByte(h >> 16);
        break;
    }
    default:
        return; // these options hold no height
    }
    if (pixelDepth_ == 32) {
        p[3] = 0;
    }
}

void KImageMapTga::setColor(int x, int y, uint32_t packedColor) {
    uint8_t* p = isTrueColorDepth(pixelDepth_) ? pixelAt(x, y) : nullptr;
    if (!p) {
        return;
    }
    p[0] = uint8_t(blueOf(packedColor));
    p[1] = uint8_t(greenOf(packedColor));
    p[2] = uint8_t(redOf(packedColor));
    if (pixelDepth_ == 32) {
        p[3] = 0;
    }
}

uint32_t KImageMapTga::colorMapEntry(int index) const {
    const size_t entryBytes = size_t(bytesFor(colorMapEntrySize_));
    const size_t offset = size_t(index) * entryBytes;
    if (entryBytes < 2 || offset + entryBytes > colorMap_.size()) {
        return 0; // outside the map: black, like the unused entries below the first
    }
    const uint8_t* e = colorMap_.data() + offset;
    if (entryBytes == 2) {
        // 15- and 16-bit entries are little-endian A-R-R-R-R-R-G-G-G-G-G-B-B-B-B-B.
        const uint32_t v = uint32_t(e[0]) | uint32_t(e[1]) << 8;
        return packColor(widen5((v >> 10) & 31), widen5((v >> 5) & 31), widen5(v & 31));
    }
    return packColor(e[2], e[1], e[0]);
}

uint32_t KImageMapTga::baseColor(const uint8_t* p) const {
    switch (pixelDepth_) {
    case 8:
        return colorMapType_ != 0 && !colorMap_.empty() ? colorMapEntry(p[0]) : grey(p[0]);
    case 15:
    case 16: {
        // The fields of the two-byte value, unscaled (0 to 31).
        const uint32_t v = uint32_t(p[0]) << 8 | p[1];
        return packColor((v >> 10) & 31, (v >> 5) & 31, v & 31);
    }
    default:
        return packColor(p[2], p[1], p[0]);
    }
}

uint32_t KImageMapTga::displayColor(int x, int y) const {
    const uint8_t* p = pixelAt(x, y);
    if (!p) {
        return 0;
    }
    const uint32_t base = baseColor(p);
    switch (pixelDepthOption) {
    case Option88:
        return packColor(p[0], bytesPerPixel() > 1 ? p[1] : 0, 0);
    case OptionGray24:
        return grey(redOf(base));
    case OptionGamma:
        return grey(uint32_t(0.3 * redOf(base) + 0.59 * greenOf(base) + 0.11 * blueOf(base)));
    case OptionRedGreen:
        return packColor(redOf(base), greenOf(base) & 0xF0, 0);
    default:
        return base;
    }
}

int32_t KImageMapTga::sample(double u, double v) const {
    const int x = int((width_ - 1) * clampUnit(u));
    const int y = int((height_ - 1) * clampUnit(v));
    const int32_t value = pixelValue(x, y);
    // A 24-bit height is brought to the 16-bit range every caller of a sample expects.
    if (isTrueColorDepth(pixelDepth_) && pixelDepthOption == OptionRgb) {
        return value >> 8;
    }
    return value;
}

int32_t KImageMapTga::value(double u, double v, bool) const {
    return sample(u, v);
}

int32_t KImageMapTga::value(double u, double v) const {
    return sample(u, v);
}

int32_t KImageMapTga::filteredValue(double u, double v) const {
    return sample(u, v);
}

// ---- flips

void KImageMapTga::flipHorizontal() {
    const size_t bpp = size_t(bytesPerPixel());
    const size_t rowBytes = size_t(width_) * bpp;
    if (bpp == 0 || pixels_.size() < rowBytes * size_t(height_)) {
        return;
    }
    for (int y = 0; y < height_; ++y) {
        uint8_t* row = pixels_.data() + size_t(y) * rowBytes;
        for (int x = 0; x < width_ / 2; ++x) {
            std::swap_ranges(row + size_t(x) * bpp, row + size_t(x + 1) * bpp,
                             row + size_t(width_ - 1 - x) * bpp);
        }
    }
}

void KImageMapTga::flipVertical() {
    const size_t rowBytes = size_t(width_) * size_t(bytesPerPixel());
    if (pixels_.size() < rowBytes * size_t(height_)) {
        return;
    }
    for (int r = 0; r < height_ / 2; ++r) {
        uint8_t* a = pixels_.data() + size_t(r) * rowBytes;
        uint8_t* b = pixels_.data() + size_t(height_ - 1 - r) * rowBytes;
        std::swap_ranges(a, a + rowBytes, b);
    }
}

// ---- the pixel depth question

int KImageMapTga::askPixelDepthOption() {
    return askPixelDepthOption(true);
}

int KImageMapTga::askPixelDepthOption(bool restrictToDepth) {
    return askPixelDepthOptionFor(pixelDepth_, restrictToDepth ? pixelDepth_ : 0);
}
