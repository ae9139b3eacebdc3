#pragma once

// The tool's entry: parses the command line, takes the single-instance guard for commands that
// talk to a head, runs the command and returns the process exit code.
namespace cli {

int run(int argc, char** argv);

} // namespace cli
