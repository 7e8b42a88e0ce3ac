#include "app/model/arrow_navigation.h"

#include <cstdint>
#include <limits>

#include "app/model/shown_nodes.h"

namespace {

constexpr std::int64_t kAcrossWeight = 2;

// Twice the centre, so that it is exact in integers; the view scales both axes alike, so the
// comparison below holds on the screen too.
std::int64_t doubledCentreX(const Node& n) {
    return 2 * std::int64_t{n.x} + n.width;
}
std::int64_t doubledCentreY(const Node& n) {
    return 2 * std::int64_t{n.y} + n.height;
}

}  // namespace

Node* nodeInDirection(Node* root, const Node* from, ArrowDirection direction) {
    if (from == nullptr) return nullptr;
    const std::int64_t fromX = doubledCentreX(*from);
    const std::int64_t fromY = doubledCentreY(*from);
    Node* best = nullptr;
    bool bestInCone = false;
    std::int64_t bestScore = std::numeric_limits<std::int64_t>::max();
    std::int64_t bestAcross = 0;
    forEachShownNode(root, [&](Node* n) {
        if (n == from) return;
        const std::int64_t dx = doubledCentreX(*n) - fromX;
        const std::int64_t dy = doubledCentreY(*n) - fromY;
        std::int64_t along = 0;
        std::int64_t across = 0;
        switch (direction) {
            case ArrowDirection::Left:
                along = -dx, across = dy;
                break;
            case ArrowDirection::Right:
                along = dx, across = dy;
                break;
            case ArrowDirection::Up:
                along = -dy, across = dx;
                break;
            case ArrowDirection::Down:
                along = dy, across = dx;
                break;
        }
        if (along <= 0) return;
        if (across < 0) across = -across;
        // Centres differ by at most 2^34 here, so the score cannot overflow.
        const std::int64_t score = along + kAcrossWeight * across;
        // A node nearer the arrow than 45 degrees beats any node further off it: one straight
        // below is not "right" however near it is.
        const bool inCone = across <= along;
        if (best != nullptr && bestInCone && !inCone) return;
        if (best == nullptr || (inCone && !bestInCone) || score < bestScore ||
            (score == bestScore && across < bestAcross)) {
            best = n;
            bestInCone = inCone;
            bestScore = score;
            bestAcross = across;
        }
    });
    return best;
}
