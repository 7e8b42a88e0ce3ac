#include "platform/gdi32/gdi_objects.h"

#include <array>
#include <cstring>
#include <mutex>

namespace platform::gdi32 {
namespace {

constexpr std::uintptr_t kSlotBits = 20;
constexpr std::uintptr_t kSlotMask = (std::uintptr_t{1} << kSlotBits) - 1;
constexpr int kStockCount = 20;

struct Slot {
    std::unique_ptr<GdiObject> object;
    std::uint32_t generation = 0;
};

class HandleTable {
  public:
    HandleTable() { createStockObjects(); }

    HGDIOBJ add(std::unique_ptr<GdiObject> object) {
        std::lock_guard<std::mutex> lock(mutex_);
        std::size_t slot;
        if (!free_.empty()) {
            slot = free_.back();
            free_.pop_back();
        } else {
            if (slots_.size() >= kSlotMask) return nullptr;
            slot = slots_.size();
            slots_.emplace_back();
        }
        Slot& s = slots_[slot];
        s.generation = (s.generation + 1) & 0xFFFF;
        if (s.generation == 0) s.generation = 1;
        auto value = ((static_cast<std::uintptr_t>(s.generation) << kSlotBits) | (slot + 1)) << 4;
        auto handle = reinterpret_cast<HGDIOBJ>(value);
        object->handle = handle;
        if (!object->stock) ++live_;
        s.object = std::move(object);
        return handle;
    }

    GdiObject* find(HGDIOBJ handle) {
        std::lock_guard<std::mutex> lock(mutex_);
        return findLocked(handle);
    }

    bool remove(HGDIOBJ handle) {
        std::unique_ptr<GdiObject> doomed;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            GdiObject* object = findLocked(handle);
            if (!object || object->stock || object->selectedCount > 0) return false;
            std::size_t slot = slotOf(handle);
            doomed = std::move(slots_[slot].object);
            free_.push_back(slot);
            --live_;
        }
        return true;  // freed outside the lock
    }

    GdiObject* stock(int index) { return index >= 0 && index < kStockCount ? stock_[index] : nullptr; }

    std::size_t live() {
        std::lock_guard<std::mutex> lock(mutex_);
        return live_;
    }

  private:
    static std::size_t slotOf(HGDIOBJ handle) {
        return ((reinterpret_cast<std::uintptr_t>(handle) >> 4) & kSlotMask) - 1;
    }

    GdiObject* findLocked(HGDIOBJ handle) {
        auto value = reinterpret_cast<std::uintptr_t>(handle);
        if (value == 0 || (value & 0xF) != 0) return nullptr;
        std::uintptr_t slotPlusOne = (value >> 4) & kSlotMask;
        if (slotPlusOne == 0 || slotPlusOne > slots_.size()) return nullptr;
        Slot& s = slots_[slotPlusOne - 1];
        if (!s.object || s.generation != (value >> (4 + kSlotBits))) return nullptr;
        return s.object.get();
    }

    void addStock(int index, std::unique_ptr<GdiObject> object) {
        object->stock = true;
        GdiObject* raw = object.get();
        add(std::move(object));
        stock_[index] = raw;
    }

    void createStockObjects() {
        const COLORREF brushColors[] = {RGB(255, 255, 255), RGB(192, 192, 192), RGB(128, 128, 128),
                                        RGB(64, 64, 64), RGB(0, 0, 0)};
        for (int i = WHITE_BRUSH; i <= BLACK_BRUSH; ++i) {
            auto brush = std::make_unique<Brush>();
            brush->color = brushColors[i];
            addStock(i, std::move(brush));
        }
        auto nullBrush = std::make_unique<Brush>();
        nullBrush->style = BS_NULL;
        addStock(NULL_BRUSH, std::move(nullBrush));
        const COLORREF penColors[] = {RGB(255, 255, 255), RGB(0, 0, 0), RGB(0, 0, 0)};
        for (int i = WHITE_PEN; i <= NULL_PEN; ++i) {
            auto pen = std::make_unique<Pen>();
            pen->color = penColors[i - WHITE_PEN];
            if (i == NULL_PEN) pen->style = PS_NULL;
            addStock(i, std::move(pen));
        }
        struct FontSpec {
            int index;
            LONG height;
            const char16_t* face;
        };
        const FontSpec fonts[] = {
            {OEM_FIXED_FONT, 12, u"Terminal"},       {ANSI_FIXED_FONT, 12, u"Courier"},
            {ANSI_VAR_FONT, 12, u"MS Sans Serif"},   {SYSTEM_FONT, 16, u"System"},
            {DEVICE_DEFAULT_FONT, 16, u"System"},    {SYSTEM_FIXED_FONT, 16, u"Fixedsys"},
            {DEFAULT_GUI_FONT, -11, u"MS Shell Dlg"}};
        for (const FontSpec& stock : fonts) {
            auto font = std::make_unique<Font>();
            font->logFont.lfHeight = stock.height;
            font->logFont.lfWeight = FW_NORMAL;
            font->logFont.lfCharSet = DEFAULT_CHARSET;
            for (int i = 0; stock.face[i] && i < LF_FACESIZE - 1; ++i)
                font->logFont.lfFaceName[i] = stock.face[i];
            addStock(stock.index, std::move(font));
        }
        addStock(DEFAULT_PALETTE, std::make_unique<Palette>());
        auto dcBrush = std::make_unique<Brush>();
        dcBrush->color = RGB(255, 255, 255);
        addStock(DC_BRUSH, std::move(dcBrush));
        addStock(DC_PEN, std::make_unique<Pen>());
        // Every new memory DC starts with this 1 x 1 monochrome bitmap selected.
        auto bitmap = std::make_unique<Bitmap>();
        bitmap->width = bitmap->height = 1;
        bitmap->bitsPerPixel = 1;
        bitmap->pixels.assign(1, 0);
        addStock(9, std::move(bitmap));
    }

    std::mutex mutex_;
    std::vector<Slot> slots_;
    std::vector<std::size_t> free_;
    std::array<GdiObject*, kStockCount> stock_{};
    std::size_t live_ = 0;
};

// Never destroyed: the window thread may still present while static destructors run.
HandleTable& table() {
    static HandleTable* instance = new HandleTable();
    return *instance;
}

}  // namespace

HGDIOBJ registerObject(std::unique_ptr<GdiObject> object) {
    return table().add(std::move(object));
}

GdiObject* lookupObject(HGDIOBJ handle) {
    return table().find(handle);
}

Pen* lookupPen(HGDIOBJ handle) {
    GdiObject* object = lookupObject(handle);
    return object && (object->type == OBJ_PEN || object->type == OBJ_EXTPEN) ? static_cast<Pen*>(object)
                                                                             : nullptr;
}

DeviceContext* lookupDC(HDC dc) {
    GdiObject* object = lookupObject(dc);
    return object && (object->type == OBJ_MEMDC || object->type == OBJ_DC)
               ? static_cast<DeviceContext*>(object)
               : nullptr;
}

bool destroyObject(HGDIOBJ handle) {
    return table().remove(handle);
}

GdiObject* stockObject(int index) {
    return table().stock(index);
}

std::size_t liveObjectCount() {
    return table().live();
}

}  // namespace platform::gdi32
