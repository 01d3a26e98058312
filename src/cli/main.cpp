#include <unistd.h>

#include <iostream>

#include "cli/cli_app.h"
#include "store/image_io.h"

int main(int argc, char** argv) {
    pelmora::InitImageLibrary(argv[0]);
    return pelmora::cli::RunCli(argc, argv, std::cout, std::cerr, ::isatty(2) != 0);
}
