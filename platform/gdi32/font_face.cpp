#include "platform/gdi32/font_face.h"

#include <pango/pangocairo.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "platform/gdi32/text_layout.h"
#include "unicode/utf.h"

namespace platform::gdi32 {
namespace {

constexpr const char* kCjkSans = "WenQuanYi Micro Hei";
constexpr const char* kCjkMono = "WenQuanYi Micro Hei Mono";
constexpr int kDefaultCellHeight = 16;

}  // namespace

namespace {

std::string lower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

// The fontconfig family list for a Windows face name.
std::string familyFor(const LOGFONTW& lf) {
    std::size_t n = 0;
    while (n < LF_FACESIZE && lf.lfFaceName[n]) ++n;
    std::string face = unicode::toUtf8(std::u16string_view(lf.lfFaceName, n));
    std::string key = lower(face);
    static const char* const sans[] = {
        "",        "system",       "微软雅黑",       "microsoft yahei", "microsoft yahei ui",
        "宋体",    "simsun",       "新宋体",         "nsimsun",         "黑体",
        "simhei",  "ms shell dlg", "ms shell dlg 2", "ms sans serif",   "tahoma",
        "segoe ui"};
    static const char* const mono[] = {"terminal", "fixedsys", "courier", "courier new", "consolas"};
    for (const char* s : sans) {
        if (key == s) return kCjkSans;
    }
    for (const char* s : mono) {
        if (key == s) return kCjkMono;
    }
    bool fixed = (lf.lfPitchAndFamily & 0x3) == FIXED_PITCH || (lf.lfPitchAndFamily & 0xF0) == FF_MODERN;
    // Commas would split the family list; an unknown face falls back to the CJK face.
    for (char& c : face) {
        if (c == ',') c = ' ';
    }
    return face + "," + (fixed ? kCjkMono : kCjkSans);
}

struct Contexts {
    PangoFontMap* map = nullptr;
    PangoContext* plain = nullptr;
    PangoContext* smooth = nullptr;
};

PangoContext* makeContext(PangoFontMap* map, bool antialias) {
    PangoContext* context = pango_font_map_create_context(map);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
    // Unhinted metrics: hinting would round ascent and descent up separately.
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
    pango_cairo_context_set_resolution(context, 96);
    return context;
}

using FaceMap = std::map<std::string, std::shared_ptr<const FontFace>>;

FaceMap& faces() {
    static auto* map = new FaceMap();
    return *map;
}

Contexts* gContexts = nullptr;

// At exit, hand the layouts, contexts and font map back to Pango, so that leak checkers see
// them freed. (fontconfig's own start-up allocations stay: FcFini is not safe while Cairo's
// font caches live, so they are named in the suppressions below.)
void releaseText() {
    std::lock_guard<std::mutex> lock(textMutex());
    clearTextCache();  // the resolved faces hold only descriptions and stay
    if (gContexts) {
        g_object_unref(gContexts->plain);
        g_object_unref(gContexts->smooth);
        g_object_unref(gContexts->map);
        delete gContexts;
        gContexts = nullptr;
    }
}

Contexts& contexts() {
    if (!gContexts) {
        gContexts = new Contexts();
        gContexts->map = pango_cairo_font_map_new();
        gContexts->plain = makeContext(gContexts->map, false);
        gContexts->smooth = makeContext(gContexts->map, true);
        std::atexit(releaseText);
    }
    Contexts* c = gContexts;
    return *c;
}

std::shared_ptr<const FontFace> buildFace(const LOGFONTW& lf, unsigned id) {
    auto face = std::make_shared<FontFace>();
    face->id = id;
    face->antialias = lf.lfQuality != NONANTIALIASED_QUALITY;
    face->underline = lf.lfUnderline != 0;
    face->strikeOut = lf.lfStrikeOut != 0;
    PangoFontDescription* d = pango_font_description_new();
    std::string family = familyFor(lf);
    pango_font_description_set_family(d, family.c_str());
    int weight = lf.lfWeight <= 0 ? FW_NORMAL : std::min<int>(lf.lfWeight, 1000);
    pango_font_description_set_weight(d, static_cast<PangoWeight>(weight));
    pango_font_description_set_style(d, lf.lfItalic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    // Ascent and descent per em, from the face itself at a large reference size.
    constexpr double kReference = 1000;
    pango_font_description_set_absolute_size(d, kReference * PANGO_SCALE);
    double ascentPerEm = 0.8, descentPerEm = 0.2;
    PangoContext* context = pangoContext(face->antialias);
    if (PangoFont* font = pango_context_load_font(context, d)) {
        PangoFontMetrics* metrics = pango_font_get_metrics(font, nullptr);
        double a = pango_font_metrics_get_ascent(metrics) / static_cast<double>(PANGO_SCALE) / kReference;
        double b = pango_font_metrics_get_descent(metrics) / static_cast<double>(PANGO_SCALE) / kReference;
        if (a > 0 && b >= 0) {
            ascentPerEm = a;
            descentPerEm = b;
        }
        pango_font_metrics_unref(metrics);
        g_object_unref(font);
    }
    long height = lf.lfHeight;
    if (height == 0) height = kDefaultCellHeight;
    height = std::max(-4096L, std::min(4096L, height));
    if (height > 0) {
        face->cellHeight = static_cast<int>(height);
        face->em = height / (ascentPerEm + descentPerEm);
    } else {
        face->em = static_cast<double>(-height);
        face->cellHeight =
            std::max(1, static_cast<int>(std::lround(face->em * (ascentPerEm + descentPerEm))));
    }
    face->ascent = face->em * ascentPerEm;
    face->baseline = static_cast<int>(std::lround(face->ascent));
    pango_font_description_set_absolute_size(d, face->em * PANGO_SCALE);
    face->description = d;
    return face;
}

}  // namespace

FontFace::~FontFace() {
    if (description) pango_font_description_free(description);
}

std::mutex& textMutex() {
    static std::mutex* mutex = new std::mutex();
    return *mutex;
}

PangoContext* pangoContext(bool antialias) {
    Contexts& c = contexts();
    return antialias ? c.smooth : c.plain;
}

std::shared_ptr<const FontFace> resolveFont(const LOGFONTW& logFont) {
    static unsigned nextId = 1;
    LOGFONTW lf = logFont;
    // Characters after the face name's terminator do not make another font.
    bool ended = false;
    for (WCHAR& c : lf.lfFaceName) {
        if (ended) c = 0;
        if (!c) ended = true;
    }
    std::string key(reinterpret_cast<const char*>(&lf), sizeof lf);
    auto it = faces().find(key);
    if (it != faces().end()) return it->second;
    auto face = buildFace(lf, nextId++);
    faces().emplace(key, face);
    return face;
}

}  // namespace platform::gdi32

// LeakSanitizer: fontconfig keeps its configuration and cache chains for the life of the
// process and offers no safe way to free them while Cairo holds fonts.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
