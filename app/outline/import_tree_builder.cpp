#include "app/outline/import_tree_builder.h"

#include <utility>

ImportTreeBuilder::ImportTreeBuilder()
    : document_(std::make_unique<Node>(u"", 0, 0)), current_(document_.get()) {}

bool ImportTreeBuilder::open(std::u16string caption) {
    if (depth_ >= kMaxDepth) {
        error_ = "the outline nests deeper than " + std::to_string(kMaxDepth) + " levels";
        return false;
    }
    if (nodes_ >= kMaxImportNodes) {
        error_ = "the outline holds more than " + std::to_string(kMaxImportNodes) + " items";
        return false;
    }
    auto child = std::make_unique<Node>(std::move(caption), 0, 0);
    child->parent = current_;
    current_->children.push_back(child.get());
    current_ = child.release();
    if (depth_ > deepest_) deepest_ = depth_;
    ++depth_;
    ++nodes_;
    return true;
}

void ImportTreeBuilder::close() {
    if (current_ == document_.get()) return;
    current_ = current_->parent;
    --depth_;
}

std::unique_ptr<Node> ImportTreeBuilder::finish(const std::u16string& topCaption) {
    current_ = document_.get();
    depth_ = 0;
    if (document_->children.empty()) {
        error_ = "the file holds no outline items";
        return nullptr;
    }
    if (document_->children.size() == 1) {
        std::unique_ptr<Node> root(document_->children.front());
        document_->children.clear();
        root->parent = nullptr;
        return root;
    }
    // Several top-level items hang below one new root, one level deeper than they were read.
    if (deepest_ + 1 >= kMaxDepth) {
        error_ = "the outline nests deeper than " + std::to_string(kMaxDepth) + " levels";
        return nullptr;
    }
    auto root = std::make_unique<Node>(topCaption.empty() ? std::u16string(u"中心主题") : topCaption, 0, 0);
    root->children = std::move(document_->children);
    document_->children.clear();
    for (Node* child : root->children) child->parent = root.get();
    return root;
}
