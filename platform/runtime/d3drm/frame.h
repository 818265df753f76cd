// A retained-mode frame: a position in the scene's tree of frames.
//
// A parent holds a reference to each of its children, so a scene lives as
// long as its root; a child only points back at its parent. Positions are
// translations: a frame's place in the world is the sum of the positions
// along its chain of parents.
#pragma once

#include <platform/d3drm.h>

#include "common/com_object.h"
#include "common/com_ptr.h"
#include "d3drm/live_object.h"

#include <vector>

namespace zv::d3drm {

class Frame final : public runtime::ComObject<IDirect3DRMFrame2>, private LiveObject {
public:
    // One reference for the caller; parent (may be null) keeps one more.
    static Frame* Create(Frame* parent);

    // This runtime's frame behind the interface; null for null and for
    // frames of any other implementation.
    static Frame* From(IDirect3DRMFrame* frame);

    // lpRef null: world coordinates.
    HRESULT STDMETHODCALLTYPE GetPosition(LPDIRECT3DRMFRAME lpRef, LPD3DVECTOR lpvPos) override;
    HRESULT STDMETHODCALLTYPE SetPosition(LPDIRECT3DRMFRAME lpRef, D3DVALUE rvX, D3DVALUE rvY,
                                          D3DVALUE rvZ) override;

    Frame* Parent() const { return parent_; }
    D3DVECTOR WorldPosition() const;

private:
    explicit Frame(Frame* parent) : parent_(parent) {}
    ~Frame() override;

    // Not owned: the parent owns this frame, and clears this on going away.
    Frame* parent_;
    std::vector<runtime::Com<Frame>> children_;
    // Relative to parent_, or to the world for a root.
    D3DVECTOR position_ = {};
};

} // namespace zv::d3drm
