#pragma once

// The program takes no arguments. On a terminal it answers --help and --version, with no display.
namespace CommandLine {

// Answers a command line that has arguments: the help, the version, or what is wrong with it.
// Returns the exit code.
int answer(int argc, char** argv);

}  // namespace CommandLine
