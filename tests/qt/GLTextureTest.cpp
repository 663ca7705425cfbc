// Texture loads read back from GL: target, format, filters, mip-map levels
// and texels, and the messages of every refused file.
#include <QColor>
#include <QImage>

#include <GL/gl.h>

#include "GLSupport.h"

namespace lociview::qt::test {
namespace {

using GLTextureTest = GLTest;

std::vector<uint8_t> tga(uint16_t width, uint16_t height, uint8_t bits, const std::vector<uint8_t>& pixels,
                         uint8_t type = 2, uint8_t idLength = 0, uint8_t mapType = 0) {
    std::vector<uint8_t> out = {idLength, mapType, type, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                static_cast<uint8_t>(width & 0xff), static_cast<uint8_t>(width >> 8),
                                static_cast<uint8_t>(height & 0xff), static_cast<uint8_t>(height >> 8), bits, 0};
    for (uint8_t b : pixels) out.push_back(b);
    return out;
}

std::vector<uint8_t> cut(std::vector<uint8_t> bytes, size_t length) {
    bytes.resize(length);
    return bytes;
}

std::vector<uint8_t> ramp(size_t n) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 7 + 1);
    return v;
}

TEST_F(GLTextureTest, ImageFilesBecomeTexturesOfTheRightKind) {
    struct Case {
        const char* name;
        int width, height;
        bool alpha, mipmap;
        GLenum target, format;
        GLint minFilter;
        GLint level1Width;  // 0: no mip-maps
    };
    const GLenum rect = textureRectangleTarget;
    const Case cases[] = {
        {"square RGBA, mip-mapped", 256, 256, true, true, GL_TEXTURE_2D, GL_RGBA, GL_LINEAR_MIPMAP_NEAREST, 128},
        {"square RGB, plain", 256, 256, false, false, GL_TEXTURE_2D, GL_RGB, GL_LINEAR, 0},
        {"one pixel is a power of two", 1, 1, true, false, GL_TEXTURE_2D, GL_RGBA, GL_LINEAR, 0},
        {"300 x 200 is a rectangle", 300, 200, false, false, rect, GL_RGB, GL_LINEAR, 0},
        {"a rectangle is never mip-mapped", 300, 200, true, true, rect, GL_RGBA, GL_LINEAR, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        log.lines.clear();
        QImage image(c.width, c.height, c.alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        image.fill(QColor(10, 200, 30, c.alpha ? 128 : 255));
        const std::string file = writeImage("image.png", image);
        GLTexture::setMipMapping(c.mipmap ? 1 : 0);
        {
            auto t = GLTexture::initWithFile(file, services());
            EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
            EXPECT_NE(t->name(), 0u);
            EXPECT_EQ(t->target(), c.target);
            EXPECT_EQ(t->format(), c.format);
            EXPECT_EQ(t->textureIsRectangle(), c.target == rect ? 1 : 0);
            EXPECT_EQ(glIsEnabled(rect), c.target == rect ? GL_TRUE : GL_FALSE);
            EXPECT_EQ(texParameter(c.target, GL_TEXTURE_MIN_FILTER), c.minFilter);
            EXPECT_EQ(texParameter(c.target, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
            EXPECT_EQ(levelWidth(c.target, 0), c.width);
            if (c.target == GL_TEXTURE_2D) {
                EXPECT_EQ(levelWidth(c.target, 1), c.level1Width);
            }
            EXPECT_TRUE(t->pixels().empty());  // released after the upload
            EXPECT_EQ(t->imageWidth(), static_cast<uint32_t>(c.width));
            EXPECT_EQ(t->title(), file);
            EXPECT_EQ(log.has("Mip mapped"), c.level1Width != 0);
        }
        EXPECT_EQ(log.lines.front(), "Loading - " + file);
        EXPECT_EQ(log.lines.back(), "Dealloc image");
    }
    GLTexture::disableMipMapping();
    glDisable(textureRectangleTarget);
    EXPECT_TRUE(alerts.empty());
}

TEST_F(GLTextureTest, ImageRowsGoUpsideDownAndUnpadded) {
    // 3 x 2 RGB: rows of 9 bytes, which a 4-byte unpack alignment would skew.
    QImage image(3, 2, QImage::Format_RGB32);
    const QRgb top[3] = {qRgb(255, 0, 0), qRgb(1, 2, 3), qRgb(4, 5, 6)};
    const QRgb bottom[3] = {qRgb(7, 8, 9), qRgb(10, 11, 12), qRgb(0, 0, 255)};
    for (int x = 0; x < 3; ++x) {
        image.setPixel(x, 0, top[x]);
        image.setPixel(x, 1, bottom[x]);
    }
    auto t = GLTexture::initWithFile(writeImage("rows.png", image), services());
    ASSERT_EQ(t->format(), static_cast<uint32_t>(GL_RGB));
    const std::vector<uint8_t> got = texels(t->target(), 3, 2);
    // Texture row 0 is the image's bottom row; texture (0, 1) is its red top-left.
    for (int x = 0; x < 3; ++x) {
        for (int row = 0; row < 2; ++row) {
            const QRgb want = row == 0 ? bottom[x] : top[x];
            const size_t i = static_cast<size_t>(row * 3 + x) * 4;
            EXPECT_EQ(got[i], qRed(want)) << x << "," << row;
            EXPECT_EQ(got[i + 1], qGreen(want)) << x << "," << row;
            EXPECT_EQ(got[i + 2], qBlue(want)) << x << "," << row;
        }
    }
    glDisable(textureRectangleTarget);
}

TEST_F(GLTextureTest, GreyImagesAreRefusedWithAnAlert) {
    QImage grey(8, 8, QImage::Format_Grayscale8);
    grey.fill(128);
    const std::string file = writeImage("grey.png", grey);
    GLTexture t(services());
    EXPECT_EQ(t.loadNSImage(file), nullptr);
    EXPECT_EQ(t.name(), 0u);
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].first, "Error");
    EXPECT_EQ(alerts[0].second, "Inavlid image, check that its RGB.");
    EXPECT_EQ(output.written, "Failed, can't find bit data.\n");
}

TEST_F(GLTextureTest, UnreadableImageGivesAnEmptyTexture) {
    GLTexture::enableMipMapping();
    const std::string file = path("missing.png");
    auto t = GLTexture::initWithFile(file, services());
    GLTexture::disableMipMapping();
    EXPECT_NE(t->name(), 0u);
    EXPECT_EQ(t->target(), static_cast<uint32_t>(GL_TEXTURE_2D));
    EXPECT_EQ(t->description(), "GLTexture object, width = 0, height = 0");
    EXPECT_EQ(log.lines, (std::vector<std::string>{"Loading - " + file, "Mip mapped"}));
    EXPECT_TRUE(alerts.empty());
    EXPECT_TRUE(output.written.empty());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GLTextureTest, TgaFilesLoadWithTheirOwnReader) {
    // 24 bits: the first pixel's file bytes 10 20 30 are blue, green, red.
    std::vector<uint8_t> rgb = ramp(2 * 2 * 3);
    rgb[0] = 10, rgb[1] = 20, rgb[2] = 30;
    auto t = GLTexture::initWithTGA(writeBytes("rgb.tga", tga(2, 2, 24, rgb)), services());
    EXPECT_EQ(t->format(), static_cast<uint32_t>(GL_RGB));
    EXPECT_EQ(t->target(), static_cast<uint32_t>(GL_TEXTURE_2D));
    EXPECT_EQ(texParameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(texParameter(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(levelWidth(GL_TEXTURE_2D, 1), 0);
    const std::vector<uint8_t> got = texels(GL_TEXTURE_2D, 2, 2);
    EXPECT_EQ(got[0], 30);
    EXPECT_EQ(got[1], 20);
    EXPECT_EQ(got[2], 10);
    ASSERT_EQ(t->pixels().size(), 12u);  // the TGA pixel copy stays
    EXPECT_EQ(t->pixels()[0], 30);
    EXPECT_EQ(t->alphaAtPoint(0, 0), 0);  // no alpha in 24 bits
    EXPECT_TRUE(output.written.empty());

    // 3 x 1 at 24 bits: a rectangle with 9-byte rows.
    auto odd = GLTexture::initWithTGA(writeBytes("odd.tga", tga(3, 1, 24, ramp(9))), services());
    EXPECT_EQ(odd->target(), textureRectangleTarget);
    const std::vector<uint8_t> row = texels(textureRectangleTarget, 3, 1);
    const std::vector<uint8_t> file = ramp(9);
    for (size_t x = 0; x < 3; ++x) {
        EXPECT_EQ(row[x * 4], file[x * 3 + 2]) << x;
        EXPECT_EQ(row[x * 4 + 2], file[x * 3]) << x;
    }
    glDisable(textureRectangleTarget);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GLTextureTest, AlphaAtPointReadsThePixelCopy) {
    std::vector<uint8_t> pixels(4 * 4 * 4, 0);
    for (size_t i = 0; i < 16; ++i) pixels[i * 4 + 3] = static_cast<uint8_t>(190 + i);  // alpha of pixel i
    auto t = GLTexture::initWithTGA(writeBytes("rgba.tga", tga(4, 4, 32, pixels)), services());
    ASSERT_EQ(t->format(), static_cast<uint32_t>(GL_RGBA));
    struct Case {
        float x, y;
        int32_t alpha;
    };
    const Case cases[] = {
        {0, 0, -66},    // 190 read as a signed byte
        {3, 0, -63},    {0, 1, -62},  {0.9f, 2, -58},  // 2 x 4 + 0.9 truncates to pixel 8
        {1, 2, 0},      // pixel 9: byte 39 is past (4-1) x (4-1) x 4
        {3, 3, 0},      {-1, 0, 0},   {4, 0, 0},       {0, 4, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(t->alphaAtPoint(c.x, c.y), c.alpha) << c.x << "," << c.y;
}

TEST_F(GLTextureTest, RefusedTgaFilesSayWhy) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* ending;  // what follows the path on standard output
    };
    const Case cases[] = {
        {"run-length coded", tga(2, 2, 24, ramp(12), 10), " failed.\n"},
        {"image ID present", tga(2, 2, 24, ramp(12), 2, 1), " failed.\n"},
        {"colour map", tga(2, 2, 24, ramp(12), 2, 0, 1), " failed.\n"},
        {"zero width", tga(0, 2, 24, ramp(12)), " failed.\n"},
        {"16 bits", tga(2, 2, 16, ramp(8)), " failed.\n"},
        {"header cut short", cut(tga(2, 2, 24, {}), 15), " failed.\n"},
        {"pixels cut short", tga(2, 2, 32, ramp(15)), " failed\n"},
        {"huge size, tiny file", tga(65535, 65535, 32, ramp(16)), " failed\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        output.written.clear();
        const std::string file = writeBytes("bad.tga", c.bytes);
        GLTexture t(services());
        EXPECT_EQ(t.loadTGA(file), nullptr);
        EXPECT_EQ(t.name(), 0u);
        EXPECT_EQ(output.written, "Loading TGA " + file + c.ending);
    }
    output.written.clear();
    auto missing = GLTexture::initWithTGA(path("nowhere.tga"), services());
    EXPECT_EQ(missing->name(), 0u);
    EXPECT_EQ(output.written, "Loading TGA " + path("nowhere.tga") + " failed.\n");
}

TEST_F(GLTextureTest, SizeIsPowerOfTwo) {
    struct Case {
        float width, height;
        bool power;
    };
    const Case cases[] = {{1, 1, true},     {256, 512, true}, {2, 65536, true}, {300, 200, false},
                          {256, 3, false},  {0, 0, false},    {-4, 4, false},   {0.5f, 2, true}};
    for (const auto& c : cases) EXPECT_EQ(GLTexture::sizeIsPowerOfTwo(c.width, c.height), c.power) << c.width;
}

}  // namespace
}  // namespace lociview::qt::test
