// A main window object without a window of its own, brought to the state its
// creation leaves it in (the first size notification, then OnInitDialog),
// over the recorded graphics layer.
#pragma once

#include "recording_graphics.h"
#include "test_surface_dlg.h"

#include <platform/testing.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// The client size of template 102 in the template's font.
inline constexpr int kClientWidth = 420;
inline constexpr int kClientHeight = 418;

class SurfaceDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        recorder.Reset();
        dlg = std::make_unique<CTestSurfaceDlg>();
        dlg->OnSize(SIZE_RESTORED, kClientWidth, kClientHeight);
        dlg->OnInitDialog();
        seeded = dlg->m_field;
        recorder.log.Clear();
    }

    void TearDown() override {
        theApp.m_pFrameWnd = nullptr;
        dlg.reset();
    }

    std::vector<std::string> Calls() const { return recorder.log.Entries(); }

    apptest::Recorder& recorder = apptest::TheRecorder();
    // No real box ever opens.
    zv::testing::MessageBoxRecorder boxes;
    std::unique_ptr<CTestSurfaceDlg> dlg;
    DisplacementField seeded;
};

// The twelve set-up steps as the recorded layer logs them, for the given
// window name and the numbers of the objects they make.
inline std::vector<std::string> SetupCalls(const std::string& window, int firstFrame, int material,
                                           const std::string& materialHandle) {
    std::string scene = "frame" + std::to_string(firstFrame);
    std::string camera = "frame" + std::to_string(firstFrame + 1);
    std::string bg = "material" + std::to_string(material);
    return {
        "HXPInitialize",
        "HXPSetPreferRgb(1)",
        "CreateDirectDrawWin(" + window + ")",
        "CreateD3DRM",
        "d3drm->CreateFrame(null) = " + scene,
        "d3drm->CreateFrame(" + scene + ") = " + camera,
        camera + "->SetPosition(" + scene + ", 0, 0, 0)",
        "HXPViewport(" + camera + ")",
        "HXPSetRenderEnabled(1)",
        "LoadBitmapTexture(device, Can1.bmp)",
        "d3d->CreateMaterial(null) = " + bg,
        bg + "->SetMaterial",
        bg + "->GetHandle(device) = " + materialHandle,
    };
}

// The eighteen frame steps, the 2,401 quads as one entry.
inline std::vector<std::string> FrameCalls(const std::string& bgHandle, int cx, int cy) {
    return {
        "rmViewport->GetDirect3DViewport = viewport",
        "viewport->QueryInterface(IID_IDirect3DViewport2)",
        "viewport->SetBackground(" + bgHandle + ")",
        "rmViewport->Clear",
        "device->SetCurrentViewport(viewport)",
        "device->SetRenderState(22, 0x1)",
        "device->SetRenderState(14, 0x1)",
        "device->SetRenderState(23, 0x4)",
        "device->SetRenderState(27, 0x1)",
        "device->SetRenderState(19, 0x5)",
        "device->SetRenderState(20, 0x6)",
        "device->SetRenderState(9, 0x2)",
        "device->BeginScene",
        "device->SetLightState(1, 0x72)",
        "device->SetRenderState(1, 0x71)",
        "device->DrawPrimitive(6, 3, 4, 0x0) x2401",
        "device->SetLightState(1, 0x0)",
        "device->SetRenderState(1, 0x0)",
        "device->EndScene",
        "rmViewport->ForceUpdate(0, 0, " + std::to_string(cx) + ", " + std::to_string(cy) + ")",
        "viewport->Release",
        "HXPRestoreSurfaces",
        "rmDevice->Update",
        "HXPPresent",
    };
}

inline std::vector<std::string> Joined(std::vector<std::string> a,
                                       const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
