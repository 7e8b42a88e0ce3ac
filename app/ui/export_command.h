// `mindmap export IN OUT`: the map in IN written as the format OUT's extension names, with no
// window and no display. Nothing is written unless the whole output is ready: a failure leaves
// OUT as it was (or absent) and says why in one line.
#pragma once

#include <string>

#include "app/ui/command_line.h"

enum class ExportFormat { Png, Svg, Opml, Markdown, Text, FreeMind, Unknown };

// By the extension, in any letter case.
ExportFormat exportFormatForPath(const std::u16string& path);

// Runs the export; 0 on success, otherwise an exit code with *error holding the line to print.
int runExport(const CommandLine& commandLine, std::string& error);

inline constexpr int kExportFailed = 1;   // IN unreadable or OUT unwritable
inline constexpr int kExportRefused = 2;  // an unknown format, --as-shown for a format not PNG, or a
                                          // picture beyond the size limit
