// The body of the main loop: the graphics set-up when the window asks for
// one, then one frame of the warped picture.
#include "SurfaceDlg.h"

#include <gfx/hxp.h>
#include <sim/WarpedGridMesh.h>

#include <cstdlib>

namespace {

struct RenderStateSetting {
    D3DRENDERSTATETYPE state;
    DWORD value;
};

// Set again on every frame: the retained-mode device draws with the same
// device between our scenes, so no state is trusted to last.
constexpr RenderStateSetting kFrameRenderStates[] = {
    {D3DRENDERSTATE_CULLMODE, D3DCULL_NONE},
    {D3DRENDERSTATE_ZWRITEENABLE, TRUE},
    {D3DRENDERSTATE_ZFUNC, D3DCMP_LESSEQUAL},
    {D3DRENDERSTATE_BLENDENABLE, TRUE},
    {D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA},
    {D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA},
    {D3DRENDERSTATE_SHADEMODE, D3DSHADE_GOURAUD},
};

// The viewport's background: opaque white, without a texture.
void FillBackgroundMaterial(D3DMATERIAL& material) {
    material = D3DMATERIAL{};
    material.dwSize = sizeof(D3DMATERIAL);
    material.diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    material.ambient = {0.0f, 0.0f, 0.0f, 0.0f};
    material.specular = {0.0f, 0.0f, 0.0f, 0.0f};
    material.emissive = {0.0f, 0.0f, 0.0f, 0.0f};
    material.power = 0.0f;
    material.hTexture = 0;
    material.dwRampSize = 16;
}

} // namespace

void CSurfaceDlg::RenderFrame() {
    if (m_bNeedSetup) {
        // The set-up replaces these; nothing uses the old ones afterwards.
        ReleaseSceneObjects();

        if (!HXPInitialize() || !HXPSetPreferRgb(1) || !CreateDirectDrawWin(m_hWnd) ||
            !CreateD3DRM()) {
            AfxMessageBox("DirectXの初期化に失敗しました", MB_OK, 0);
            // Destruction deletes this object: touch nothing of it afterwards.
            DestroyWindow();
            std::exit(1);
        }

        g_hxp.d3drm->CreateFrame(nullptr, &m_pScene);
        g_hxp.d3drm->CreateFrame(m_pScene, &m_pCamera);
        m_pCamera->SetPosition(m_pScene, 0.0f, 0.0f, 0.0f);
        HXPViewport(m_pCamera);
        HXPSetRenderEnabled(1);
        m_bNeedSetup = 0;

        LoadBitmapTexture(&m_texture, g_hxp.device, "Can1.bmp");

        g_hxp.d3d->CreateMaterial(&m_pBgMaterial, nullptr);
        FillBackgroundMaterial(m_bgMaterial);
        m_pBgMaterial->SetMaterial(&m_bgMaterial);
        m_pBgMaterial->GetHandle(g_hxp.device, &m_hBgMaterial);

        // A resize handled meanwhile (in a message box's loop) has made all
        // of this stale: the next call builds it again.
        if (m_bNeedSetup)
            return;
    }

    LPDIRECT3DVIEWPORT pViewport = nullptr;
    LPDIRECT3DVIEWPORT2 pViewport2 = nullptr;
    // The retained-mode viewport keeps its own reference to pViewport.
    g_hxp.rmViewport->GetDirect3DViewport(&pViewport);
    pViewport->QueryInterface(IID_IDirect3DViewport2, reinterpret_cast<void**>(&pViewport2));

    pViewport2->SetBackground(m_hBgMaterial);
    g_hxp.rmViewport->Clear();
    g_hxp.device->SetCurrentViewport(pViewport2);
    for (const RenderStateSetting& setting : kFrameRenderStates)
        g_hxp.device->SetRenderState(setting.state, setting.value);

    g_hxp.device->BeginScene();
    StepFields(m_field);
    g_hxp.device->SetLightState(D3DLIGHTSTATE_MATERIAL, m_texture.materialHandle);
    g_hxp.device->SetRenderState(D3DRENDERSTATE_TEXTUREHANDLE, m_texture.textureHandle);
    WarpedGridMesh(m_field, [](GridVertex* quad) {
        g_hxp.device->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DVT_TLVERTEX, quad, kMeshVerticesPerQuad,
                                    0);
    });
    // The retained-mode device draws with the same device after us.
    g_hxp.device->SetLightState(D3DLIGHTSTATE_MATERIAL, 0);
    g_hxp.device->SetRenderState(D3DRENDERSTATE_TEXTUREHANDLE, 0);
    g_hxp.device->EndScene();

    g_hxp.rmViewport->ForceUpdate(0, 0, static_cast<DWORD>(m_cx), static_cast<DWORD>(m_cy));
    pViewport2->Release();
    HXPRestoreSurfaces();
    g_hxp.rmDevice->Update();
    HXPPresent();
}
