#include "app/ui/import_command.h"

#include "app/outline/map_import.h"
#include "app/ui/drawing_target.h"

bool runImport(const CommandLine& commandLine, std::string& error, std::string& notice) {
    const DrawingTarget measuring(1, 1);
    return importMapFile(commandLine.input, commandLine.output, error, &notice,
                         [](const std::u16string& caption) { return Gfx::getTextWidth(caption.c_str()); });
}
