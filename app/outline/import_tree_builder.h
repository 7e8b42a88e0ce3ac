// Grows the tree an importer reads, one open node at a time, and holds every import to the
// same limits: no deeper than the editor allows, no more nodes than kMaxImportNodes.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "app/model/node.h"

// A map imported from another editor's file may hold at most this many nodes: ten times the
// 100,000-node maps the editor is measured with, and a bound on the memory a hostile file can
// make an import take.
inline constexpr std::size_t kMaxImportNodes = 1000000;

class ImportTreeBuilder {
  public:
    ImportTreeBuilder();

    // Adds a child after the open node's last child and opens it. False (error set) when the
    // child would nest too deep or the map would hold too many nodes.
    bool open(std::u16string caption);
    // Closes the open node; its parent is open again. Closing the top level does nothing.
    void close();
    // The node open now, or null at the top level.
    Node* current() const { return current_ == document_.get() ? nullptr : current_; }
    // Levels open below the top level (0 at the top level).
    int openDepth() const { return depth_; }

    // The tree read: the one top-level node, or, when there are several, a root captioned
    // topCaption (the editor's own "中心主题" when empty) above them. Null (error set) when
    // nothing was read or the extra root would push the deepest node past the limit.
    std::unique_ptr<Node> finish(const std::u16string& topCaption);

    const std::string& error() const { return error_; }

  private:
    std::unique_ptr<Node> document_;
    Node* current_;
    int depth_ = 0;
    int deepest_ = -1;
    std::size_t nodes_ = 0;
    std::string error_;
};
