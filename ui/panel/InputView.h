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

#include <functional>
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
    bool CommandEnabled(CommandId id) const override;
    QString CommandText(CommandId id) const override;

    // Another view changed the document: the one-time setup if it is still due, then the
    // controls are brought up to date.
    void OnDocUpdate(CDocObserver* sender, int hint) override;

    // Shows the panel's state in every control.
    void RefreshControls();

    // Asked before Load Map replaces the map: true when it may go (saved, discarded or
    // unmodified). The map window sets it; without it the map is replaced.
    void SetConfirmReplace(std::function<bool()> confirm) { m_confirmReplace = std::move(confirm); }

    // Loads the map file `path` as Load Map does after its dialog; the next file dialog starts
    // in the map's folder. Returns true when the map was loaded.
    bool OpenMapFile(const QString& path);

    // The map view's keyboard: `navigate` takes the keys the panel's controls leave (arrows,
    // pages, Home) and returns whether it used them; `zoomBy` zooms by steps around the mouse.
    void SetMapKeys(std::function<bool(int key, Qt::KeyboardModifiers)> navigate,
                    std::function<void(int steps)> zoomBy) {
        m_navigate = std::move(navigate);
        m_zoomBy = std::move(zoomBy);
    }

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
        QLabel* tilePreview = nullptr;
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
    void keyPressEvent(QKeyEvent* event) override;

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
    void ShowTilePreview();

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
    std::function<bool()> m_confirmReplace;
    static constexpr int kTilePreviewSize = 64;
    int m_nPreviewTile = -1; // what the preview shows now
    int m_nPreviewOrientation = -1;
    int m_nPreviewGeneration = -1;
    std::function<bool(int, Qt::KeyboardModifiers)> m_navigate;
    std::function<void(int)> m_zoomBy;
};
