#pragma once

// On a terminal, with no display, the program answers --help and --version, exports or imports
// the history, and prints the page 智能练习 would open (--practice-page).
namespace CommandLine {

// Answers a command line that has arguments, or says what is wrong with it.
// Returns the exit code.
int answer(int argc, char** argv);

}  // namespace CommandLine
