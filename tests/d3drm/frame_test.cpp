// Frames: positions through the parent chain, who keeps whom alive, and
// what a bad call gets back.
#include "retained_test.h"

#include <string>

namespace {

using zv::d3drm::LiveObject;

class Frames : public RetainedMode {};

TEST_F(Frames, PositionsAreTranslationsComposedThroughTheParents) {
    // root (10, 0, 0) > child > grandchild, and a second root at (0, 5, 0).
    enum Which { kNone, kRoot, kChild, kGrandchild, kOther };
    struct Case {
        const char* what;
        Which moved, setReference;
        D3DVECTOR offset;
        Which queried, getReference;
        D3DVECTOR expected;
    };
    const Case cases[] = {
        {"relative to the parent", kChild, kRoot, {1, 2, 3}, kChild, kNone, {11, 2, 3}},
        {"read back against the parent", kChild, kRoot, {1, 2, 3}, kChild, kRoot, {1, 2, 3}},
        {"in world coordinates", kChild, kNone, {1, 2, 3}, kChild, kRoot, {-9, 2, 3}},
        {"relative to another tree", kChild, kOther, {1, 1, 1}, kChild, kNone, {1, 6, 1}},
        {"read against another tree", kChild, kRoot, {0, 0, 0}, kChild, kOther, {10, -5, 0}},
        {"itself as reference moves by the offset",
         kChild,
         kChild,
         {0, 0, 4},
         kChild,
         kRoot,
         {0, 0, 4}},
        {"children follow their parent", kChild, kNone, {0, 0, 0}, kGrandchild, kNone, {0, 0, 0}},
        {"grandchild against the root",
         kGrandchild,
         kChild,
         {0, 1, 0},
         kGrandchild,
         kRoot,
         {0, 1, 0}},
        {"a frame against itself", kRoot, kNone, {7, 7, 7}, kRoot, kRoot, {0, 0, 0}},
        {"an untouched frame sits on its parent",
         kOther,
         kOther,
         {0, 0, 0},
         kGrandchild,
         kNone,
         {10, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        IDirect3DRMFrame2* root = NewFrame();
        IDirect3DRMFrame2* child = NewFrame(root);
        IDirect3DRMFrame2* grandchild = NewFrame(child);
        IDirect3DRMFrame2* other = NewFrame();
        ASSERT_EQ(root->SetPosition(nullptr, 10, 0, 0), D3DRM_OK);
        ASSERT_EQ(other->SetPosition(nullptr, 0, 5, 0), D3DRM_OK);
        IDirect3DRMFrame2* frames[] = {nullptr, root, child, grandchild, other};

        EXPECT_EQ(frames[c.moved]->SetPosition(frames[c.setReference], c.offset.x, c.offset.y,
                                               c.offset.z),
                  D3DRM_OK);
        D3DVECTOR position = {-1, -1, -1};
        EXPECT_EQ(frames[c.queried]->GetPosition(frames[c.getReference], &position), D3DRM_OK);
        EXPECT_EQ(position, c.expected);

        for (IDirect3DRMFrame2* frame : {grandchild, child, root, other})
            frame->Release();
    }
}

TEST_F(Frames, AParentKeepsItsChildrenAlive) {
    IDirect3DRMFrame2* scene = NewFrame();
    IDirect3DRMFrame2* camera = NewFrame(scene);
    NewFrame(camera)->Release();
    EXPECT_EQ(LiveObject::Count(), 4); // the retained-mode object and three frames

    // Only the parents' references are left, and they hold.
    EXPECT_EQ(camera->Release(), 1u);
    EXPECT_EQ(LiveObject::Count(), 4);
    EXPECT_EQ(scene->Release(), 0u);
    EXPECT_EQ(LiveObject::Count(), 1);
}

TEST_F(Frames, AChildHeldElsewhereOutlivesItsParentWhereItWas) {
    IDirect3DRMFrame2* scene = NewFrame();
    IDirect3DRMFrame2* camera = NewFrame(scene);
    ASSERT_EQ(scene->SetPosition(nullptr, 1, 2, 3), D3DRM_OK);
    ASSERT_EQ(camera->SetPosition(scene, 0, 0, 1), D3DRM_OK);

    EXPECT_EQ(scene->Release(), 0u);
    EXPECT_EQ(zv::d3drm::Frame::From(camera)->Parent(), nullptr);
    D3DVECTOR position = {};
    EXPECT_EQ(camera->GetPosition(nullptr, &position), D3DRM_OK);
    EXPECT_EQ(position, (D3DVECTOR{1, 2, 4}));
    EXPECT_EQ(camera->Release(), 0u);
}

TEST_F(Frames, BadCallsAreRefusedWithoutHarm) {
    ForeignFrame foreign;
    IDirect3DRMFrame2* frame = NewFrame();
    D3DVECTOR position = {};

    EXPECT_EQ(rm->CreateFrame(nullptr, nullptr), D3DRMERR_BADVALUE);
    IDirect3DRMFrame2* refused = frame;
    EXPECT_EQ(rm->CreateFrame(&foreign, &refused), D3DRMERR_BADOBJECT);
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(frame->GetPosition(nullptr, nullptr), D3DRMERR_BADVALUE);
    EXPECT_EQ(frame->GetPosition(&foreign, &position), D3DRMERR_BADOBJECT);
    EXPECT_EQ(frame->SetPosition(&foreign, 1, 1, 1), D3DRMERR_BADOBJECT);
    // The refused move left the frame where it was.
    EXPECT_EQ(frame->GetPosition(nullptr, &position), D3DRM_OK);
    EXPECT_EQ(position, (D3DVECTOR{0, 0, 0}));

    EXPECT_EQ(foreign.references, 1u);
    EXPECT_EQ(LiveObject::Count(), 2);
    frame->Release();
}

TEST_F(Frames, AnswerBothFrameInterfacesAsOneObject) {
    IDirect3DRMFrame2* frame = NewFrame();
    void* asFrame = nullptr;
    void* asUnknown = nullptr;
    EXPECT_EQ(frame->QueryInterface(IID_IDirect3DRMFrame, &asFrame), S_OK);
    EXPECT_EQ(frame->QueryInterface(IID_IUnknown, &asUnknown), S_OK);
    EXPECT_EQ(asFrame, static_cast<IDirect3DRMFrame*>(frame));
    EXPECT_EQ(asUnknown, static_cast<IUnknown*>(frame));
    EXPECT_EQ(frame->Release(), 2u);
    EXPECT_EQ(frame->Release(), 1u);
    EXPECT_EQ(frame->Release(), 0u);
}

} // namespace
