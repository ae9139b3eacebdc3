// stenvikplus-cli: the station's logic without a window, for scripts and CI jobs.
#include "Tool.h"

int main(int argc, char** argv)
{
    return cli::run(argc, argv);
}
