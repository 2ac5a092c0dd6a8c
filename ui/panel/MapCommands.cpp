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
    dlg.m_nSizeX = doc.m_nSizeX;
    dlg.m_nSizeY = doc.m_nSizeY;
    dlg.ShowFields();
    const bool ok = dlg.exec() == QDialog::Accepted;
    if (ok)
        ApplyMapSize(doc, dlg.m_nSizeX, dlg.m_nSizeY);
    // Cancel too: the mini map is refitted to the current size and the map redrawn.
    doc.RefreshMiniMap();
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

void SetMiniMap(CMainDoc& doc, bool on, QWidget* panel, std::function<void()> userClosed) {
    if (!on) {
        doc.CloseMiniMap();
        return;
    }
    if (doc.IsMiniMapOpen()) {
        if (auto* open = dynamic_cast<CMiniMapDlg*>(doc.m_pMiniMap)) {
            open->SetUserClosed(std::move(userClosed));
            open->show();
            open->raise();
            open->activateWindow();
        }
        return;
    }
    auto* dlg = new CMiniMapDlg(&doc, panel, std::move(userClosed));
    doc.m_pMiniMap = dlg;
    dlg->SetPictureSize(doc.m_nSizeX, doc.m_nSizeY);
    dlg->BuildPicture();
    dlg->show();
    // The map view's next full redraw fills the black picture.
    doc.RedrawAll();
    doc.UpdateAllViews(dynamic_cast<CDocObserver*>(panel));
}
