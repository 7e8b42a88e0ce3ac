// The single editor object: the tree, the selection, the drag state, the modes with their
// buffers, the two histories and the function panel. Its operations are defined by concern:
//   app/model    construction, queries, hit test, structural editing, history
//   app/ui       modes, text entry and the open/save dialog commands
//   app/render   frame, node, panel and overlay drawing
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/model/button.h"
#include "app/model/colour.h"
#include "app/model/find.h"
#include "app/model/history_state.h"
#include "app/model/node.h"
#include "app/model/scene_layout.h"
#include "app/model/view.h"

struct RecoveryOffer;  // app/model/recovery_offer.h

class MindMap {
  public:
    MindMap();
    ~MindMap();
    MindMap(const MindMap&) = delete;
    MindMap& operator=(const MindMap&) = delete;

    // Queries.
    int getPanelWidth() const { return panelWidth; }
    bool isInEditMode() const { return isEditing; }
    bool isInFileDialog() const { return showFileDialog; }
    bool isShowingHelp() const { return showHelp; }
    static Node* findNodeAt(Node* node, std::int64_t px, std::int64_t py);

    // Structural editing.
    void addChildNode();
    void addSiblingNode();
    void deleteSelectedNode();
    void setNodeFillColor(Colour colour);
    void setNodeTextColor(Colour colour);
    void toggleCollapse();
    // Appends branch (a tree without parent) as the last child of the selected node, or of the
    // root with nothing selected, its top where addChildNode would put a new child and every
    // other node at the same place relative to the top; the top becomes the selection. One
    // history entry: undo takes the branch away, redo brings back the same nodes. False, and
    // nothing changed, for no branch or one that would nest at kMaxDepth or deeper.
    bool pasteBranch(std::unique_ptr<Node> branch);
    void selectNodeAt(std::int64_t px, std::int64_t py);
    void startDrag(std::int64_t px, std::int64_t py);
    void dragTo(std::int64_t px, std::int64_t py);
    void endDrag();

    // History.
    static Node* copyNodeTree(const Node* source, Node* parent);
    void saveState();
    void undo();
    void redo();

    // Modes and text entry.
    void startEditing();
    void finishEditing();
    void cancelEditing();
    void handleCharInput(char16_t ch);
    void toggleHelp();
    void closeFileDialog();
    void updateNodeWidth(Node* node);

    // Function panel.
    void initPanelButtons();
    int findButtonAt(int x, int y) const;
    void updateButtonHover(int x, int y);

    // Drawing.
    void drawFrame();
    void drawNode(const Node* node);

    // File format.
    bool saveToFile(const std::u16string& path);
    bool loadFromFile(const std::u16string& path);
    // The file's bytes without the file: what saveToFile writes and what loadFromFile parses
    // once the file is read. loadFromBytes replaces the map exactly as an open does.
    std::string saveToBytes() const;
    bool loadFromBytes(std::string_view bytes);

    // The two changes other concerns make to the map: a caption committed by an edit, and the
    // whole tree replaced by an open (the map takes newRoot; the root becomes the selection).
    void setNodeText(Node* node, std::u16string text);
    void replaceTree(Node* newRoot);

    // Open and save commands.
    void showOpenDialog();
    void showSaveDialog();
    bool handleFileDialogClick(int x, int y);

    // The panel's width comes first: the constructor places the root and the buttons by it.
    std::int32_t panelWidth = kPanelWidth;
    Node* root;          // never null once constructed
    Node* selectedNode;  // null: nothing selected
    bool isDragging = false;
    std::int32_t dragOffsetX = 0;
    std::int32_t dragOffsetY = 0;
    bool isEditing = false;
    std::u16string editText;
    std::deque<HistoryState> undoStack;
    std::deque<HistoryState> redoStack;
    bool showHelp = false;
    bool showFileDialog = false;
    bool isSaveDialog = false;
    std::u16string filePath;
    std::vector<Button> buttons;

    // Bumped by every change to the map: the recorded commands, caption edits, drags, collapse,
    // undo, redo and opens. It marks nothing in the window; it tells what a save would keep.
    // Only the model's own operations bump it, through noteChange.
    std::uint64_t changeCount = 0;
    // changeCount when the map last matched a file (a successful save or open).
    std::uint64_t savedChangeCount = 0;
    // How many saves and opens have matched the map with a file.
    std::uint64_t fileMatches = 0;
    bool hasUnsavedChanges() const { return changeCount != savedChangeCount; }
    // The map came from the recovery copy (its unsaved work is the user's again).
    bool openedRecoveryCopy = false;
    // Where the last successful save went (the recovery copy tells by it whether the user
    // saved onto the copy itself, which is then the user's file).
    std::u16string savedPath;
    // Which copy (or save's backup) it came from; empty for any other map.
    std::u16string recoveredFrom;
    // Successful saves and completed opens (an open that found no map included), counted so
    // that the recovery copy can tell a save's clean map from an open's.
    std::uint64_t saveCount = 0;
    std::uint64_t openCount = 0;
    // Why the last save or open failed, shown in the window until the next command; empty
    // when it did not.
    std::u16string fileFailure;
    // The offer of work left by ended editors, shown over the canvas at start; it takes every
    // input while shown. Not owned; null when there is none.
    RecoveryOffer* recoveryOffer = nullptr;

    // Blink counters of the edit box and the path box carets; advanced only by the frames that
    // draw their box, never reset.
    std::int32_t editCaretCounter = 0;
    std::int32_t pathCaretCounter = 0;

    // How the canvas shows the map (never saved; an open gives back the original view) and the
    // middle-button drag that pans it.
    View view;
    PanDrag panDrag;
    // The find box and what it searches for.
    FindBox find;

  private:
    void noteChange() { ++changeCount; }  // the one place the count moves
    Node* newRootNode() const;  // the caption "中心主题" centred on the canvas, as a new map has
    void recordState(Node* node);
    void recordColours(Node* node);
    void recordRemoval(Node* parent, std::size_t index, Node* subtree);  // takes the subtree
    void recordInsertion(Node* parent, std::size_t index, const Node* child);
    void pushUndo(HistoryState&& state);
    void applyHistory(std::deque<HistoryState>& from, std::deque<HistoryState>& to);
    Node* findRecordedNode(const HistoryState& state) const;
};
