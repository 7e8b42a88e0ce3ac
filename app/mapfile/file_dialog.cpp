// The open and save commands: the path dialog opens, takes a click and closes. Nothing is
// reported to the user; a failed save leaves the file and the map as they were.
#include "app/model/mind_map.h"
#include "app/model/scene_layout.h"

void MindMap::showOpenDialog() {
    showFileDialog = true;
    isSaveDialog = false;
    filePath.clear();
}

void MindMap::showSaveDialog() {
    showFileDialog = true;
    isSaveDialog = true;
    filePath.clear();
}

bool MindMap::handleFileDialogClick(int x, int y) {
    if (!showFileDialog) return false;
    const PathDialogLayout dialog = pathDialogLayout(panelWidth);
    if (dialog.ok.contains(x, y)) {
        if (!filePath.empty()) {
            if (isSaveDialog) {
                saveToFile(filePath);
            } else {
                loadFromFile(filePath);
            }
        }
        showFileDialog = false;
        return true;
    }
    if (dialog.cancel.contains(x, y)) {
        showFileDialog = false;
        return true;
    }
    return dialog.pathBox.contains(x, y);
}
