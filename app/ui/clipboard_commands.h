// Copy, cut and paste of branches through the clipboard (Ctrl+C, Ctrl+X, Ctrl+V), and Ctrl+V
// in the caption edit box and the path dialog. A paste that cannot be made says why in the
// status bar's failure line.
#pragma once

#include "app/model/mind_map.h"

// The selected node with its subtree goes onto the clipboard in both forms.
void copySelectedBranch(MindMap& mindMap);
// The same, then the node is deleted as Delete deletes it (never the root: it is only copied).
void cutSelectedBranch(MindMap& mindMap);
// The clipboard's branch becomes the last child of the selected node (or of the root).
void pasteClipboardBranch(MindMap& mindMap);
// The first line of the clipboard's text, typed at the end of the edit box or the path.
void pasteIntoTextEntry(MindMap& mindMap);
