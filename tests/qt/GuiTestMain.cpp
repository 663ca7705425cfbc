// The one QApplication of the GUI suites, with the chart's GL format set
// before it exists, as the desktop application does.
#include <QApplication>
#include <QSurfaceFormat>
#include <gtest/gtest.h>

#include "qt/chart/Chartview.h"

#if defined(__SANITIZE_ADDRESS__)
#include <dlfcn.h>
#include <link.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The folders Mesa loads its DRI drivers from: the one it is told to use,
// the "dri" folder beside its GLX library, and the usual system places.
std::vector<std::string> driFolders() {
    std::vector<std::string> folders;
    if (const char* told = std::getenv("LIBGL_DRIVERS_PATH")) {
        std::istringstream all(told);
        for (std::string folder; std::getline(all, folder, ':');)
            if (!folder.empty()) folders.push_back(folder);
    }
    if (void* glx = dlopen("libGLX_mesa.so.0", RTLD_LAZY | RTLD_NODELETE)) {
        char origin[4096] = {};
        if (dlinfo(glx, RTLD_DI_ORIGIN, origin) == 0 && origin[0] != '\0') folders.push_back(std::string(origin) + "/dri");
    }
    for (const char* usual : {"/usr/lib/x86_64-linux-gnu/dri", "/usr/lib/aarch64-linux-gnu/dri", "/usr/lib64/dri",
                              "/usr/lib/dri"}) {
        folders.emplace_back(usual);
    }
    return folders;
}

// Mesa unloads its DRI driver when the last GL context goes, before
// LeakSanitizer looks at the heap; the driver's own leaks then come from an
// unmapped "<unknown module>" that no suppression can name. Loading the
// software drivers here, never to be unloaded, keeps their names on those
// leaks so that tests/lsan.supp can suppress them.
void keepDriDriversMapped() {
    for (const std::string& folder : driFolders()) {
        for (const char* driver : {"swrast_dri.so", "kms_swrast_dri.so"}) {
            const std::string path = folder + "/" + driver;
            dlopen(path.c_str(), RTLD_NOW | RTLD_NODELETE);  // absent drivers are simply skipped
        }
    }
}

}  // namespace
#endif

int main(int argc, char* argv[]) {
#if defined(__SANITIZE_ADDRESS__)
    keepDriDriversMapped();
#endif
    QSurfaceFormat::setDefaultFormat(lociview::qt::Chartview::surfaceFormat());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
