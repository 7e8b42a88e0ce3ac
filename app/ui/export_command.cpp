#include "app/ui/export_command.h"

#include <memory>
#include <new>
#include <string_view>

#include "app/files/file_io.h"
#include "app/model/mind_map.h"
#include "app/model/scene_layout.h"
#include "app/outline/outline_export.h"
#include "app/render/map_picture.h"
#include "app/render/svg_export.h"
#include "app/ui/drawing_target.h"
#include "graphics/graphics.h"
#include "graphics/image.h"
#include "unicode/utf.h"

namespace {

std::string saveFailure(const std::u16string& path, const std::string& reason) {
    return "保存失败: " + unicode::toUtf8(path) + ": " + reason;
}

// Through the file layer of the map saves: the old file stays whole until the new one is, and a
// failure says the system's reason.
int writeBytes(const std::u16string& path, std::string_view bytes, std::string& error) {
    const FileResult written = replaceFileContents(path, bytes);
    if (written) return 0;
    error = saveFailure(path, written.reason);
    return kExportFailed;
}

int writePng(MindMap& map, const std::u16string& path, bool asShown, std::string& error) {
    PictureArea area{0, 0, kWindowWidth, kWindowHeight};
    if (!asShown) area = mapPictureArea(map);
    if (!area.fitsLimit()) {
        error = "导出失败 / export refused: the map's picture would be " + std::to_string(area.width) +
                " x " + std::to_string(area.height) + " pixels; pictures are limited to " +
                std::to_string(kMaxPictureSide) + " pixels a side";
        return kExportRefused;
    }
    DrawingTarget target(static_cast<int>(area.width), static_cast<int>(area.height));
    if (!target.ready()) {
        error = saveFailure(path, "not enough memory for a " + std::to_string(area.width) + " x " +
                                      std::to_string(area.height) + " picture");
        return kExportFailed;
    }
    if (asShown) {
        // The second frame, as the window shows it once the editor runs: the first one still has
        // the device's starting line width.
        map.drawFrame();
        map.drawFrame();
    } else {
        drawMapPicture(map, area);
    }
    std::string png;
    if (!Gfx::encodeImagePng(png, &target.image)) {
        error = saveFailure(path, "the image codec could not encode the picture");
        return kExportFailed;
    }
    return writeBytes(path, png, error);
}

int writeSvg(const MindMap& map, const std::u16string& path, std::string& error) {
    const DrawingTarget measuring(1, 1);  // captions are measured in the editor's text style
    return writeBytes(path, writeMapSvg(map, mapPictureArea(map)), error);
}

}  // namespace

ExportFormat exportFormatForPath(const std::u16string& path) {
    const std::size_t dot = path.find_last_of(u'.');
    const std::size_t slash = path.find_last_of(u"/\\");
    if (dot == std::u16string::npos || (slash != std::u16string::npos && dot < slash))
        return ExportFormat::Unknown;
    std::u16string extension = path.substr(dot + 1);
    for (char16_t& c : extension) {
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    }
    if (extension == u"png") return ExportFormat::Png;
    if (extension == u"svg") return ExportFormat::Svg;
    if (extension == u"opml") return ExportFormat::Opml;
    if (extension == u"md") return ExportFormat::Markdown;
    if (extension == u"txt") return ExportFormat::Text;
    if (extension == u"mm") return ExportFormat::FreeMind;
    return ExportFormat::Unknown;
}

int runExport(const CommandLine& commandLine, std::string& error) {
    const ExportFormat format = exportFormatForPath(commandLine.output);
    if (format == ExportFormat::Unknown) {
        error = "导出失败 / export refused: " + unicode::toUtf8(commandLine.output) +
                ": unknown format (the extension must be .png, .svg, .opml, .md, .txt or .mm)";
        return kExportRefused;
    }
    // The window as shown is a picture of pixels: the panel, the grid and the status bar exist
    // only as the frame draws them. An SVG or an outline has the map alone.
    if (commandLine.asShown && format != ExportFormat::Png) {
        error =
            "导出失败 / export refused: " + unicode::toUtf8(commandLine.output) +
            ": --as-shown pictures the whole window and is for .png only (leave it out to export the map)";
        return kExportRefused;
    }
    try {
        auto map = std::make_unique<MindMap>();
        // Read here rather than opened as the editor's open command does, which would say the
        // failure on the console besides the line the command prints.
        std::string bytes;
        if (!readFileBytes(commandLine.input, bytes) || !map->loadFromBytes(bytes)) {
            error = openFailureLine(commandLine.input);
            return kExportFailed;
        }
        switch (format) {
            case ExportFormat::Png:
                return writePng(*map, commandLine.output, commandLine.asShown, error);
            case ExportFormat::Svg:
                return writeSvg(*map, commandLine.output, error);
            case ExportFormat::Opml:
                return writeBytes(commandLine.output, writeOpml(*map->root), error);
            case ExportFormat::Markdown:
                return writeBytes(commandLine.output, writeMarkdownOutline(*map->root), error);
            case ExportFormat::Text:
                return writeBytes(commandLine.output, writeTextOutline(*map->root), error);
            case ExportFormat::FreeMind:
                return writeBytes(commandLine.output, writeFreeMind(*map->root), error);
            case ExportFormat::Unknown:
                break;
        }
    } catch (const std::bad_alloc&) {
        error = saveFailure(commandLine.output, "not enough memory");
    }
    return kExportFailed;
}
