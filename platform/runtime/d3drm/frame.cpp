#include "d3drm/frame.h"

namespace zv::d3drm {

namespace {

D3DVECTOR operator+(const D3DVECTOR& a, const D3DVECTOR& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

D3DVECTOR operator-(const D3DVECTOR& a, const D3DVECTOR& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

// Where a reference frame puts its origin; the world's for none.
D3DVECTOR Origin(const Frame* reference) {
    return reference != nullptr ? reference->WorldPosition() : D3DVECTOR{};
}

} // namespace

Frame* Frame::Create(Frame* parent) {
    auto* frame = new Frame(parent);
    if (parent != nullptr)
        parent->children_.push_back(runtime::Com<Frame>::Share(frame));
    return frame;
}

Frame* Frame::From(IDirect3DRMFrame* frame) {
    return dynamic_cast<Frame*>(frame);
}

Frame::~Frame() {
    // Children that others still hold become roots and stay where they are.
    for (const runtime::Com<Frame>& child : children_) {
        child->position_ = child->WorldPosition();
        child->parent_ = nullptr;
    }
}

D3DVECTOR Frame::WorldPosition() const {
    return position_ + Origin(parent_);
}

HRESULT Frame::GetPosition(LPDIRECT3DRMFRAME lpRef, LPD3DVECTOR lpvPos) {
    Frame* reference = From(lpRef);
    if (lpRef != nullptr && reference == nullptr)
        return D3DRMERR_BADOBJECT;
    if (lpvPos == nullptr)
        return D3DRMERR_BADVALUE;
    *lpvPos = WorldPosition() - Origin(reference);
    return D3DRM_OK;
}

HRESULT Frame::SetPosition(LPDIRECT3DRMFRAME lpRef, D3DVALUE rvX, D3DVALUE rvY, D3DVALUE rvZ) {
    Frame* reference = From(lpRef);
    if (lpRef != nullptr && reference == nullptr)
        return D3DRMERR_BADOBJECT;
    // The reference's origin is taken before the move, so a frame given as
    // its own reference moves by the offset.
    position_ = Origin(reference) + D3DVECTOR{rvX, rvY, rvZ} - Origin(parent_);
    return D3DRM_OK;
}

} // namespace zv::d3drm
