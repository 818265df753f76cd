// Retained-mode viewports over an Immediate Mode viewport: creation,
// clearing, the back plane, forced updates and who holds what.
#include "retained_test.h"

#include <cmath>
#include <limits>

namespace {

using zv::d3drm::LiveObject;
using zv::d3drm::Viewport;

constexpr D3DRECT kClientArea = {0, 0, 640, 480};

class Viewports : public RetainedMode {
protected:
    void SetUp() override {
        RetainedMode::SetUp();
        rmDevice = NewDevice();
        scene = NewFrame();
        camera = NewFrame(scene);
    }

    void TearDown() override {
        camera->Release();
        scene->Release();
        rmDevice->Release();
        RetainedMode::TearDown();
    }

    IDirect3DRMDevice2* rmDevice = nullptr;
    IDirect3DRMFrame2* scene = nullptr;
    IDirect3DRMFrame2* camera = nullptr;
};

TEST_F(Viewports, CreateAnImmediateModeViewportAndAddItToTheDevice) {
    IDirect3DRMViewport* viewport = NewViewport(rmDevice, camera, {8, 16, 328, 256});
    ASSERT_NE(viewport, nullptr);
    ASSERT_EQ(d3d.viewports.size(), 1u);
    FakeImmediateViewport& immediate = d3d.viewports[0];
    ASSERT_EQ(device.added.size(), 1u);
    EXPECT_EQ(device.added[0], &immediate);
    // The retained viewport's and the device's.
    EXPECT_EQ(immediate.references, 2u);
    EXPECT_EQ(static_cast<Viewport*>(viewport)->Rect(), (D3DRECT{8, 16, 328, 256}));
    // The Immediate Mode viewport keeps drawing and clears to the same rectangle.
    ASSERT_TRUE(immediate.area.has_value());
    EXPECT_EQ(immediate.area->dwSize, sizeof(D3DVIEWPORT));
    EXPECT_EQ(immediate.area->dwX, 8u);
    EXPECT_EQ(immediate.area->dwY, 16u);
    EXPECT_EQ(immediate.area->dwWidth, 320u);
    EXPECT_EQ(immediate.area->dwHeight, 240u);
    EXPECT_EQ(static_cast<Viewport*>(viewport)->Camera(), camera);

    EXPECT_EQ(viewport->Release(), 0u);
    EXPECT_TRUE(device.added.empty());
    EXPECT_EQ(immediate.references, 0u);
}

TEST_F(Viewports, ClearTheirRectangleAndDepthThroughTheImmediateModeViewport) {
    IDirect3DRMViewport* viewport = NewViewport(rmDevice, camera, kClientArea);
    FakeImmediateViewport& immediate = d3d.viewports[0];

    EXPECT_EQ(viewport->Clear(), D3DRM_OK);
    ASSERT_EQ(immediate.clears.size(), 1u);
    EXPECT_EQ(immediate.clears[0].flags, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER);
    ASSERT_EQ(immediate.clears[0].rects.size(), 1u);
    EXPECT_EQ(immediate.clears[0].rects[0], kClientArea);

    // The Immediate Mode runtime's answer is the caller's.
    immediate.clearResult = E_FAIL;
    EXPECT_EQ(viewport->Clear(), E_FAIL);
    viewport->Release();
}

TEST_F(Viewports, LendTheImmediateModeViewportWithoutAReference) {
    IDirect3DRMViewport* viewport = NewViewport(rmDevice, camera, kClientArea);
    FakeImmediateViewport& immediate = d3d.viewports[0];

    // As the frame renderer uses it, every frame: borrow, query, release
    // only what the query gave.
    for (int frame = 0; frame < 3; ++frame) {
        IDirect3DViewport* lent = nullptr;
        ASSERT_EQ(viewport->GetDirect3DViewport(&lent), D3DRM_OK);
        EXPECT_EQ(lent, static_cast<IDirect3DViewport*>(&immediate));
        IDirect3DViewport2* queried = nullptr;
        ASSERT_EQ(lent->QueryInterface(IID_IDirect3DViewport2, reinterpret_cast<void**>(&queried)),
                  S_OK);
        queried->Release();
        EXPECT_EQ(immediate.references, 2u);
    }
    EXPECT_EQ(viewport->GetDirect3DViewport(nullptr), D3DRMERR_BADVALUE);
    viewport->Release();
}

TEST_F(Viewports, KeepTheirDeviceAndCameraAlive) {
    IDirect3DRMViewport* viewport = NewViewport(rmDevice, camera, kClientArea);
    rmDevice->Release();
    camera->Release();
    scene->Release();
    // The viewport holds the device and the camera; the camera frame's
    // parent went away.
    EXPECT_EQ(LiveObject::Count(), 4);
    EXPECT_EQ(device.references, 2u);

    EXPECT_EQ(viewport->Release(), 0u);
    EXPECT_EQ(LiveObject::Count(), 1);
    // Nothing left for the fixture to give back.
    rmDevice = NewDevice();
    scene = NewFrame();
    camera = NewFrame(scene);
}

TEST_F(Viewports, BackPlaneMustLieBeyondTheFrontPlane) {
    IDirect3DRMViewport* viewport = NewViewport(rmDevice, camera, kClientArea);
    EXPECT_EQ(viewport->GetBack(), 100.0f);
    EXPECT_EQ(viewport->SetBack(5000.0f), D3DRM_OK);
    EXPECT_EQ(viewport->GetBack(), 5000.0f);

    const D3DVALUE refused[] = {
        Viewport::kFront, 0.5f,          0.0f,
        -5000.0f,         std::nanf(""), std::numeric_limits<D3DVALUE>::infinity()};
    for (D3DVALUE back : refused) {
        SCOPED_TRACE(back);
        EXPECT_EQ(viewport->SetBack(back), D3DRMERR_BADVALUE);
        EXPECT_EQ(viewport->GetBack(), 5000.0f);
    }
    EXPECT_EQ(viewport->SetBack(std::nextafter(Viewport::kFront, 2.0f)), D3DRM_OK);
    viewport->Release();
}

TEST_F(Viewports, BadCreationsAreRefusedWithoutHarm) {
    ForeignFrame foreignFrame;
    ForeignDevice foreignDevice;
    constexpr DWORD kMax = std::numeric_limits<LONG>::max();
    struct Case {
        const char* what;
        IDirect3DRMDevice* device;
        IDirect3DRMFrame* camera;
        DWORD x, y, width, height;
        HRESULT result;
    };
    const Case cases[] = {
        {"no device", nullptr, camera, 0, 0, 640, 480, D3DRMERR_BADOBJECT},
        {"foreign device", &foreignDevice, camera, 0, 0, 640, 480, D3DRMERR_BADOBJECT},
        {"no camera", rmDevice, nullptr, 0, 0, 640, 480, D3DRMERR_BADOBJECT},
        {"foreign camera", rmDevice, &foreignFrame, 0, 0, 640, 480, D3DRMERR_BADOBJECT},
        {"no width", rmDevice, camera, 0, 0, 0, 480, D3DRMERR_BADVALUE},
        {"no height", rmDevice, camera, 0, 0, 640, 0, D3DRMERR_BADVALUE},
        {"right edge past the coordinates", rmDevice, camera, 1, 0, kMax, 480, D3DRMERR_BADVALUE},
        {"bottom edge past the coordinates", rmDevice, camera, 0, kMax, 640, 1, D3DRMERR_BADVALUE},
        {"width wrapping round", rmDevice, camera, 16, 0, 0xFFFFFFF8u, 480, D3DRMERR_BADVALUE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        IDirect3DRMViewport* viewport = reinterpret_cast<IDirect3DRMViewport*>(&foreignFrame);
        EXPECT_EQ(rm->CreateViewport(c.device, c.camera, c.x, c.y, c.width, c.height, &viewport),
                  c.result);
        EXPECT_EQ(viewport, nullptr);
    }
    EXPECT_EQ(rm->CreateViewport(rmDevice, camera, 0, 0, 640, 480, nullptr), D3DRMERR_BADVALUE);
    EXPECT_TRUE(d3d.viewports.empty());
    EXPECT_EQ(LiveObject::Count(), 4);
}

TEST_F(Viewports, ImmediateModeFailuresComeBackAndLeaveNothingBehind) {
    IDirect3DRMViewport* viewport = nullptr;
    d3d.createViewportResult = E_OUTOFMEMORY;
    EXPECT_EQ(rm->CreateViewport(rmDevice, camera, 0, 0, 640, 480, &viewport), E_OUTOFMEMORY);
    EXPECT_EQ(viewport, nullptr);

    d3d.createViewportResult = S_OK;
    d3d.setViewportResult = DDERR_INVALIDPARAMS;
    EXPECT_EQ(rm->CreateViewport(rmDevice, camera, 0, 0, 640, 480, &viewport), DDERR_INVALIDPARAMS);
    EXPECT_EQ(viewport, nullptr);

    d3d.setViewportResult = S_OK;
    device.addViewportResult = E_INVALIDARG;
    EXPECT_EQ(rm->CreateViewport(rmDevice, camera, 0, 0, 640, 480, &viewport), E_INVALIDARG);
    EXPECT_EQ(viewport, nullptr);
    ASSERT_EQ(d3d.viewports.size(), 2u);
    EXPECT_EQ(d3d.viewports[0].references, 0u);
    EXPECT_EQ(d3d.viewports[1].references, 0u);
    EXPECT_TRUE(device.added.empty());
    EXPECT_EQ(LiveObject::Count(), 4);
}

// ForceUpdate marks, Update takes: what each Update brought up to date.
TEST_F(Viewports, UpdateBringsUpToDateWhatWasForcedSinceTheLastOne) {
    struct Force {
        DWORD x1, y1, x2, y2;
        HRESULT result;
    };
    struct Case {
        const char* what;
        std::vector<Force> forced;
        D3DRECT updated;
    };
    const std::vector<Case> cases = {
        {"nothing forced", {}, {}},
        {"the whole client area", {{0, 0, 640, 480, D3DRM_OK}}, kClientArea},
        {"regions unite",
         {{10, 20, 30, 40, D3DRM_OK}, {100, 5, 110, 25, D3DRM_OK}},
         {10, 5, 110, 40}},
        {"clipped to the viewport", {{600, 400, 900, 700, D3DRM_OK}}, {600, 400, 640, 480}},
        {"outside the viewport", {{700, 0, 800, 10, D3DRM_OK}}, {}},
        {"empty area", {{5, 5, 5, 50, D3DRM_OK}}, {}},
        {"reversed corners refused", {{30, 0, 10, 10, D3DRMERR_BADVALUE}}, {}},
        {"reversed rows refused", {{0, 30, 10, 10, D3DRMERR_BADVALUE}}, {}},
        {"corner past the coordinates refused", {{0, 0, 0x80000000u, 10, D3DRMERR_BADVALUE}}, {}},
        {"a refused area adds nothing",
         {{1, 2, 3, 4, D3DRM_OK}, {9, 9, 0, 0, D3DRMERR_BADVALUE}},
         {1, 2, 3, 4}},
    };
    IDirect3DRMViewport* viewport = NewViewport(rmDevice, camera, kClientArea);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const Force& f : c.forced)
            EXPECT_EQ(viewport->ForceUpdate(f.x1, f.y1, f.x2, f.y2), f.result);
        EXPECT_EQ(rmDevice->Update(), D3DRM_OK);
        EXPECT_EQ(Concrete(rmDevice).LastUpdate(), c.updated);
        // Once up to date, nothing is left for the next one.
        EXPECT_EQ(rmDevice->Update(), D3DRM_OK);
        EXPECT_EQ(Concrete(rmDevice).LastUpdate(), (D3DRECT{}));
    }
    viewport->Release();
}

TEST_F(Viewports, UpdateCoversEveryViewportOfTheDeviceAndOnlyThose) {
    IDirect3DRMViewport* left = NewViewport(rmDevice, camera, {0, 0, 320, 480});
    IDirect3DRMViewport* right = NewViewport(rmDevice, camera, {320, 0, 640, 480});
    IDirect3DRMDevice2* otherDevice = NewDevice();
    IDirect3DRMViewport* elsewhere = NewViewport(otherDevice, camera, kClientArea);

    EXPECT_EQ(left->ForceUpdate(0, 0, 10, 10), D3DRM_OK);
    EXPECT_EQ(right->ForceUpdate(600, 470, 640, 480), D3DRM_OK);
    EXPECT_EQ(elsewhere->ForceUpdate(0, 0, 640, 480), D3DRM_OK);
    EXPECT_EQ(rmDevice->Update(), D3DRM_OK);
    EXPECT_EQ(Concrete(rmDevice).LastUpdate(), kClientArea);

    // A viewport that went away is no longer the device's.
    EXPECT_EQ(right->ForceUpdate(320, 0, 330, 10), D3DRM_OK);
    right->Release();
    EXPECT_EQ(rmDevice->Update(), D3DRM_OK);
    EXPECT_EQ(Concrete(rmDevice).LastUpdate(), (D3DRECT{}));

    EXPECT_EQ(otherDevice->Update(), D3DRM_OK);
    EXPECT_EQ(Concrete(otherDevice).LastUpdate(), kClientArea);
    left->Release();
    elsewhere->Release();
    otherDevice->Release();
}

} // namespace
