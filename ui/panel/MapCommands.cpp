#include "MapCommands.h"

#include "ClearMapDlg.h"
#include "MainDoc.h"
#include "MapInfo.h"
#include "MapInfoDlg.h"
#include "MapSize.h"
#include "MiniMapDlg.h"
#include "ProjectDlg.h"
#include "ResizeMapDlg.h"

bool RunNewMap(CMainDoc& doc, CDocObserver* panel, QWidget* parent) {
    CClearMapDlg dlg(parent);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    ClearMapPlanes(doc);
    doc.UpdateAllViews(panel);
    return true;
}

bool RunResizeMap(CMainDoc& doc, CDocObserver* panel, QWidget* parent) {
    CResizeMapDlg dlg(parent);
    dlg.m_nSizeX = doc.m_map.m_nSizeX;
    dlg.m_nSizeY = doc.m_map.m_nSizeY;
    dlg.ShowFields();
    const bool ok = dlg.exec() == QDialog::Accepted;
    if (ok && (dlg.m_nSizeX != doc.m_map.m_nSizeX || dlg.m_nSizeY != doc.m_map.m_nSizeY)) {
        doc.SaveUndo("Resize Map");
        ApplyMapSize(doc, dlg.m_nSizeX, dlg.m_nSizeY);
        doc.EndStep();
    }
    // Cancel too: the mini map is refitted to the current size and the map redrawn.
    doc.RefitOverview();
    doc.RedrawAll();
    doc.UpdateAllViews(panel);
    return ok;
}

void RunProjectSettings(QWidget* parent) {
    CProjectDlg dlg(parent);
    dlg.exec();
}

void RunMapInfo(CMainDoc& doc, QWidget* parent) {
    CMapInfoDlg dlg(parent);
    dlg.ShowReport(BuildMapInfoReport(doc, ReadMemoryStatus()));
    dlg.exec();
}

void SetMiniMap(CMainDoc& doc, bool on, QWidget* panel, QPointer<CMiniMapDlg>& slot,
                std::function<void()> userClosed) {
    // A window on its way out (closed, not yet deleted) counts as gone.
    if (slot && !slot->IsAttached())
        slot = nullptr;
    if (!on) {
        if (slot)
            slot->CloseQuietly();
        slot = nullptr;
        return;
    }
    if (slot) {
        slot->SetUserClosed(std::move(userClosed));
        slot->show();
        slot->raise();
        slot->activateWindow();
        return;
    }
    slot = new CMiniMapDlg(&doc, panel, std::move(userClosed));
    slot->show();
}
