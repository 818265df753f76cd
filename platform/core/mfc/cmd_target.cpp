// Message-map search and command routing.
#include <platform/afx.h>

namespace {

// The root of every map chain.
const AFX_MSGMAP_ENTRY kNoEntries[] = {{0, 0, 0, 0, nullptr}};
const AFX_MSGMAP kRootMap = {nullptr, kNoEntries};

} // namespace

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    return &kRootMap;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const {
    for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
         map = map->pfnGetBaseMap != nullptr ? map->pfnGetBaseMap() : nullptr)
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->pfnInvoke != nullptr; ++entry) {
            if (entry->nMessage != nMessage)
                continue;
            if (nMessage != WM_COMMAND ||
                (entry->nCode == nCode && nID >= entry->nID && nID <= entry->nLastID))
                return entry;
        }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode) {
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(WM_COMMAND, static_cast<UINT>(nCode), nID);
    if (entry == nullptr)
        return FALSE;
    entry->pfnInvoke(this, 0, 0);
    return TRUE;
}
