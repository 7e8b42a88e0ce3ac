// Trees for the import tests: building them from a compact description, and comparing two
// trees field by field with the first difference as the failure message.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/model/node.h"
#include "app/outline/outline_xml.h"
#include "unicode/utf.h"

// Whether the system's XML parser keeps a line feed, tab or carriage return written as a
// character reference in an attribute value, as XML says it must. Wine's XmlLite turns them
// into spaces; the tests whose captions hold them skip there with this reason.
inline bool xmlKeepsAttributeBreaks() {
    struct Probe final : XmlEvents {
        std::string value;
        bool startElement(std::string_view, const std::vector<XmlAttribute>& attributes) override {
            value = std::string(attributeValue(attributes, "v"));
            return true;
        }
        bool endElement() override { return true; }
        bool characters(std::string_view) override { return true; }
    } probe;
    std::string error;
    return parseXml("<a v=\"x&#10;&#9;&#13;y\"/>", probe, error) && probe.value == "x\n\t\ry";
}
inline constexpr const char* kXmlLosesAttributeBreaks =
    "this system's XML parser turns &#10; &#9; &#13; in attribute values into spaces";

// Adds a child captioned text to parent and returns it.
inline Node* addChild(Node& parent, std::u16string text) {
    auto child = std::make_unique<Node>(std::move(text), 0, 0);
    child->parent = &parent;
    parent.children.push_back(child.get());
    return child.release();
}

// Which fields a format carries besides the tree and its captions.
struct Carried {
    bool colours = false;
    bool collapsed = false;
};

// Walks both trees side by side; the first difference, or an empty string.
inline std::string firstDifference(const Node& expected, const Node& actual, Carried carried) {
    std::vector<std::pair<const Node*, const Node*>> pending{{&expected, &actual}};
    while (!pending.empty()) {
        const auto [want, got] = pending.back();
        pending.pop_back();
        const std::string where = "node \"" + unicode::toUtf8(want->text) + "\": ";
        if (want->text != got->text) return where + "caption reads \"" + unicode::toUtf8(got->text) + "\"";
        if (want->children.size() != got->children.size()) {
            return where + std::to_string(got->children.size()) + " children instead of " +
                   std::to_string(want->children.size());
        }
        if (carried.colours && (want->fillColor != got->fillColor || want->textColor != got->textColor)) {
            return where + "colours differ";
        }
        if (carried.collapsed && want->collapsed != got->collapsed) return where + "collapsed state differs";
        for (std::size_t i = 0; i < want->children.size(); ++i) {
            if (got->children[i]->parent != got) return where + "a child's parent link is wrong";
            pending.emplace_back(want->children[i], got->children[i]);
        }
    }
    return {};
}

// Every node of the tree, in pre-order.
inline std::vector<const Node*> allNodes(const Node& root) {
    std::vector<const Node*> nodes;
    std::vector<const Node*> pending{&root};
    while (!pending.empty()) {
        const Node* node = pending.back();
        pending.pop_back();
        nodes.push_back(node);
        for (auto it = node->children.rbegin(); it != node->children.rend(); ++it) pending.push_back(*it);
    }
    return nodes;
}

// Captions as one string, "a(b c(d))", to state expected shapes briefly.
inline std::string shape(const Node& root) {
    std::string out;
    struct Open {
        const Node* node;
        std::size_t next;
    };
    std::vector<Open> open{{&root, 0}};
    out += unicode::toUtf8(root.text);
    while (!open.empty()) {
        Open& top = open.back();
        if (top.next < top.node->children.size()) {
            out += top.next == 0 ? "(" : " ";
            const Node* child = top.node->children[top.next++];
            out += unicode::toUtf8(child->text);
            open.push_back({child, 0});
        } else {
            if (!top.node->children.empty()) out += ")";
            open.pop_back();
        }
    }
    return out;
}
