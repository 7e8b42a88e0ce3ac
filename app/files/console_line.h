// One line of text for the user on the console: standard error on Linux, the console window the
// program keeps on Windows. The editor's window never shows these: they are what a failed save
// or open, or a recovery copy found at start, says.
#pragma once

#include <string>
#include <string_view>

void writeConsoleLine(std::u16string_view text);

// "<what>: <path>: <reason>", e.g. 保存失败: /srv/maps/a.mind: Permission denied
void reportFileFailure(std::u16string_view what, const std::u16string& path, std::string_view reasonUtf8);

// The same line as reportFileFailure writes, without its line end.
std::u16string fileFailureLine(std::u16string_view what, const std::u16string& path,
                               std::string_view reasonUtf8);
