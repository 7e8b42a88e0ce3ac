#include "app/ui/command_line.h"

#include <windows.h>

#include "app/files/file_io.h"
#include "unicode/utf.h"

#ifdef _WIN32
#include <shellapi.h>
#endif

#ifndef MM_VERSION
#define MM_VERSION "0.1.0"
#endif

namespace {

bool isOption(const std::u16string& argument) {
    return argument.size() > 1 && argument[0] == u'-';
}

CommandLine invalid(std::string error) {
    CommandLine result;
    result.action = CommandLine::Action::Invalid;
    result.error = std::move(error);
    return result;
}

// `export` and `import`: options, then exactly IN and OUT.
CommandLine parseConversion(CommandLine::Action action, const std::vector<std::u16string>& arguments) {
    const char* name = action == CommandLine::Action::Export ? "export" : "import";
    CommandLine result;
    result.action = action;
    std::vector<std::u16string> paths;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::u16string& argument = arguments[i];
        if (!optionsEnded && argument == u"--") {
            optionsEnded = true;
        } else if (!optionsEnded && action == CommandLine::Action::Export && argument == u"--as-shown") {
            result.asShown = true;
        } else if (!optionsEnded && (argument == u"--help" || argument == u"-h")) {
            result.action = CommandLine::Action::Help;
            return result;
        } else if (!optionsEnded && isOption(argument)) {
            return invalid(std::string(name) + ": unknown option " + unicode::toUtf8(argument));
        } else {
            paths.push_back(argument);
        }
    }
    if (paths.size() != 2)
        return invalid(std::string(name) + " needs two paths, IN and OUT (" + std::to_string(paths.size()) +
                       " given)");
    if (paths[0].empty() || paths[1].empty()) return invalid(std::string(name) + ": an empty path");
    result.input = paths[0];
    result.output = paths[1];
    return result;
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::u16string>& arguments) {
    if (!arguments.empty() && arguments[0] == u"export")
        return parseConversion(CommandLine::Action::Export, arguments);
    if (!arguments.empty() && arguments[0] == u"import")
        return parseConversion(CommandLine::Action::Import, arguments);

    CommandLine result;
    bool optionsEnded = false;
    bool haveFile = false;
    for (const std::u16string& argument : arguments) {
        if (!optionsEnded && argument == u"--") {
            optionsEnded = true;
        } else if (!optionsEnded && (argument == u"--help" || argument == u"-h")) {
            result.action = CommandLine::Action::Help;
            return result;
        } else if (!optionsEnded && (argument == u"--version" || argument == u"-v")) {
            result.action = CommandLine::Action::Version;
            return result;
        } else if (!optionsEnded && argument == u"--recover") {
            result.recover = true;
        } else if (!optionsEnded && isOption(argument)) {
            return invalid("unknown option " + unicode::toUtf8(argument) +
                           " (to open a file whose name starts with -, put -- before it)");
        } else if (haveFile) {
            return invalid("only one file can be opened (" + unicode::toUtf8(argument) + " is a second)");
        } else if (argument.empty()) {
            return invalid("an empty file name");
        } else {
            result.file = argument;
            haveFile = true;
        }
    }
    if (result.recover && haveFile)
        return invalid("--recover opens the recovery copy: no other file goes with it");
    return result;
}

std::string usageText() {
    return "用法 / Usage:\n"
           "  mindmap [文件 FILE]\n"
           "      打开编辑器；给出文件时像“打开”命令一样打开它。\n"
           "      Starts the editor; a FILE given is opened as the open command opens it.\n"
           "  mindmap export [--as-shown] 输入 IN.mind 输出 OUT\n"
           "      不开窗口，按输出文件的扩展名导出：.png .svg .opml .md .txt .mm\n"
           "      Exports without a window, in the format of OUT's extension: .png .svg .opml .md .txt .mm\n"
           "      --as-shown  PNG 为屏幕上的整个窗口（仅 .png） / the PNG shows the whole window as on "
           "screen (.png only)\n"
           "  mindmap import 输入 IN 输出 OUT.mind\n"
           "      从 .opml .mm .md .txt 导入 / Imports from .opml .mm .md .txt\n"
           "  mindmap --recover\n"
           "      打开上次未保存的修改（恢复副本） / Opens the unsaved work of an earlier run (the recovery "
           "copy)\n"
           "  mindmap -- 文件 FILE     文件名以 - 开头时 / for a FILE whose name starts with -\n"
           "  mindmap --help, -h       显示本帮助 / shows this help\n"
           "  mindmap --version, -v    显示版本 / shows the version\n"
           "视图 / View (窗口中 / in the window):\n"
           "  滚轮 / wheel: 上下平移 / pans up and down;  Shift+滚轮 / Shift+wheel: 左右平移 / left and "
           "right\n"
           "  中键拖动 / middle drag: 拖动画布 / the map follows the pointer\n"
           "  Ctrl+滚轮 / Ctrl+wheel: 以指针为中心缩放 / zooms around the pointer (10 % - 400 %)\n"
           "  Ctrl+= / Ctrl+-: 放大、缩小 / zooms in, out;  Ctrl+0: 原始视图 / the original view\n"
           "  Home: 显示整个导图 / fits the whole map;  方向键 / arrow keys: 选择相邻节点 / select the next "
           "node\n"
           "  Ctrl+F: 查找 / find (Enter 下一个 next, Shift+Enter 上一个 previous, Esc 关闭 closes)\n"
           "  Ctrl+C / Ctrl+X / Ctrl+V: 复制、剪切、粘贴分支 / copy, cut, paste a branch (也可粘贴文本大纲 / "
           "also text outlines)\n"
           "图片最大 16384 × 16384 像素 / Pictures are at most 16384 x 16384 pixels.\n";
}

std::string versionText() {
    return std::string("mindmap ") + MM_VERSION + "\n";
}

std::vector<std::u16string> programArguments(int argc, char** argv) {
    std::vector<std::u16string> arguments;
#ifdef _WIN32
    (void)argc;
    (void)argv;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) return arguments;
    for (int i = 1; i < count; ++i) arguments.emplace_back(reinterpret_cast<const char16_t*>(wide[i]));
    LocalFree(wide);
#else
    for (int i = 1; i < argc; ++i) arguments.push_back(unicode::fromUtf8(argv[i]));
#endif
    return arguments;
}

std::string openFailureLine(const std::u16string& path) {
    // The file layer's own reason; a file it reads whole holds no map.
    std::string bytes;
    const FileResult read = readFileBytes(path, bytes);
    const std::string reason = read ? "no map in the file (its first line is not a node line)" : read.reason;
    return "打开失败: " + unicode::toUtf8(path) + ": " + reason;
}
