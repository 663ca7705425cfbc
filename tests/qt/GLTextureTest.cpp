// Textures loaded in a real compatibility-profile context and read back
// from GL (target, format, filters, mip-map levels, texels), and the
// context formats the chart view can draw with.
#include <QImage>
#include <QOffscreenSurface>
#include <QOpenGLContext>

#include <GL/gl.h>

#include <tuple>

#include "WindowFixture.h"
#include "qt/chart/Chartview.h"
#include "qt/chart/GLTexture.h"

namespace lociview::qt::test {
namespace {

class GLTextureTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Chartview::openGLProblem().isEmpty()) << Chartview::openGLProblem().toStdString();
        context.setFormat(QSurfaceFormat::defaultFormat());
        ASSERT_TRUE(context.create());
        surface.setFormat(context.format());
        surface.create();
        ASSERT_TRUE(context.makeCurrent(&surface));
        while (glGetError() != GL_NO_ERROR) {
        }
    }
    void TearDown() override {
        GLTexture::disableMipMapping();
        glDisable(textureRectangleTarget);
        context.doneCurrent();
    }

    TextureServices services() {
        return {log, output, [this](const std::string&, const std::string& message) { alerts.push_back(message); }};
    }
    std::string path(const char* name) const { return dir.filePath(QString::fromLatin1(name)).toStdString(); }

    static GLint texParameter(GLenum target, GLenum name) {
        GLint v = 0;
        glGetTexParameteriv(target, name, &v);
        return v;
    }
    static GLint levelWidth(GLenum target, GLint level) {
        GLint v = 0;
        glGetTexLevelParameteriv(target, level, GL_TEXTURE_WIDTH, &v);
        return v;
    }
    // Texels of level 0 of the bound texture, bottom row first, as RGBA.
    static std::vector<uint8_t> texels(GLenum target, int width, int height) {
        std::vector<uint8_t> out(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(target, 0, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
        return out;
    }

    QOpenGLContext context;
    QOffscreenSurface surface;
    QTemporaryDir dir;
    NullLog log;
    RecordingOutput output;
    std::vector<std::string> alerts;
};

TEST_F(GLTextureTest, ImageFilesBecomeTexturesOfTheRightKindBottomRowFirst) {
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
        {"3 x 2 is a rectangle, its rows 9 bytes", 3, 2, false, false, rect, GL_RGB, GL_LINEAR, 0},
        {"a rectangle is never mip-mapped", 300, 200, true, true, rect, GL_RGBA, GL_LINEAR, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QImage image(c.width, c.height, c.alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) image.setPixelColor(x, y, QColor(x * 37 % 256, y * 53 % 256, (x + y) % 256, c.alpha ? 128 : 255));
        ASSERT_TRUE(image.save(dir.filePath(QStringLiteral("image.png")), "PNG"));
        GLTexture::setMipMapping(c.mipmap ? 1 : 0);
        auto t = GLTexture::initWithFile(path("image.png"), services());
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        EXPECT_NE(t->name(), 0u);
        EXPECT_EQ(t->target(), c.target);
        EXPECT_EQ(t->format(), c.format);
        EXPECT_EQ(glIsEnabled(rect), c.target == rect ? GL_TRUE : GL_FALSE);
        EXPECT_EQ(texParameter(c.target, GL_TEXTURE_MIN_FILTER), c.minFilter);
        EXPECT_EQ(texParameter(c.target, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
        EXPECT_EQ(levelWidth(c.target, 0), c.width);
        if (c.target == GL_TEXTURE_2D) {
            EXPECT_EQ(levelWidth(c.target, 1), c.level1Width);
        }
        EXPECT_TRUE(t->pixels().empty());  // released after the upload
        // Texture row 0 is the image's bottom row; alpha images keep their alpha.
        const std::vector<uint8_t> got = texels(c.target, c.width, c.height);
        int wrong = 0;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                const QColor want = image.pixelColor(x, c.height - 1 - y);
                const uint8_t* texel = &got[(static_cast<size_t>(y) * static_cast<size_t>(c.width) + static_cast<size_t>(x)) * 4];
                wrong += c.alpha ? texel[3] != 128 : texel[0] != want.red() || texel[1] != want.green() || texel[2] != want.blue();
            }
        EXPECT_EQ(wrong, 0);
        glDisable(rect);
    }
    EXPECT_TRUE(alerts.empty());
    // A grey image is refused with an alert, no texture made.
    QImage grey(8, 8, QImage::Format_Grayscale8);
    grey.fill(128);
    ASSERT_TRUE(grey.save(dir.filePath(QStringLiteral("grey.png")), "PNG"));
    GLTexture refused(services());
    EXPECT_EQ(refused.loadNSImage(path("grey.png")), nullptr);
    EXPECT_EQ(refused.name(), 0u);
    EXPECT_EQ(alerts.size(), 1u);
}

// TGA files have a reader of their own: a 24-bit file's bytes are blue,
// green, red, the alpha of a 32-bit one is read back from its pixel copy;
// a file it cannot read leaves no texture and says so.
TEST_F(GLTextureTest, TgaFilesLoadOrAreRefused) {
    const auto tga = [](uint16_t width, uint16_t height, uint8_t bits, size_t pixelBytes, uint8_t type = 2,
                        uint8_t idLength = 0, uint8_t mapType = 0) {
        std::vector<uint8_t> bytes = {idLength, mapType, type, 0, 0, 0, 0, 0, 0, 0, 0, 0, static_cast<uint8_t>(width & 0xff),
                                      static_cast<uint8_t>(width >> 8), static_cast<uint8_t>(height & 0xff),
                                      static_cast<uint8_t>(height >> 8), bits, 0};
        for (size_t i = 0; i < pixelBytes; ++i) bytes.push_back(static_cast<uint8_t>(i * 7 + 1));
        return bytes;
    };
    const auto write = [this](const char* name, const std::vector<uint8_t>& bytes) {
        std::ofstream(path(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path(name);
    };
    const std::vector<uint8_t> rgb = tga(2, 2, 24, 12);
    auto t = GLTexture::initWithTGA(write("rgb.tga", rgb), services());
    EXPECT_EQ(t->target(), static_cast<uint32_t>(GL_TEXTURE_2D));
    EXPECT_EQ(t->format(), static_cast<uint32_t>(GL_RGB));
    EXPECT_EQ(texParameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(texParameter(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(levelWidth(GL_TEXTURE_2D, 1), 0);
    const std::vector<uint8_t> got = texels(GL_TEXTURE_2D, 2, 2);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ((std::vector<int>{got[i * 4], got[i * 4 + 1], got[i * 4 + 2]}),
                  (std::vector<int>{rgb[18 + i * 3 + 2], rgb[18 + i * 3 + 1], rgb[18 + i * 3]})) << i;
    EXPECT_EQ(t->alphaAtPoint(0, 0), 0);
    // 4 x 4 at 32 bits: pixel i's alpha byte is 4i + 3, read as a signed
    // byte; from pixel 9 it is past (4 - 1) x (4 - 1) x 4 bytes and reads 0.
    std::vector<uint8_t> rgba = tga(4, 4, 32, 64);
    for (size_t i = 0; i < 16; ++i) rgba[18 + i * 4 + 3] = static_cast<uint8_t>(190 + i);
    auto alpha = GLTexture::initWithTGA(write("rgba.tga", rgba), services());
    for (const auto& [x, y, value] : {std::tuple{0.0f, 0.0f, -66}, {0.9f, 2.0f, -58}, {1.0f, 2.0f, 0}, {4.0f, 0.0f, 0}})
        EXPECT_EQ(alpha->alphaAtPoint(x, y), value) << x << "," << y;

    const std::pair<const char*, std::vector<uint8_t>> refused[] = {
        {"run-length coded", tga(2, 2, 24, 12, 10)}, {"16 bits", tga(2, 2, 16, 8)},
        {"image ID present", tga(2, 2, 24, 12, 2, 1)}, {"colour map", tga(2, 2, 24, 12, 2, 0, 1)},
        {"zero width", tga(0, 2, 24, 12)},           {"header cut short", std::vector<uint8_t>(rgb.begin(), rgb.begin() + 15)},
        {"pixels cut short", tga(2, 2, 32, 15)},     {"huge size, tiny file", tga(65535, 65535, 32, 16)},
    };
    for (const auto& [name, bytes] : refused) {
        output.written.clear();
        GLTexture texture(services());
        EXPECT_EQ(texture.loadTGA(write("bad.tga", bytes)), nullptr) << name;
        EXPECT_EQ(texture.name(), 0u) << name;
        EXPECT_NE(output.written.find("failed"), std::string::npos) << name;
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(ChartviewFormatTest, OnlyCompatibleContextsDrawTheChart) {
    struct Case {
        QSurfaceFormat::RenderableType type;
        int major, minor;
        QSurfaceFormat::OpenGLContextProfile profile;
        bool usable;
    };
    const Case cases[] = {
        {QSurfaceFormat::OpenGL, 2, 1, QSurfaceFormat::NoProfile, true},
        {QSurfaceFormat::OpenGL, 4, 5, QSurfaceFormat::CompatibilityProfile, true},
        {QSurfaceFormat::OpenGL, 4, 5, QSurfaceFormat::CoreProfile, false},
        {QSurfaceFormat::OpenGL, 3, 1, QSurfaceFormat::CoreProfile, true},  // no profiles before 3.2
        {QSurfaceFormat::OpenGLES, 3, 0, QSurfaceFormat::NoProfile, false},
    };
    for (const auto& c : cases) {
        QSurfaceFormat f;
        f.setRenderableType(c.type);
        f.setVersion(c.major, c.minor);
        f.setProfile(c.profile);
        EXPECT_EQ(Chartview::formatProblem(f).isEmpty(), c.usable) << c.major << "." << c.minor;
    }
    const QSurfaceFormat wanted = Chartview::surfaceFormat();
    EXPECT_EQ(wanted.profile(), QSurfaceFormat::CompatibilityProfile);
    EXPECT_TRUE(Chartview::formatProblem(wanted).isEmpty());
}

}  // namespace
}  // namespace lociview::qt::test
