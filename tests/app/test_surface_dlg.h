// The main window with its state and handlers open to the tests, and what
// the tests compare its simulation with.
#pragma once

#include <SurfaceApp.h>
#include <SurfaceDlg.h>

#include <sim/DisplacementField.h>

#include <cstring>

class CTestSurfaceDlg : public CSurfaceDlg {
public:
    using CSurfaceDlg::CSurfaceDlg;
    ~CTestSurfaceDlg() override {
        if (m_pDeleted != nullptr)
            *m_pDeleted = true;
    }

    using CSurfaceDlg::m_bgMaterial;
    using CSurfaceDlg::m_bNeedSetup;
    using CSurfaceDlg::m_cx;
    using CSurfaceDlg::m_cy;
    using CSurfaceDlg::m_field;
    using CSurfaceDlg::m_hBgMaterial;
    using CSurfaceDlg::m_hIcon;
    using CSurfaceDlg::m_pBgMaterial;
    using CSurfaceDlg::m_pCamera;
    using CSurfaceDlg::m_pScene;
    using CSurfaceDlg::m_texture;

    using CSurfaceDlg::OnDestroy;
    using CSurfaceDlg::OnInitDialog;
    using CSurfaceDlg::OnSize;

    // Set to true when the object is deleted.
    bool* m_pDeleted = nullptr;
};

inline bool SameField(const DisplacementField& a, const DisplacementField& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The field after the poke (when asked) and the one step of a drawn frame.
inline DisplacementField NextFrameField(DisplacementField field, bool poked) {
    if (poked)
        PokeCentre(field);
    StepFields(field);
    return field;
}
