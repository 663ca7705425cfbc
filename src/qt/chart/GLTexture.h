#pragma once
// An OpenGL texture made from an image file (through Qt's image decoder) or
// an uncompressed true-colour TGA file, with what the chart needs to know
// about it afterwards. Every operation needs the chart's GL context current.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/DevLog.h"
#include "base/OutputSink.h"

namespace lociview::qt {

// Rectangle textures: Mesa's headers name only the ARB/NV spelling.
constexpr uint32_t textureRectangleTarget = 0x84F5;  // GL_TEXTURE_RECTANGLE_EXT

// Where a texture reports: the developer log, standard output, and a modal
// critical alert (title, message, one default button).
struct TextureServices {
    LogSink& log;
    OutputSink& standardOutput;
    std::function<void(const std::string& title, const std::string& message)> criticalAlert;
};

struct TextureSize {
    float width = 0.0f;
    float height = 0.0f;
};

class GLTexture {
public:
    // The creating operations: each returns the texture whether or not its
    // load succeeded; a failed load leaves no usable image (name 0 or 0 x 0).
    static std::unique_ptr<GLTexture> initWithFile(const std::string& path, const TextureServices& services);
    static std::unique_ptr<GLTexture> initWithResource(const std::string& name, const TextureServices& services);
    static std::unique_ptr<GLTexture> initWithTGA(const std::string& path, const TextureServices& services);
    static std::unique_ptr<GLTexture> initWithTGAResource(const std::string& name, const TextureServices& services);

    // <directory of the executable>/../share/lociview, without a trailing slash.
    static std::string resourcePath();

    // Process-wide mip-mapping switch, read by image-file loads only.
    static void enableMipMapping() { shouldMipMap = 1; }
    static void disableMipMapping() { shouldMipMap = 0; }
    static void setMipMapping(int8_t flag) { shouldMipMap = flag; }
    static int8_t isMipMapping() { return shouldMipMap; }

    static bool multiTextureEnabled(LogSink& log);
    static int32_t multiTextureUnits();
    static void setActiveTextureARB(int32_t unit);
    static void setSphereMapping(bool on);

    explicit GLTexture(const TextureServices& services);
    ~GLTexture();  // "Dealloc image", then the texture name is deleted
    GLTexture(const GLTexture&) = delete;
    GLTexture& operator=(const GLTexture&) = delete;

    // Loads; each returns this texture on success and null on failure.
    GLTexture* loadNSImage(const std::string& path);
    GLTexture* loadTGA(const std::string& path);
    GLTexture* loadTGA(const std::string& path, uint32_t nearFilter, uint32_t farFilter, int8_t mipMapping);

    void bind() const;
    void bindToTexelUnit(int32_t unit) const;

    uint32_t target() const;
    uint32_t name() const { return texture; }
    uint32_t format() const { return texFormat; }
    TextureSize size() const { return texSize; }
    uint32_t imageWidth() const;
    uint32_t imageHeight() const;
    const std::string& title() const { return title_; }
    int8_t textureIsRectangle() const { return textureIsRectangle_; }
    // The pixels kept after a TGA load (none after an image-file load).
    const std::vector<uint8_t>& pixels() const { return texBytes; }

    static bool sizeIsPowerOfTwo(float width, float height);
    int32_t alphaAtPoint(float x, float y) const;
    std::string description() const;

private:
    void switchRectangleTarget() const;
    void tgaFailed(bool badHeader) const;

    static inline int8_t shouldMipMap = 0;

    TextureServices services;
    int8_t textureIsRectangle_ = 0;
    uint32_t texture = 0;
    uint32_t texFormat = 0;
    TextureSize texSize;
    std::vector<uint8_t> texBytes;
    std::string title_;
};

}  // namespace lociview::qt
