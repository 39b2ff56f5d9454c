#include "cli/commands.h"

#include <iostream>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return relperm::cli::runRelperm(args, std::cout, std::cerr);
}
