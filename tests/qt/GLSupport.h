#pragma once
// A current compatibility-profile context for GL tests, and sinks that
// keep every log line, output text and alert a texture reports.
#include <QImage>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

#include "qt/Chartview.h"
#include "qt/GLTexture.h"

namespace lociview::qt::test {

class RecordingLog : public LogSink {
public:
    void line(std::string_view text) override { lines.emplace_back(text); }
    bool has(const std::string& text) const {
        for (const auto& l : lines)
            if (l == text) return true;
        return false;
    }
    std::vector<std::string> lines;
};

class RecordingOutput : public OutputSink {
public:
    void write(std::string_view text) override { written += text; }
    std::string written;
};

class GLTest : public ::testing::Test {
protected:
    void SetUp() override {
        const QString problem = Chartview::openGLProblem();
        if (!problem.isEmpty()) GTEST_SKIP() << problem.toStdString();
        context.setFormat(QSurfaceFormat::defaultFormat());
        ASSERT_TRUE(context.create());
        surface.setFormat(context.format());
        surface.create();
        ASSERT_TRUE(context.makeCurrent(&surface));
        while (glGetError() != GL_NO_ERROR) {
        }
        dir = std::filesystem::temp_directory_path() / ("lociview-gl-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override {
        if (context.isValid()) context.doneCurrent();
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

    TextureServices services() {
        return {log, output, [this](const std::string& title, const std::string& message) {
                    alerts.emplace_back(title, message);
                }};
    }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    std::string writeBytes(const std::string& name, const std::vector<uint8_t>& bytes) const {
        std::ofstream(path(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path(name);
    }
    std::string writeImage(const std::string& name, const QImage& image) const {
        EXPECT_TRUE(image.save(QString::fromStdString(path(name)), "PNG"));
        return path(name);
    }

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
    // Texels of level 0, bottom row first, as RGBA.
    static std::vector<uint8_t> texels(GLenum target, int width, int height) {
        std::vector<uint8_t> out(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(target, 0, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
        return out;
    }

    QOpenGLContext context;
    QOffscreenSurface surface;
    std::filesystem::path dir;
    RecordingLog log;
    RecordingOutput output;
    std::vector<std::pair<std::string, std::string>> alerts;
};

}  // namespace lociview::qt::test
