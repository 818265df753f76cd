// The "d3drm.dll" module as the program reaches it: loaded by name, every
// object made through its entry point, used the way a set-up and a frame
// use it, then released down to nothing.
#include "fakes.h"

#include <platform/d3drm.h>
#include <platform/kernel.h>

#include <gtest/gtest.h>

namespace {

class RetainedModeModule : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryA("d3drm.dll");
        ASSERT_NE(module, nullptr);
        create = reinterpret_cast<decltype(&Direct3DRMCreate)>(
            GetProcAddress(module, "Direct3DRMCreate"));
        ASSERT_NE(create, nullptr);
    }
    void TearDown() override { FreeLibrary(module); }

    HMODULE module = nullptr;
    decltype(&Direct3DRMCreate) create = nullptr;
};

TEST_F(RetainedModeModule, ServesASetUpAndFramesAndFreesEverything) {
    FakeDirect3D d3d;
    FakeImmediateDevice device;

    IDirect3DRM* base = nullptr;
    ASSERT_EQ(create(&base), D3DRM_OK);
    IDirect3DRM2* rm = nullptr;
    ASSERT_EQ(base->QueryInterface(IID_IDirect3DRM2, reinterpret_cast<void**>(&rm)), S_OK);
    EXPECT_EQ(base->Release(), 1u);

    IDirect3DRMFrame2* scene = nullptr;
    IDirect3DRMFrame2* camera = nullptr;
    ASSERT_EQ(rm->CreateFrame(nullptr, &scene), D3DRM_OK);
    ASSERT_EQ(rm->CreateFrame(scene, &camera), D3DRM_OK);
    EXPECT_EQ(camera->SetPosition(scene, 0.0f, 0.0f, 0.0f), D3DRM_OK);

    IDirect3DRMDevice2* rmDevice = nullptr;
    ASSERT_EQ(rm->CreateDeviceFromD3D(&d3d, &device, &rmDevice), D3DRM_OK);
    EXPECT_EQ(rmDevice->SetBufferCount(2), D3DRM_OK);
    EXPECT_EQ(rmDevice->SetShades(16), D3DRM_OK);
    EXPECT_EQ(rm->SetDefaultTextureColors(16), D3DRM_OK);
    EXPECT_EQ(rm->SetDefaultTextureShades(16), D3DRM_OK);
    EXPECT_EQ(rmDevice->SetTextureQuality(D3DRMTEXTURE_LINEAR), D3DRM_OK);
    EXPECT_EQ(rmDevice->SetQuality(D3DRMRENDER_GOURAUD), D3DRM_OK);
    EXPECT_EQ(rmDevice->SetDither(TRUE), D3DRM_OK);

    IDirect3DRMViewport* viewport = nullptr;
    ASSERT_EQ(rm->CreateViewport(rmDevice, camera, 0, 0, 640, 480, &viewport), D3DRM_OK);
    EXPECT_EQ(viewport->SetBack(5000.0f), D3DRM_OK);
    ASSERT_EQ(d3d.viewports.size(), 1u);
    FakeImmediateViewport& immediate = d3d.viewports[0];

    for (int frame = 0; frame < 2; ++frame) {
        IDirect3DViewport* lent = nullptr;
        ASSERT_EQ(viewport->GetDirect3DViewport(&lent), D3DRM_OK);
        IDirect3DViewport2* current = nullptr;
        ASSERT_EQ(lent->QueryInterface(IID_IDirect3DViewport2, reinterpret_cast<void**>(&current)),
                  S_OK);
        EXPECT_EQ(viewport->Clear(), D3DRM_OK);
        EXPECT_EQ(viewport->ForceUpdate(0, 0, 640, 480), D3DRM_OK);
        current->Release();
        EXPECT_EQ(rmDevice->Update(), D3DRM_OK);
    }
    ASSERT_EQ(immediate.clears.size(), 2u);
    EXPECT_EQ(immediate.clears[1].flags, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER);
    ASSERT_EQ(immediate.clears[1].rects.size(), 1u);
    EXPECT_EQ(immediate.clears[1].rects[0].x2, 640);
    EXPECT_EQ(immediate.clears[1].rects[0].y2, 480);

    // The graphics layer's release order, then the frames.
    EXPECT_EQ(viewport->Release(), 0u);
    EXPECT_EQ(rmDevice->Release(), 0u);
    EXPECT_EQ(rm->Release(), 0u);
    EXPECT_EQ(camera->Release(), 1u);
    EXPECT_EQ(scene->Release(), 0u);
    EXPECT_EQ(d3d.references, 1u);
    EXPECT_EQ(device.references, 1u);
    EXPECT_EQ(immediate.references, 0u);
    EXPECT_TRUE(device.added.empty());
}

TEST_F(RetainedModeModule, TellsOtherRuntimesObjectsFromItsOwn) {
    IDirect3DRM* base = nullptr;
    ASSERT_EQ(create(&base), D3DRM_OK);
    IDirect3DRM2* rm = nullptr;
    ASSERT_EQ(base->QueryInterface(IID_IDirect3DRM2, reinterpret_cast<void**>(&rm)), S_OK);
    base->Release();

    ForeignFrame foreign;
    IDirect3DRMFrame2* frame = nullptr;
    EXPECT_EQ(rm->CreateFrame(&foreign, &frame), D3DRMERR_BADOBJECT);
    ASSERT_EQ(rm->CreateFrame(nullptr, &frame), D3DRM_OK);
    IDirect3DRMFrame2* child = nullptr;
    EXPECT_EQ(rm->CreateFrame(frame, &child), D3DRM_OK);
    child->Release();
    frame->Release();
    EXPECT_EQ(rm->Release(), 0u);
    EXPECT_EQ(create(nullptr), D3DRMERR_BADVALUE);
}

} // namespace
