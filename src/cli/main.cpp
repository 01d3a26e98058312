#include <unistd.h>

#include <iostream>

#include "cli/cli_app.h"
#include "base/image_io.h"
#include "base/temp_files.h"

int main(int argc, char** argv) {
    pelmora::InitImageLibrary(argv[0]);
    // After the image library, whose own handlers would exit without removing our files.
    pelmora::CleanUpTempFilesOnSignals();
    return pelmora::cli::RunCli(argc, argv, std::cout, std::cerr, ::isatty(2) != 0);
}
