// Tests of the retained-mode objects, linked straight in. Every test must
// give back all it made: the fixture checks that no object of the runtime
// is left and that the Immediate Mode fakes hold only the test's own
// references.
#pragma once

#include "d3drm/device.h"
#include "d3drm/direct3drm.h"
#include "d3drm/frame.h"
#include "d3drm/viewport.h"
#include "fakes.h"

#include <gtest/gtest.h>

class RetainedMode : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(zv::d3drm::LiveObject::Count(), 0);
        rm = new zv::d3drm::Direct3DRM;
    }

    void TearDown() override {
        EXPECT_EQ(rm->Release(), 0u);
        EXPECT_EQ(zv::d3drm::LiveObject::Count(), 0);
        EXPECT_EQ(d3d.references, 1u);
        EXPECT_EQ(device.references, 1u);
        EXPECT_TRUE(device.added.empty());
        for (const FakeImmediateViewport& viewport : d3d.viewports)
            EXPECT_EQ(viewport.references, 0u);
    }

    IDirect3DRMFrame2* NewFrame(IDirect3DRMFrame* parent = nullptr) {
        IDirect3DRMFrame2* frame = nullptr;
        EXPECT_EQ(rm->CreateFrame(parent, &frame), D3DRM_OK);
        return frame;
    }

    IDirect3DRMDevice2* NewDevice() {
        IDirect3DRMDevice2* created = nullptr;
        EXPECT_EQ(rm->CreateDeviceFromD3D(&d3d, &device, &created), D3DRM_OK);
        return created;
    }

    IDirect3DRMViewport* NewViewport(IDirect3DRMDevice2* on, IDirect3DRMFrame2* camera,
                                     const D3DRECT& rect) {
        IDirect3DRMViewport* viewport = nullptr;
        EXPECT_EQ(rm->CreateViewport(on, camera, rect.x1, rect.y1, rect.x2 - rect.x1,
                                     rect.y2 - rect.y1, &viewport),
                  D3DRM_OK);
        return viewport;
    }

    static zv::d3drm::Device& Concrete(IDirect3DRMDevice2* device) {
        return *zv::d3drm::Device::From(device);
    }

    zv::d3drm::Direct3DRM* rm = nullptr;
    FakeDirect3D d3d;
    FakeImmediateDevice device;
};

inline bool operator==(const D3DRECT& a, const D3DRECT& b) {
    return a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2;
}

inline std::ostream& operator<<(std::ostream& out, const D3DRECT& r) {
    return out << "(" << r.x1 << ", " << r.y1 << ")-(" << r.x2 << ", " << r.y2 << ")";
}

inline bool operator==(const D3DVECTOR& a, const D3DVECTOR& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

inline std::ostream& operator<<(std::ostream& out, const D3DVECTOR& v) {
    return out << "(" << v.x << ", " << v.y << ", " << v.z << ")";
}
