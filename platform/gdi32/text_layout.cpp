#include "platform/gdi32/text_layout.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <unordered_map>

#include "unicode/utf.h"

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
    std::shared_ptr<TextBlock> block;
    bool rasterised = false;  // text measured for an off-screen call has no mask yet
    std::size_t bytes = 0;
    std::uint64_t lastUse = 0;
};

std::size_t entryBytes(const Key& key, const TextBlock& b) {
    constexpr std::size_t kOverhead = 160;  // list and hash nodes, control blocks
    return kOverhead + sizeof(TextBlock) + key.text.size() * sizeof(char16_t) + b.mask.size() +
           (b.lineX.size() + b.lineWidth.size() + b.rowFirst.size() + b.rowEnd.size()) * sizeof(int) +
           b.solidRuns.size() * sizeof(TextBlock::Run);
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
    Entry* insert(Key key, Entry entry) {
        auto it = entries_.emplace(std::move(key), std::move(entry)).first;
        it->second.lastUse = ++clock_;
        current_ = &*it;
        resized();
        return &it->second;
    }
    // Accounts for the entry last found or inserted, which grew (its glyphs rasterised), and
    // sweeps when over the limit; that entry always stays.
    void resized() {
        Entry& entry = current_->second;
        bytes_ -= entry.bytes;
        entry.bytes = entryBytes(current_->first, *entry.block);
        bytes_ += entry.bytes;
        if (bytes_ > gCacheLimit) sweep();
    }
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

int toPixels(int pangoUnits) {
    return (pangoUnits + PANGO_SCALE / 2) / PANGO_SCALE;
}

// Text and attributes for Pango: prefix characters taken out, mnemonics underlined.
PangoLayout* makeLayout(const FontFace& face, std::u16string_view text, unsigned flags, int width) {
    std::u16string shown;
    std::vector<std::size_t> underlined;  // indices into `shown`
    const bool prefixes = !(flags & DT_NOPREFIX);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if ((flags & DT_SINGLELINE) && (c == u'\r' || c == u'\n')) continue;
        if (prefixes && c == u'&') {
            if (i + 1 >= text.size()) break;
            c = text[++i];
            if (c != u'&' && !(flags & DT_HIDEPREFIX)) underlined.push_back(shown.size());
        }
        shown.push_back(c);
    }
    std::string utf8;
    std::vector<std::size_t> byteAt(shown.size() + 1, 0);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        byteAt[i] = utf8.size();
        std::size_t n = (shown[i] >= 0xD800 && shown[i] < 0xDC00 && i + 1 < shown.size()) ? 2 : 1;
        unicode::appendUtf8(utf8, std::u16string_view(shown.data() + i, n));
        if (n == 2) byteAt[++i] = utf8.size();
    }
    byteAt[shown.size()] = utf8.size();

    PangoLayout* layout = pango_layout_new(pangoContext(face.antialias));
    pango_layout_set_font_description(layout, face.description);
    pango_layout_set_text(layout, utf8.data(), static_cast<int>(utf8.size()));
    if (flags & DT_SINGLELINE) pango_layout_set_single_paragraph_mode(layout, TRUE);
    if ((flags & DT_WORDBREAK) && !(flags & DT_SINGLELINE)) {
        pango_layout_set_width(layout, std::max(width, 1) * PANGO_SCALE);
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD);
    }
    PangoAttrList* attrs = pango_attr_list_new();
    if (face.underline || face.strikeOut) {
        PangoAttribute* a = face.underline ? pango_attr_underline_new(PANGO_UNDERLINE_SINGLE)
                                           : pango_attr_strikethrough_new(TRUE);
        pango_attr_list_insert(attrs, a);
        if (face.underline && face.strikeOut)
            pango_attr_list_insert(attrs, pango_attr_strikethrough_new(TRUE));
    }
    for (std::size_t index : underlined) {
        PangoAttribute* a = pango_attr_underline_new(PANGO_UNDERLINE_SINGLE);
        a->start_index = static_cast<guint>(byteAt[index]);
        a->end_index = static_cast<guint>(byteAt[index + 1]);
        pango_attr_list_insert(attrs, a);
    }
    pango_layout_set_attributes(layout, attrs);
    pango_attr_list_unref(attrs);
    return layout;
}

void measureLines(const FontFace& face, PangoLayout* layout, unsigned flags, int width, bool empty,
                  TextBlock& b) {
    b.cellHeight = face.cellHeight;
    if (empty) return;
    int count = pango_layout_get_line_count(layout);
    for (int i = 0; i < count; ++i) {
        PangoLayoutLine* line = pango_layout_get_line_readonly(layout, i);
        PangoRectangle logical;
        pango_layout_line_get_extents(line, nullptr, &logical);
        int w = toPixels(logical.width);
        // GDI centres with integer division of the spare width (truncating).
        int x = 0;
        if (flags & DT_CENTER)
            x = (width - w) / 2;
        else if (flags & DT_RIGHT)
            x = width - w;
        b.lineX.push_back(x);
        b.lineWidth.push_back(w);
        b.maxWidth = std::max(b.maxWidth, w);
    }
}

void rasteriseLines(const FontFace& face, PangoLayout* layout, TextBlock& b) {
    const int pad = 2;
    int count = b.lineCount();
    if (count == 0) return;
    // Bounds of the glyphs' ink.
    int left = 0, top = 0, right = 0, bottom = 0;
    bool any = false;
    for (int i = 0; i < count; ++i) {
        PangoLayoutLine* line = pango_layout_get_line_readonly(layout, i);
        PangoRectangle ink, logical;
        pango_layout_line_get_pixel_extents(line, &ink, &logical);
        if (ink.width <= 0 || ink.height <= 0) continue;
        int ox = b.lineX[i] - logical.x, oy = i * b.cellHeight + face.baseline;
        int l = ox + ink.x - pad, t = oy + ink.y - pad, r = ox + ink.x + ink.width + pad,
            btm = oy + ink.y + ink.height + pad;
        if (!any) {
            left = l, top = t, right = r, bottom = btm;
            any = true;
        } else {
            left = std::min(left, l), top = std::min(top, t), right = std::max(right, r),
            bottom = std::max(bottom, btm);
        }
    }
    if (!any) return;
    b.maskX = left;
    b.maskY = top;
    b.maskWidth = right - left;
    b.maskHeight = bottom - top;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, b.maskWidth, b.maskHeight);
    cairo_t* cr = cairo_create(surface);
    cairo_set_antialias(cr, face.antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, face.antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
    cairo_set_source_rgba(cr, 0, 0, 0, 1);
    for (int i = 0; i < count; ++i) {
        PangoLayoutLine* line = pango_layout_get_line_readonly(layout, i);
        PangoRectangle logical;
        pango_layout_line_get_pixel_extents(line, nullptr, &logical);
        cairo_move_to(cr, b.lineX[i] - logical.x - b.maskX, i * b.cellHeight + face.baseline - b.maskY);
        pango_cairo_show_layout_line(cr, line);
    }
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    b.mask.assign(static_cast<std::size_t>(b.maskWidth) * b.maskHeight, 0);
    b.rowFirst.assign(b.maskHeight, 0);
    b.rowEnd.assign(b.maskHeight, 0);
    for (int r = 0; r < b.maskHeight; ++r) {
        const unsigned char* src = data + static_cast<std::ptrdiff_t>(r) * stride;
        std::uint8_t* dst = b.mask.data() + static_cast<std::size_t>(r) * b.maskWidth;
        int first = b.maskWidth, end = 0;
        for (int c = 0; c < b.maskWidth; ++c) {
            dst[c] = src[c];
            if (src[c]) {
                first = std::min(first, c);
                end = c + 1;
            }
        }
        b.rowFirst[r] = first < end ? first : 0;
        b.rowEnd[r] = end;
        for (int c = first; c < end;) {
            if (dst[c] != 255) {
                b.partial = b.partial || dst[c] != 0;
                ++c;
                continue;
            }
            int e = c;
            while (e < end && dst[e] == 255) ++e;
            b.solidRuns.push_back({r, c, e});
            c = e;
        }
    }
    cairo_surface_destroy(surface);
}

}  // namespace

std::shared_ptr<const TextBlock> layoutText(const FontFace& face, std::u16string_view text, unsigned flags,
                                            int width, bool rasterise) {
    flags &= kLayoutFlags;
    if (flags & DT_SINGLELINE) flags &= ~static_cast<unsigned>(DT_WORDBREAK);
    bool usesWidth = flags & (DT_CENTER | DT_RIGHT | DT_WORDBREAK);
    const KeyView key(face.id, flags, usesWidth ? width : 0, text);
    Entry* entry = cache().find(key);
    if (entry && (entry->rasterised || !rasterise)) return entry->block;
    // The layout lives only while it is needed: a text measured now and drawn later is laid
    // out again then, which costs less than keeping Pango's layouts for every caption.
    PangoLayout* layout = makeLayout(face, text, flags, width);
    if (!entry) {
        Entry fresh;
        fresh.block = std::make_shared<TextBlock>();
        measureLines(face, layout, flags, width, text.empty(), *fresh.block);
        entry = cache().insert(Key{key.face, key.flags, key.width, std::u16string(text)}, std::move(fresh));
    }
    if (rasterise) {
        // A block already handed out stays as it was; the rasterised one replaces it.
        auto block = std::make_shared<TextBlock>(*entry->block);
        rasteriseLines(face, layout, *block);
        entry->block = std::move(block);
        entry->rasterised = true;
        cache().resized();
    }
    g_object_unref(layout);
    return entry->block;
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

}  // namespace platform::gdi32
