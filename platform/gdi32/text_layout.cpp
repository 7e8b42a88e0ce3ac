#include "platform/gdi32/text_layout.h"

#include <algorithm>
#include <unordered_map>

#include "platform/gdi32/text_raster.h"

namespace platform::gdi32 {
namespace {

// The cache is bounded by the memory its entries hold, not by their number: a map of many
// different captions must not thrash it, and one huge text must not pin much memory.
constexpr std::size_t kCacheBytes = std::size_t{32} << 20;
std::size_t gCacheLimit = kCacheBytes;

struct Key {
    unsigned face;
    unsigned flags;
    int width;
    std::u16string text;
};

// What a lookup brings: the key without its own copy of the text, so a hit allocates nothing.
struct KeyView {
    unsigned face;
    unsigned flags;
    int width;
    std::u16string_view text;
    KeyView(unsigned f, unsigned fl, int w, std::u16string_view t) : face(f), flags(fl), width(w), text(t) {}
    // Implicit: a stored key hashes and compares as its view.
    KeyView(const Key& k) : face(k.face), flags(k.flags), width(k.width), text(k.text) {}
};

struct KeyEqual {
    using is_transparent = void;
    bool operator()(const KeyView& a, const KeyView& b) const {
        return a.face == b.face && a.flags == b.flags && a.width == b.width && a.text == b.text;
    }
};

struct KeyHash {
    using is_transparent = void;
    std::size_t operator()(const KeyView& k) const {
        std::size_t h = std::hash<std::u16string_view>()(k.text);
        h ^= (static_cast<std::size_t>(k.face) * 0x9E3779B97F4A7C15ull) +
             (static_cast<std::size_t>(k.flags) << 7) +
             static_cast<std::size_t>(static_cast<unsigned>(k.width)) * 31u;
        return h;
    }
};

struct Entry {
    std::shared_ptr<const TextBlock> block;
    bool rasterised = false;  // text measured for an off-screen call has no mask yet
    // A windowed block's last piece drawn: a redrawn frame shows the same part again.
    std::shared_ptr<const TextBlock> piece;
    TextArea pieceArea;
    std::size_t bytes = 0;
    std::uint64_t lastUse = 0;
};

std::size_t blockBytes(const TextBlock& b) {
    return sizeof(TextBlock) + b.mask.size() +
           (b.lineX.size() + b.lineWidth.size() + b.rowFirst.size() + b.rowEnd.size()) * sizeof(int) +
           b.solidRuns.size() * sizeof(TextBlock::Run);
}

std::size_t entryBytes(std::u16string_view text, const Entry& entry) {
    constexpr std::size_t kOverhead = 160;  // list and hash nodes, control blocks
    return kOverhead + text.size() * sizeof(char16_t) + blockBytes(*entry.block) +
           (entry.piece ? blockBytes(*entry.piece) : 0);
}

// Each hit only stamps its entry: moving it in a recency list would touch two more entries'
// memory on every text drawn. Once over the limit, the least recently stamped are dropped in
// one sweep down to three quarters of it, so sweeps stay rare.
class Cache {
  public:
    Entry* find(const KeyView& key) {
        auto it = entries_.find(key);
        if (it == entries_.end()) return nullptr;
        it->second.lastUse = ++clock_;
        current_ = &*it;
        return &it->second;
    }
    // An entry larger than the whole limit is not kept (nullptr): it would only push out
    // everything else and then itself.
    Entry* insert(Key key, Entry entry) {
        if (entryBytes(key.text, entry) > gCacheLimit) return nullptr;
        auto it = entries_.emplace(std::move(key), std::move(entry)).first;
        it->second.lastUse = ++clock_;
        current_ = &*it;
        resized();
        return &it->second;
    }
    // Accounts for the entry last found or inserted, which grew (its glyphs rasterised), and
    // sweeps when over the limit; that entry stays unless it alone is over the limit.
    void resized() {
        Entry& entry = current_->second;
        bytes_ -= entry.bytes;
        entry.bytes = entryBytes(current_->first.text, entry);
        bytes_ += entry.bytes;
        if (entry.bytes > gCacheLimit) {
            bytes_ -= entry.bytes;
            entries_.erase(entries_.find(KeyView(current_->first)));
            current_ = nullptr;
            return;
        }
        if (bytes_ > gCacheLimit) sweep();
    }
    std::size_t bytes() const { return bytes_; }
    void clear() {
        entries_.clear();
        bytes_ = 0;
        current_ = nullptr;
    }

  private:
    using Map = std::unordered_map<Key, Entry, KeyHash, KeyEqual>;
    void sweep() {
        std::vector<std::pair<std::uint64_t, Map::iterator>> byAge;
        byAge.reserve(entries_.size());
        for (auto it = entries_.begin(); it != entries_.end(); ++it) {
            if (&*it != current_) byAge.emplace_back(it->second.lastUse, it);
        }
        std::sort(byAge.begin(), byAge.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
        const std::size_t target = gCacheLimit / 4 * 3;
        for (auto& [stamp, it] : byAge) {
            if (bytes_ <= target) break;
            bytes_ -= it->second.bytes;
            entries_.erase(it);
        }
    }

    Map entries_;
    std::size_t bytes_ = 0;
    std::uint64_t clock_ = 0;
    Map::value_type* current_ = nullptr;
};

Cache& cache() {
    static Cache* c = new Cache();
    return *c;
}

// The key a text is cached under: only the flags and width its layout depends on.
KeyView cacheKey(const FontFace& face, std::u16string_view text, unsigned& flags, int width) {
    flags &= kLayoutFlags;
    if (flags & DT_SINGLELINE) flags &= ~static_cast<unsigned>(DT_WORDBREAK);
    const bool usesWidth = flags & (DT_CENTER | DT_RIGHT | DT_WORDBREAK);
    return KeyView(face.id, flags, usesWidth ? width : 0, text);
}

}  // namespace

std::shared_ptr<const TextBlock> layoutText(const FontFace& face, std::u16string_view text, unsigned flags,
                                            int width, bool rasterise) {
    const KeyView key = cacheKey(face, text, flags, width);
    Entry* entry = cache().find(key);
    if (entry && (entry->rasterised || !rasterise)) return entry->block;
    // The layout lives only while it is needed: a text measured now and drawn later is laid
    // out again then, which costs less than keeping Pango's layouts for every caption.
    PangoLayout* layout = makeLayout(face, text, flags, width);
    std::shared_ptr<const TextBlock> block = entry ? entry->block : nullptr;
    if (!block) {
        auto measured = std::make_shared<TextBlock>();
        measureLines(face, layout, flags, width, text.empty(), *measured);
        block = std::move(measured);
    }
    if (rasterise) {
        // A block already handed out stays as it was; the rasterised one replaces it.
        auto rasterised = std::make_shared<TextBlock>(*block);
        rasteriseLines(face, layout, *rasterised);
        block = std::move(rasterised);
    }
    g_object_unref(layout);
    if (entry) {
        entry->block = block;
        entry->rasterised = true;
        cache().resized();
    } else {
        Entry fresh;
        fresh.block = block;
        fresh.rasterised = rasterise;
        cache().insert(Key{key.face, key.flags, key.width, std::u16string(text)}, std::move(fresh));
    }
    return block;
}

void rasteriseWindow(const FontFace& face, std::u16string_view text, unsigned flags, int width,
                     const TextBlock& whole, const TextArea& window,
                     const std::function<void(const TextBlock&)>& paint) {
    if (window.width <= 0 || window.height <= 0) return;
    const KeyView key = cacheKey(face, text, flags, width);
    Entry* entry = cache().find(key);
    const bool onePiece = window.width <= kPieceWidth && window.height <= kPieceHeight;
    if (entry && onePiece && entry->piece && entry->pieceArea == window) {
        paint(*entry->piece);
        return;
    }
    PangoLayout* layout = makeLayout(face, text, flags, width);
    const std::int64_t right = std::int64_t{window.x} + window.width,
                       bottom = std::int64_t{window.y} + window.height;
    for (std::int64_t y = window.y; y < bottom; y += kPieceHeight) {
        for (std::int64_t x = window.x; x < right; x += kPieceWidth) {
            const TextArea area{static_cast<int>(x), static_cast<int>(y),
                                static_cast<int>(std::min<std::int64_t>(kPieceWidth, right - x)),
                                static_cast<int>(std::min<std::int64_t>(kPieceHeight, bottom - y))};
            auto piece = std::make_shared<TextBlock>();
            rasteriseArea(face, layout, whole, area, *piece);
            paint(*piece);
            if (entry && onePiece) {
                entry->piece = std::move(piece);
                entry->pieceArea = area;
                cache().resized();
            }
        }
    }
    g_object_unref(layout);
}

int measureText(const FontFace& face, std::u16string_view text) {
    if (text.empty()) return 0;
    auto block = layoutText(face, text, DT_SINGLELINE | DT_NOPREFIX, 0, false);
    return block->maxWidth;
}

void clearTextCache() {
    cache().clear();
}

void setTextCacheLimit(std::size_t bytes) {
    gCacheLimit = bytes == 0 ? kCacheBytes : bytes;
}

std::size_t textCacheBytes() {
    return cache().bytes();
}

}  // namespace platform::gdi32
