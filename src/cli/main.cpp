// lociview-cli: session scripts and batch scoring without a display.
#include <iostream>
#include <string>
#include <vector>

#include "headless/Cli.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return lociview::headless::cliMain(args, std::cout, std::cerr);
}
