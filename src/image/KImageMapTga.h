#pragma once
// An image map held as an uncompressed Truevision TGA image: types 1 (colour-mapped),
// 2 (true colour) and 3 (grey) at 8, 15, 16, 24 or 32 bits per pixel. Every raster image
// of the program is one of these: layer displacement images, the built displacement
// image and captured frames.
//
// In memory the rows run from the bottom row up, each row left to right, whatever
// origin the file had. Multi-byte pixels keep their file byte order: 24- and 32-bit
// pixels are blue, green, red (, alpha); 15- and 16-bit pixels written by this program
// hold their value high byte first, and 16-bit files from elsewhere are read the same way.
// Packed colours are 0xBBGGRR (red in the low byte).

#include <cstdint>
#include <string>
#include <vector>

#include "image/KImageMap.h"

class KImageMapTga : public KImageMap {
    K_DECLARE_SERIAL(KImageMapTga)
public:
    // Results of load().
    enum LoadStatus : int {
        LoadOk = 0,
        LoadNoMemory = 1,
        LoadFailed = 3 // cannot be opened, or holds no usable image data
    };
    // Results of save().
    enum SaveStatus : int { SaveOk = 0, SaveCannotCreate = 2, SaveNoPixels = 3 };
    // Image types.
    enum ImageType : int { TypeNone = 0, TypeColorMapped = 1, TypeTrueColor = 2, TypeGrey = 3 };
    // Image descriptor bits that give the pixel order in a file.
    static constexpr uint8_t kRightToLeft = 16;
    static constexpr uint8_t kTopToBottom = 32;
    static constexpr int kHeaderBytes = 18;
    // Larger files are refused (status LoadFailed) rather than read into memory.
    static constexpr uint64_t kMaxFileBytes = uint64_t(1) << 30;
    static constexpr const char* kRleMessage = "RLE compressed image! Not currently implemented!";

    // An empty image: grey, 8 bits, 100 x 100 reported but no pixels until resized.
    KImageMapTga() = default;
    // Sets the name to path and loads it; loadStatus holds the result.
    explicit KImageMapTga(const std::string& path);

    // Loads the file named by name. On any failure the image is left without pixels
    // (0 x 0, type 0) and without a colour map.
    int load();
    // Loads an image from the bytes of a TGA file, with the same checks and results.
    int loadBytes(const std::vector<uint8_t>& file);
    // The same, taking the buffer over: the pixels stay where they were read, uncopied.
    int loadBytes(std::vector<uint8_t>&& file);
    // Writes the image to path through a temporary file that replaces path only when
    // complete (KAtomicFile: links are followed, "-" is standard output). Clears the image
    // ID and the origins first, as a saved file has none. On failure *error, when given,
    // names the path and the reason ("\"/tmp/x.tga\": Permission denied"); nothing is
    // shown.
    int save(const std::string& path, std::string* error = nullptr);

    // Releases the pixels, stores the option and sets the depth: the given one when it is
    // a depth this format holds (8, 15, 16, 24 or 32), else the one the option implies
    // (below 1: 8; 1 to 3: 16; 4 to 8: 24; 9 or more: 32).
    void setFormat(int depth, int option);
    // Releases the pixels and allocates width x height zero pixels at the current depth;
    // the type becomes 3 below 9 bits per pixel, else 2. A size that cannot be held (or
    // allocated) leaves a 0 x 0 image of type 0.
    void resize(int width, int height);
    // Frees the pixels; leaves a 0 x 0 image of type 0.
    void releasePixels();

    // Stores a height in [0, 1] in a pixel according to the depth and option. Values
    // outside [0, 1] are not clamped: the low bytes of the scaled value are stored.
    void setHeight(int x, int y, double value);
    // Stores a packed colour in a 24- or 32-bit pixel (alpha 0); other depths ignore it.
    void setColor(int x, int y, uint32_t packedColor);
    // The packed colour a pixel is drawn in.
    uint32_t displayColor(int x, int y) const;
    // The height sample 0..65535 of the pixel nearest below (u, v): column
    // trunc((width - 1) u), row trunc((height - 1) v). u and v are clamped to [0, 1].
    int32_t sample(double u, double v) const;

    int32_t pixelValue(int x, int y) const override;
    int32_t value(double u, double v, bool filtered) const override;
    int32_t value(double u, double v) const override;
    int32_t filteredValue(double u, double v) const override;
    void flipHorizontal() override;
    void flipVertical() override;
    // Asks with the choices restricted by the image's depth; 0 for OK, 1 for Cancel.
    int askPixelDepthOption() override;
    // Asks with or without the restriction by depth.
    int askPixelDepthOption(bool restrictToDepth);

    int width() const { return width_; }
    int height() const { return height_; }
    int pixelDepth() const { return pixelDepth_; }
    int imageType() const { return imageType_; }
    int colorMapType() const { return colorMapType_; }
    int colorMapFirst() const { return colorMapFirst_; }
    int colorMapLength() const { return colorMapLength_; }
    int colorMapEntrySize() const { return colorMapEntrySize_; }
    int xOrigin() const { return xOrigin_; }
    int yOrigin() const { return yOrigin_; }
    int descriptor() const { return descriptor_; }
    const std::string& imageId() const { return imageId_; }
    bool hasPixels() const { return !pixels_.empty(); }
    // The pixel bytes, bottom row first.
    const std::vector<uint8_t>& pixels() const { return pixels_; }
    // Entries of the colour map from index 0; entries below the first index are zero.
    const std::vector<uint8_t>& colorMap() const { return colorMap_; }
    // Bytes per pixel (and per colour map entry) for a bit depth: depth / 8, 2 for 15.
    static int bytesFor(int bits) { return bits == 15 ? 2 : bits / 8; }
    int bytesPerPixel() const { return bytesFor(pixelDepth_); }

    // Result of the load made by the path constructor (0 = loaded).
    int loadStatus = LoadOk;

private:
    // Reads the image from file; on success the pixels are moved out of file, which is
    // left unspecified.
    int parse(std::vector<uint8_t>& file);
    void clearImage();
    // The bytes of pixel (x, y), or null when it lies outside the image.
    uint8_t* pixelAt(int x, int y);
    const uint8_t* pixelAt(int x, int y) const;
    uint32_t baseColor(const uint8_t* p) const;
    uint32_t colorMapEntry(int index) const;
    std::vector<uint8_t> headerBytes() const;

    // The TGA header.
    int colorMapType_ = 0;
    int imageType_ = TypeGrey;
    int colorMapFirst_ = 0;
    int colorMapLength_ = 0;
    int colorMapEntrySize_ = 0;
    int xOrigin_ = 0;
    int yOrigin_ = 0;
    int width_ = 100;
    int height_ = 100;
    int pixelDepth_ = 8;
    int descriptor_ = 0;

    std::string imageId_;
    std::vector<uint8_t> colorMap_;
    std::vector<uint8_t> pixels_;
};
