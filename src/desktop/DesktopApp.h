#pragma once
// The desktop application from its arguments to its exit status: the
// window, its chart, the controller, and either the event loop or a
// scripted run (see ScriptedRun.h).

namespace lociview::qt {

int runDesktop(int argc, char* argv[]);

}  // namespace lociview::qt
