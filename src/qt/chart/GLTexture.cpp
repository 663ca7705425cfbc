#include "qt/chart/GLTexture.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QOpenGLContext>
#include <QString>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <new>

namespace lociview::qt {

namespace {

// The bits per pixel the image has as decoded: grey and bitmap images keep
// their own depth (and are refused); every colour image is delivered as
// 24 bits, or 32 when it carries alpha.
int decodedBitsPerPixel(const QImage& image) {
    switch (image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
    case QImage::Format_Grayscale8:
    case QImage::Format_Grayscale16:
    case QImage::Format_Alpha8:
        return image.depth();
    case QImage::Format_Indexed8:
        if (image.isGrayscale()) return 8;
        break;
    default:
        break;
    }
    return image.hasAlphaChannel() ? 32 : 24;
}

// Rows of our pixel copies are never padded, whatever their length.
class TightUnpacking {
public:
    TightUnpacking() {
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &saved);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    }
    ~TightUnpacking() { glPixelStorei(GL_UNPACK_ALIGNMENT, saved); }
    TightUnpacking(const TightUnpacking&) = delete;
    TightUnpacking& operator=(const TightUnpacking&) = delete;

private:
    GLint saved = 4;
};

// The multitexture entry point, looked up in the current context: the
// vendor-neutral GL library exports only the core 1.x functions.
void activeTextureARB(GLenum unit) {
    using Fn = void (*)(GLenum);
    QOpenGLContext* context = QOpenGLContext::currentContext();
    if (!context) return;
    auto fn = reinterpret_cast<Fn>(context->getProcAddress("glActiveTextureARB"));
    if (fn) fn(unit);
}

bool isWholeNumber(float v) { return std::isfinite(v) && std::floor(v) == v; }

}  // namespace

GLTexture::GLTexture(const TextureServices& services) : services(services) {}

GLTexture::~GLTexture() {
    logf(services.log, "Dealloc image");
    if (texture != 0) glDeleteTextures(1, &texture);
}

std::unique_ptr<GLTexture> GLTexture::initWithFile(const std::string& path, const TextureServices& services) {
    auto t = std::make_unique<GLTexture>(services);
    t->loadNSImage(path);
    return t;
}

std::unique_ptr<GLTexture> GLTexture::initWithResource(const std::string& name, const TextureServices& services) {
    return initWithFile(resourcePath() + "/" + name, services);
}

std::unique_ptr<GLTexture> GLTexture::initWithTGA(const std::string& path, const TextureServices& services) {
    auto t = std::make_unique<GLTexture>(services);
    t->loadTGA(path);
    return t;
}

std::unique_ptr<GLTexture> GLTexture::initWithTGAResource(const std::string& name, const TextureServices& services) {
    return initWithTGA(resourcePath() + "/" + name, services);
}

std::string GLTexture::resourcePath() {
    const QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/../share/lociview");
    return QDir::cleanPath(dir).toStdString();
}

uint32_t GLTexture::target() const { return textureIsRectangle_ ? textureRectangleTarget : GL_TEXTURE_2D; }

void GLTexture::switchRectangleTarget() const {
    // Stays as set for later drawing.
    if (textureIsRectangle_) {
        glEnable(textureRectangleTarget);
    } else {
        glDisable(textureRectangleTarget);
    }
}

GLTexture* GLTexture::loadNSImage(const std::string& path) {
    logf(services.log, "Loading - %s", path.c_str());
    title_ = path;

    QImage image;
    std::vector<uint8_t> copy;
    if (image.load(QString::fromStdString(path))) {
        const int bits = decodedBitsPerPixel(image);
        if (bits == 24) {
            texFormat = GL_RGB;
            image = image.convertToFormat(QImage::Format_RGB888);
        } else if (bits == 32) {
            texFormat = GL_RGBA;
            image = image.convertToFormat(QImage::Format_RGBA8888);
        } else {
            if (services.criticalAlert) services.criticalAlert("Error", "Inavlid image, check that its RGB.");
            services.standardOutput.write("Failed, can't find bit data.\n");
            return nullptr;
        }
        const int width = image.width();
        const int height = image.height();
        texSize = {static_cast<float>(width), static_cast<float>(height)};
        if (!sizeIsPowerOfTwo(texSize.width, texSize.height)) textureIsRectangle_ = 1;

        // Texture row 0 is the bottom of the image, so that texture
        // coordinate 1.0 in height is its top (the font relies on it).
        const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(bits / 8);
        try {
            copy.assign(rowBytes * static_cast<size_t>(height), 0);
        } catch (const std::bad_alloc&) {
            copy.clear();  // goes on without pixels
        }
        if (!copy.empty()) {
            for (int row = 0; row < height; ++row) {
                std::memcpy(copy.data() + static_cast<size_t>(row) * rowBytes, image.constScanLine(height - 1 - row),
                            rowBytes);
            }
        }
    }

    switchRectangleTarget();
    glGenTextures(1, &texture);
    glBindTexture(target(), texture);

    const GLsizei w = static_cast<GLsizei>(texSize.width);
    const GLsizei h = static_cast<GLsizei>(texSize.height);
    TightUnpacking unpacking;
    // A rectangle texture has level 0 only: mip-maps would be refused by GL.
    if (isMipMapping() && !textureIsRectangle_) {
        logf(services.log, "Mip mapped");
        glTexParameteri(target(), GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
        glTexParameteri(target(), GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        if (!copy.empty()) gluBuild2DMipmaps(target(), 4, w, h, texFormat, GL_UNSIGNED_BYTE, copy.data());
    } else {
        glTexParameteri(target(), GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(target(), GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        if (!copy.empty()) {
            glTexImage2D(target(), 0, static_cast<GLint>(texFormat), w, h, 0, texFormat, GL_UNSIGNED_BYTE,
                         copy.data());
        }
    }
    return this;  // the pixel copy goes with this scope
}

GLTexture* GLTexture::loadTGA(const std::string& path) { return loadTGA(path, GL_NEAREST, GL_LINEAR, 0); }

void GLTexture::tgaFailed(bool badHeader) const {
    // Two lines: a header it cannot read ends in a full stop, short pixels do not.
    services.standardOutput.write(badHeader ? lociview::format("Loading TGA %s failed.\n", title_.c_str())
                                            : lociview::format("Loading TGA %s failed\n", title_.c_str()));
}

GLTexture* GLTexture::loadTGA(const std::string& path, uint32_t nearFilter, uint32_t farFilter, int8_t mipMapping) {
    (void)mipMapping;  // a TGA texture has level 0 only
    title_ = path;
    texFormat = GL_RGBA;

    static constexpr uint8_t uncompressedHeader[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    std::ifstream in(path, std::ios::binary);
    uint8_t header[12];
    uint8_t info[6];
    if (!in || !in.read(reinterpret_cast<char*>(header), sizeof header) ||
        std::memcmp(header, uncompressedHeader, sizeof header) != 0 ||
        !in.read(reinterpret_cast<char*>(info), sizeof info)) {
        tgaFailed(true);
        return nullptr;
    }
    const uint32_t width = info[0] + 256u * info[1];
    const uint32_t height = info[2] + 256u * info[3];
    const uint32_t bits = info[4];
    if (width == 0 || height == 0 || (bits != 24 && bits != 32)) {
        tgaFailed(true);
        return nullptr;
    }
    texSize = {static_cast<float>(width), static_cast<float>(height)};

    // Up to 16 GiB for a 65535 x 65535 header: measure what the file holds
    // before allocating, so a short file cannot demand that much memory.
    const uint64_t bytesPerPixel = bits / 8;
    const uint64_t size = uint64_t{width} * height * bytesPerPixel;
    const std::streamoff start = in.tellg();
    in.seekg(0, std::ios::end);
    const std::streamoff end = in.tellg();
    in.seekg(start);
    std::vector<uint8_t> bytes;
    bool complete = start >= 0 && end >= start && static_cast<uint64_t>(end - start) >= size;
    if (complete) {
        try {
            bytes.resize(static_cast<size_t>(size));
            complete = static_cast<bool>(in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)));
        } catch (const std::bad_alloc&) {
            complete = false;
        }
    }
    if (!complete) {
        tgaFailed(false);
        return nullptr;
    }
    for (uint64_t i = 0; i < size; i += bytesPerPixel) std::swap(bytes[i], bytes[i + 2]);  // BGR(A) -> RGB(A)

    if (!sizeIsPowerOfTwo(texSize.width, texSize.height)) textureIsRectangle_ = 1;
    switchRectangleTarget();
    glGenTextures(1, &texture);
    glBindTexture(target(), texture);
    glTexParameterf(target(), GL_TEXTURE_MIN_FILTER, static_cast<GLfloat>(nearFilter));
    glTexParameterf(target(), GL_TEXTURE_MAG_FILTER, static_cast<GLfloat>(farFilter));
    if (bits == 24) texFormat = GL_RGB;
    {
        TightUnpacking unpacking;
        glTexImage2D(target(), 0, static_cast<GLint>(texFormat), static_cast<GLsizei>(width),
                     static_cast<GLsizei>(height), 0, texFormat, GL_UNSIGNED_BYTE, bytes.data());
    }
    texBytes = std::move(bytes);
    return this;
}

void GLTexture::bind() const { glBindTexture(target(), texture); }

void GLTexture::bindToTexelUnit(int32_t unit) const {
    if (multiTextureUnits() < unit) logf(services.log, "Warning, Graphics card doesn't have %d texel units.", unit);
    activeTextureARB(static_cast<GLenum>(GL_TEXTURE0_ARB + unit));
    glBindTexture(target(), texture);
}

bool GLTexture::multiTextureEnabled(LogSink& log) {
    const GLubyte* extensions = glGetString(GL_EXTENSIONS);
    if (!extensions) return false;
    if (!gluCheckExtension(reinterpret_cast<const GLubyte*>("GL_ARB_multitexture"), extensions) ||
        !gluCheckExtension(reinterpret_cast<const GLubyte*>("GL_ARB_texture_env_combine"), extensions)) {
        return false;
    }
    logf(log, "Multitexturing supported.  You've got %d texture units", multiTextureUnits());
    return true;
}

int32_t GLTexture::multiTextureUnits() {
    GLint units = 0;
    glGetIntegerv(GL_MAX_TEXTURE_UNITS_ARB, &units);
    return units;
}

void GLTexture::setActiveTextureARB(int32_t unit) { activeTextureARB(static_cast<GLenum>(GL_TEXTURE0_ARB + unit)); }

void GLTexture::setSphereMapping(bool on) {
    if (on) {
        glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        glEnable(GL_TEXTURE_GEN_S);
        glEnable(GL_TEXTURE_GEN_T);
    } else {
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
    }
}

uint32_t GLTexture::imageWidth() const { return static_cast<uint32_t>(texSize.width); }

uint32_t GLTexture::imageHeight() const { return static_cast<uint32_t>(texSize.height); }

bool GLTexture::sizeIsPowerOfTwo(float width, float height) {
    return isWholeNumber(std::log2(width)) && isWholeNumber(std::log2(height));
}

int32_t GLTexture::alphaAtPoint(float x, float y) const {
    const float w = texSize.width;
    const float h = texSize.height;
    if (!(x >= 0 && x < w && y >= 0 && y < h) || texFormat != GL_RGBA) return 0;
    const auto i = static_cast<uint64_t>(y * w + x);
    const uint64_t o = 4 * i + 3;
    // The pixel copy of an image-file load is gone: nothing to read.
    if (static_cast<float>(o) < (w - 1) * (h - 1) * 4 && o < texBytes.size()) {
        return static_cast<int8_t>(texBytes[static_cast<size_t>(o)]);
    }
    return 0;
}

std::string GLTexture::description() const {
    return lociview::format("GLTexture object, width = %d, height = %d", static_cast<int>(texSize.width),
                  static_cast<int>(texSize.height));
}

}  // namespace lociview::qt
