#pragma once

#include "Commands.h"
#include "FileCommands.h"
#include "GradientDlg.h"
#include "MainDoc.h"
#include "MiniMapDlg.h"
#include "PanelState.h"
#include "T3dExport.h"

#include <QPointer>
#include <QWidget>

#include <vector>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSlider;
class QTreeWidget;
class QTreeWidgetItem;

// The tool panel: the left pane of a map window. Its controls choose how the map is shown and
// how the mouse edits it; the rules behind them live in PanelState, and the panel shows that
// state after every change. It is the command target of its window for the window's whole
// life, so it hosts the handlers of the map-level commands.
class CInputView : public QWidget, public CCommandTarget, public CDocObserver {
    Q_OBJECT

public:
    explicit CInputView(CMainDoc* doc, QWidget* parent = nullptr);
    ~CInputView() override;

    CMainDoc* GetDocument() const { return m_pDoc; }
    const PanelState& State() const { return m_state; }

    bool HandlesCommand(CommandId id) const override;
    void OnCommand(CommandId id) override;

    // Another view changed the document: the one-time setup if it is still due, then the
    // controls are brought up to date.
    void OnDocUpdate(CDocObserver* sender, int hint) override;

    // Shows the panel's state in every control.
    void RefreshControls();

    // The controls, top to bottom.
    struct Controls {
        QAbstractButton* zoom[kZoomButtons] = {};
        QComboBox* viewScale = nullptr;
        QAbstractButton* gouraud = nullptr;
        QAbstractButton* grid = nullptr;
        QAbstractButton* scaleMarker = nullptr;
        QAbstractButton* miniMap = nullptr;
        QSlider* shade = nullptr;
        QAbstractButton* mode[kEditModes] = {};
        QPushButton* saveBrush = nullptr;
        QPushButton* loadBrush = nullptr;
        QListWidget* status = nullptr;
        QCheckBox* gradiatedDraw = nullptr;
        QCheckBox* autoRandomize = nullptr;
        QCheckBox* spray = nullptr;
        QLabel* heightScaleLabel = nullptr;
        QComboBox* heightScale = nullptr;
        QAbstractButton* style[kDrawStyles] = {};
        QLabel* penLabel = nullptr;
        QComboBox* pen = nullptr;
        QComboBox* fill = nullptr;
        QCheckBox* offsetHeight = nullptr;
        QTreeWidget* tree = nullptr;
        QPushButton* resizeMap = nullptr;
        QPushButton* mapInfo = nullptr;
        QPushButton* undo = nullptr;
    };
    const Controls& Ctl() const { return m_ctl; }
    CGradientDlg* GradientDlg() const { return m_pGradientDlg; }
    CMiniMapDlg* MiniMap() const { return m_pMiniMap; }
    const T3dChoices& T3dExportChoices() const { return m_t3d; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* BuildForm();
    QWidget* BuildViewGroup(QWidget* form);
    QWidget* BuildEditModeGroup(QWidget* form);
    void ConnectControls();
    void YieldMenuMnemonics();

    void OnEditModeClicked(int mode);
    void OnStyleClicked(int style);
    void OnMiniMapClicked();
    void OnTreeItemChanged(QTreeWidgetItem* current);
    void RebuildTreeItems();

    CMainDoc* m_pDoc;
    PanelState m_state;
    // The file dialog settings shared by every file command of this map window.
    FileDialogRecord m_ofn;
    T3dChoices m_t3d; // the last accepted T3D export choices
    Controls m_ctl;
    QButtonGroup* m_pZoomGroup = nullptr;
    QButtonGroup* m_pModeGroup = nullptr;
    QButtonGroup* m_pStyleGroup = nullptr;
    std::vector<QTreeWidgetItem*> m_treeItems; // by tree item id
    int m_nTreeGeneration = -1;
    // The panel's two modeless windows; each goes when the user closes it.
    QPointer<CGradientDlg> m_pGradientDlg;
    QPointer<CMiniMapDlg> m_pMiniMap;
};
