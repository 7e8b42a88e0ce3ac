// `mindmap import IN OUT`: another editor's outline in IN written as the map file OUT, with no
// window and no display, its boxes fitted to their captions as the caption editor fits them.
#pragma once

#include <string>

#include "app/ui/command_line.h"

// True on success, with notice holding a line to print about text read in place of invalid
// sequences (or empty); otherwise error holds the line to print and OUT is as it was.
bool runImport(const CommandLine& commandLine, std::string& error, std::string& notice);
