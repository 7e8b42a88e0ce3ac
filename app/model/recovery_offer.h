// The offer shown over the canvas at start when ended editors or interrupted saves left unsaved
// work: one row per file, one of them selected, and the buttons "打开" (open it), "忽略" (keep
// everything for later) and "删除" (discard it). While it is shown it takes every input. Where
// it stands is measured like the path dialog, from the panel's right edge.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "app/model/scene_layout.h"

struct RecoveryOfferEntry {
    std::u16string path;
    std::u16string label;  // what its row says: time, node count, kind
};

struct RecoveryOffer {
    std::vector<RecoveryOfferEntry> entries;
    std::size_t selected = 0;
    bool shown = false;
};

// Rows shown at once; a longer list scrolls with the selection.
inline constexpr std::size_t kOfferRows = 5;

struct RecoveryOfferLayout {
    SceneRect box;
    SceneRect title;
    SceneRect firstRow;  // each further row kOfferRowStep lower
    SceneRect open;
    SceneRect ignore;
    SceneRect discard;
    SceneRect hint;
    std::size_t rows;  // rows shown
};
inline constexpr int kOfferRowStep = 34;

// The offer for `entries` rows beside a panel `panelWidth` wide: the path dialog's box, title,
// text boxes and buttons, as tall as its rows need.
constexpr RecoveryOfferLayout recoveryOfferLayout(int panelWidth, std::size_t entries) {
    const auto at = [panelWidth](SceneRect r) {
        return SceneRect{panelWidth + r.left, r.top, panelWidth + r.right, r.bottom};
    };
    const std::size_t rows = std::min(entries, kOfferRows);
    const int buttonsTop = 200 + static_cast<int>(rows) * kOfferRowStep + 10;
    return {.box = at({200, 150, 600, buttonsTop + 90}),
            .title = at({200, 160, 600, 190}),
            .firstRow = at({220, 200, 580, 230}),
            .open = at({230, buttonsTop, 330, buttonsTop + 40}),
            .ignore = at({350, buttonsTop, 450, buttonsTop + 40}),
            .discard = at({470, buttonsTop, 570, buttonsTop + 40}),
            .hint = at({220, buttonsTop + 55, 580, buttonsTop + 75}),
            .rows = rows};
}

// The first entry shown: the list scrolls so that the selected one is in view.
constexpr std::size_t firstOfferRow(std::size_t selected) {
    return selected >= kOfferRows ? selected - (kOfferRows - 1) : 0;
}

constexpr SceneRect offerRow(const RecoveryOfferLayout& layout, std::size_t shownIndex) {
    const int down = static_cast<int>(shownIndex) * kOfferRowStep;
    return {layout.firstRow.left, layout.firstRow.top + down, layout.firstRow.right,
            layout.firstRow.bottom + down};
}
