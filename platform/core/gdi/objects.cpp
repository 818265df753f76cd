#include "objects.h"

#include <memory>

namespace zv::gdi {
namespace {

static_assert(sizeof(uintptr_t) == 8, "handles pack a 32-bit generation beside the slot");

enum Kind : uintptr_t { kBitmap = 1, kDeviceContext = 2 };
constexpr uintptr_t kKindBits = 2;
constexpr uintptr_t kSlotBits = 28;

struct Slot {
    uint32_t generation = 0;
    std::unique_ptr<Bitmap> bitmap;
    std::unique_ptr<DeviceContext> dc;
};

struct ObjectTable {
    std::mutex mutex;
    std::vector<Slot> slots;
    std::vector<size_t> freeSlots;
    HBITMAP stockBitmap = nullptr;
};

// Never destroyed: contexts may be released from other objects' destructors
// at exit.
ObjectTable& Table() {
    static ObjectTable* table = new ObjectTable;
    return *table;
}

uintptr_t MakeHandle(size_t slot, uint32_t generation, Kind kind) {
    return uintptr_t{generation} << (kSlotBits + kKindBits) | uintptr_t{slot} << kKindBits | kind;
}

// Null once every slot a handle can name is taken.
Slot* NewSlot() {
    ObjectTable& table = Table();
    if (table.freeSlots.empty()) {
        if (table.slots.size() >= (size_t{1} << kSlotBits))
            return nullptr;
        return &table.slots.emplace_back();
    }
    Slot* slot = &table.slots[table.freeSlots.back()];
    table.freeSlots.pop_back();
    return slot;
}

Slot* FindSlot(const void* handle, Kind kind) {
    const auto value = reinterpret_cast<uintptr_t>(handle);
    if ((value & ((uintptr_t{1} << kKindBits) - 1)) != kind)
        return nullptr;
    const size_t index = value >> kKindBits & ((uintptr_t{1} << kSlotBits) - 1);
    const auto generation = static_cast<uint32_t>(value >> (kSlotBits + kKindBits));
    auto& slots = Table().slots;
    if (index >= slots.size() || slots[index].generation != generation)
        return nullptr;
    Slot& slot = slots[index];
    if ((kind == kBitmap && !slot.bitmap) || (kind == kDeviceContext && !slot.dc))
        return nullptr;
    return &slot;
}

size_t IndexOf(const Slot& slot) {
    return static_cast<size_t>(&slot - Table().slots.data());
}

} // namespace

std::unique_lock<std::mutex> LockObjects() {
    return std::unique_lock(Table().mutex);
}

HBITMAP AddBitmap(Bitmap bitmap) {
    Slot* slot = NewSlot();
    if (!slot)
        return nullptr;
    slot->bitmap = std::make_unique<Bitmap>(std::move(bitmap));
    return reinterpret_cast<HBITMAP>(MakeHandle(IndexOf(*slot), slot->generation, kBitmap));
}

HDC AddDeviceContext(DeviceContext dc) {
    Slot* slot = NewSlot();
    if (!slot)
        return nullptr;
    slot->dc = std::make_unique<DeviceContext>(std::move(dc));
    return reinterpret_cast<HDC>(MakeHandle(IndexOf(*slot), slot->generation, kDeviceContext));
}

Bitmap* FindBitmap(HGDIOBJ handle) {
    Slot* slot = FindSlot(handle, kBitmap);
    return slot ? slot->bitmap.get() : nullptr;
}

DeviceContext* FindDeviceContext(HDC handle) {
    Slot* slot = FindSlot(handle, kDeviceContext);
    return slot ? slot->dc.get() : nullptr;
}

void RemoveObject(HGDIOBJ handle) {
    Slot* slot = FindSlot(handle, kBitmap);
    if (!slot)
        slot = FindSlot(handle, kDeviceContext);
    if (!slot)
        return;
    slot->bitmap.reset();
    slot->dc.reset();
    // A new generation makes every copy of the old handle stale.
    ++slot->generation;
    Table().freeSlots.push_back(IndexOf(*slot));
}

HBITMAP StockBitmap() {
    ObjectTable& table = Table();
    if (!table.stockBitmap) {
        Bitmap mono;
        mono.format = PixelFormat{1, 0, 0, 0, {0x000000, 0xFFFFFF}};
        mono.width = 1;
        mono.height = 1;
        mono.stride = 4;
        mono.bits.assign(4, 0);
        mono.stock = true;
        table.stockBitmap = AddBitmap(std::move(mono));
    }
    return table.stockBitmap;
}

std::optional<PixelView> ContextPixels(DeviceContext& dc) {
    switch (dc.kind) {
    case DcKind::Memory:
        if (Bitmap* bitmap = FindBitmap(dc.bitmap))
            return bitmap->View();
        return std::nullopt;
    case DcKind::Surface:
        return PixelView{&dc.surfaceFormat, dc.surfaceTop, dc.surfacePitch, dc.surfaceWidth,
                         dc.surfaceHeight};
    default:
        return std::nullopt;
    }
}

} // namespace zv::gdi
