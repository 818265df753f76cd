// The main window: a modeless dialog whose client area shows the rippling
// picture. It owns the simulation and everything drawn with it.
#pragma once

#include "resource.h"

#include <gfx/BitmapTexture.h>
#include <platform/afx.h>
#include <platform/d3d.h>
#include <platform/d3drm.h>
#include <sim/DisplacementField.h>

class CSurfaceDlg : public CDialog {
public:
    explicit CSurfaceDlg(CWnd* pParent = nullptr);
    ~CSurfaceDlg() override;

    enum { IDD = IDD_SURFACE_DIALOG };

    // One idle tick: while this window holds the keyboard focus, pokes the
    // surface if the space bar is down and draws one frame.
    void OnFrameTick();
    // Builds the graphics when asked to, then draws and presents one frame.
    void RenderFrame();

protected:
    // Set by initialisation and every real resize; cleared by the set-up.
    int m_bNeedSetup;
    // Client size from the last size notification that had an area.
    int m_cx;
    int m_cy;
    DisplacementField m_field;
    BitmapTexture m_texture;
    IDirect3DRMFrame2* m_pScene;
    IDirect3DRMFrame2* m_pCamera;
    D3DMATERIAL m_bgMaterial;
    D3DMATERIALHANDLE m_hBgMaterial;
    IDirect3DMaterial2* m_pBgMaterial;
    HICON m_hIcon;

    void DoDataExchange(CDataExchange* pDX) override;
    void PostNcDestroy() override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg void OnClose();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnDestroy();
    afx_msg void OnMove(int x, int y);

    DECLARE_MESSAGE_MAP()

private:
    // Gives back the frames and the background material of the last set-up.
    void ReleaseSceneObjects();
};
