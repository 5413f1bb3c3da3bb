// The process's command line as the workstation would hand it over: the program's
// arguments joined into one Windows-style line.
#pragma once

#include <string>
#include <vector>

namespace orv::app {

// Joins the arguments (the program's name first) with single blanks. An argument
// that is empty or holds a blank, tab or double quote is put in double quotes, with
// each quote escaped by a backslash and the backslashes before a quote or before the
// closing quote doubled, so that the workstation's own splitting gives the arguments
// back unchanged.
std::string JoinCommandLine(const std::vector<std::string> &arguments);

}  // namespace orv::app
