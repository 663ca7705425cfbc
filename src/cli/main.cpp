// lociview-cli: session scripts and batch scoring without a display.
#include <iostream>
#include <string>
#include <vector>

#include "cli/BatchScore.h"
#include "cli/Cli.h"
#include "cli/LargeHeapPages.h"

int main(int argc, char** argv) {
    lociview::headless::preferLargeHeapPages();
    lociview::headless::leaveBatchDataAtExit();
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return lociview::headless::cliMain(args, std::cout, std::cerr);
}
