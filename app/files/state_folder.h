// The user's own folder for what the editor keeps between runs (recovery copies, the backup
// of a file being rewritten in place): $XDG_STATE_HOME/mindmap, by default
// ~/.local/state/mindmap, on Linux; %LOCALAPPDATA%\mindmap on Windows.
#pragma once

#include <string>

// The folder's path, made (with its parents, owner-only) when it does not exist yet; empty
// when there is no home to put it in or it cannot be made. Never ends in a separator.
std::u16string userStateFolder();

// A file's path inside the folder; empty when the folder is unavailable.
std::u16string userStateFile(const std::u16string& name);
