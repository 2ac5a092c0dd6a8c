#include "InputView.h"

#include "BrushCommands.h"
#include "BrushStrip.h"
#include "CustomPenDlg.h"
#include "ExportCommands.h"
#include "FormFields.h"
#include "GradientDlg.h"
#include "HeightmapCommands.h"
#include "MapCommands.h"
#include "MiniMapDlg.h"
#include "Pens.h"
#include "TileTools.h"
#include "ToolCodes.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSlider>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QString Text(const char* s) {
    return QString::fromLatin1(s);
}

// A push button only as wide as its caption needs, and short, so that the form stays narrow.
QPushButton* Compact(QPushButton* b) {
    const QFontMetrics fm(b->font());
    // The caption as shown: a single '&' marks the mnemonic, "&&" shows one '&'.
    QString caption = b->text();
    caption.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    b->setMinimumWidth(fm.horizontalAdvance(caption) + 10);
    b->setFixedHeight(fm.height() + 7);
    b->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    return b;
}

QPushButton* PushLike(const QString& text, QWidget* parent) {
    auto* b = Compact(new QPushButton(text, parent));
    b->setCheckable(true);
    b->setFocusPolicy(Qt::TabFocus);
    return b;
}

// Keeps the control's place in the layout while it is hidden, so that the controls below do
// not move when the mode or style changes.
template <class W> W* Steady(W* w) {
    QSizePolicy p = w->sizePolicy();
    p.setRetainSizeWhenHidden(true);
    w->setSizePolicy(p);
    return w;
}

QComboBox* DropDown(const QStringList& rows, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->addItems(rows);
    // The closed list may be narrower than its rows; the open list shows them whole.
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(3);
    combo->view()->setMinimumWidth(combo->view()->sizeHintForColumn(0) + 24);
    return combo;
}

int ZoomIndex(CommandId id) {
    switch (id) {
    case CommandId::Zoom1:
        return 0;
    case CommandId::Zoom2:
        return 1;
    case CommandId::Zoom4:
        return 2;
    case CommandId::Zoom8:
        return 3;
    case CommandId::Zoom16:
        return 4;
    case CommandId::Zoom32:
        return 5;
    default:
        return -1;
    }
}

} // namespace

CInputView::CInputView(CMainDoc* doc, QWidget* parent)
    : QWidget(parent), m_pDoc(doc), m_state(*doc, this) {
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);

    // A narrow face keeps the captions whole in a narrow pane.
    QFont face = font();
    face.setFamilies({QStringLiteral("Arial Narrow"), QStringLiteral("Liberation Sans Narrow"),
                      QStringLiteral("DejaVu Sans")});
    face.setStretch(QFont::Condensed);
    face.setPointSize(8);
    setFont(face);

    // The form scrolls when the pane is shorter or narrower than it.
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(BuildForm());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);

    ConnectControls();
    m_pDoc->AddObserver(this);
}

CInputView::~CInputView() {
    m_pDoc->RemoveObserver(this);
    // The tree may report a selection change while its items go; the panel is gone by then.
    m_ctl.tree->disconnect(this);
}

// ---- the form ----

QWidget* CInputView::BuildForm() {
    // Created inside the panel so that every control measures its caption in the panel's font.
    auto* form = new QWidget(this);
    auto* column = new QVBoxLayout(form);
    column->setContentsMargins(3, 3, 3, 3);
    column->setSpacing(2);
    column->addWidget(BuildViewGroup(form));
    column->addWidget(BuildEditModeGroup(form));

    auto* styles = new QGridLayout;
    styles->setSpacing(2);
    m_pStyleGroup = new QButtonGroup(form);
    for (int s = 0; s < kDrawStyles; ++s) {
        m_ctl.style[s] = PushLike(Text(kDrawStyleText[s]), form);
        m_pStyleGroup->addButton(m_ctl.style[s], s);
        styles->addWidget(m_ctl.style[s], s / 3, s % 3);
    }
    column->addLayout(styles);

    QStringList penRows;
    for (const PenRow& row : kPenTable)
        penRows << Text(row.text);
    QStringList fillRows;
    for (const char* row : kFillText)
        fillRows << Text(row);
    m_ctl.penLabel = new QLabel(form);
    m_ctl.penLabel->setMinimumWidth(m_ctl.penLabel->fontMetrics().horizontalAdvance("Fill") + 2);
    m_ctl.pen = Steady(DropDown(penRows, form));
    m_ctl.fill = Steady(DropDown(fillRows, form));
    auto* penRow = new QGridLayout;
    penRow->setSpacing(3);
    penRow->addWidget(m_ctl.penLabel, 0, 0);
    penRow->addWidget(m_ctl.pen, 0, 1);
    penRow->addWidget(m_ctl.fill, 0, 1);
    penRow->setColumnStretch(1, 1);
    column->addLayout(penRow);

    m_ctl.offsetHeight = Steady(new QCheckBox(QStringLiteral("Offset Height +(1,1)"), form));
    column->addWidget(m_ctl.offsetHeight);

    m_ctl.tree = new QTreeWidget(form);
    m_ctl.tree->setHeaderHidden(true);
    m_ctl.tree->setColumnCount(1);
    m_ctl.tree->setRootIsDecorated(true);
    m_ctl.tree->setMinimumHeight(90);
    column->addWidget(m_ctl.tree, 1);

    m_ctl.resizeMap = Compact(new QPushButton(QStringLiteral("Resize Map"), form));
    column->addWidget(m_ctl.resizeMap);
    auto* lastRow = new QHBoxLayout;
    lastRow->setSpacing(3);
    m_ctl.mapInfo = Compact(new QPushButton(QStringLiteral("Map Info"), form));
    m_ctl.undo = Compact(new QPushButton(QStringLiteral("Undo"), form));
    lastRow->addWidget(m_ctl.mapInfo, 5);
    lastRow->addWidget(m_ctl.undo, 4);
    column->addLayout(lastRow);
    return form;
}

QWidget* CInputView::BuildViewGroup(QWidget* form) {
    auto* group = new QGroupBox(QStringLiteral("View"), form);
    auto* row = new QHBoxLayout(group);
    row->setContentsMargins(3, 2, 2, 3);
    row->setSpacing(3);
    auto* left = new QVBoxLayout;
    left->setSpacing(2);
    row->addLayout(left, 1);

    left->addWidget(new QLabel(QStringLiteral("Zoom"), group));
    auto* zoomGrid = new QGridLayout;
    zoomGrid->setSpacing(1);
    m_pZoomGroup = new QButtonGroup(group);
    for (int k = 0; k < kZoomButtons; ++k) {
        m_ctl.zoom[k] = PushLike(QStringLiteral("x%1").arg(1 << k), group);
        m_pZoomGroup->addButton(m_ctl.zoom[k], k);
        zoomGrid->addWidget(m_ctl.zoom[k], k / 3, k % 3);
    }
    left->addLayout(zoomGrid);

    left->addWidget(new QLabel(QStringLiteral("Height View Scale"), group));
    QStringList scaleRows;
    for (const char* text : kViewScaleText)
        scaleRows << Text(text);
    m_ctl.viewScale = DropDown(scaleRows, group);
    left->addWidget(m_ctl.viewScale);

    m_ctl.gouraud = PushLike(QStringLiteral("Gouraud Shading"), group);
    m_ctl.grid = PushLike(QStringLiteral("Grid"), group);
    m_ctl.scaleMarker = PushLike(QStringLiteral("2' Scale Marker"), group);
    m_ctl.miniMap = PushLike(QStringLiteral("Mini Map"), group);
    for (QAbstractButton* b : {m_ctl.gouraud, m_ctl.grid, m_ctl.scaleMarker, m_ctl.miniMap})
        left->addWidget(b);

    // The shade base: 0 at the top.
    m_ctl.shade = new QSlider(Qt::Vertical, group);
    m_ctl.shade->setRange(0, 255);
    m_ctl.shade->setInvertedAppearance(true);
    m_ctl.shade->setInvertedControls(true);
    m_ctl.shade->setTickPosition(QSlider::NoTicks);
    row->addWidget(m_ctl.shade);
    return group;
}

QWidget* CInputView::BuildEditModeGroup(QWidget* form) {
    auto* group = new QGroupBox(QStringLiteral("Edit Mode"), form);
    auto* column = new QVBoxLayout(group);
    column->setContentsMargins(3, 2, 3, 3);
    column->setSpacing(2);

    m_pModeGroup = new QButtonGroup(group);
    for (int m = 0; m < kEditModes; ++m) {
        m_ctl.mode[m] = Steady(PushLike(Text(kEditModeTable[m].button), group));
        m_pModeGroup->addButton(m_ctl.mode[m], m);
    }
    // The height modes two by two; the brush modes, one per row, take their place.
    auto* heightGrid = new QGridLayout;
    heightGrid->setSpacing(1);
    heightGrid->addWidget(m_ctl.mode[0], 0, 0);
    heightGrid->addWidget(m_ctl.mode[1], 0, 1);
    heightGrid->addWidget(m_ctl.mode[2], 1, 0);
    heightGrid->addWidget(m_ctl.mode[3], 1, 1);
    heightGrid->addWidget(m_ctl.mode[8], 0, 0, 1, 2);
    heightGrid->addWidget(m_ctl.mode[7], 1, 0, 1, 2);
    heightGrid->addWidget(m_ctl.mode[9], 2, 0, 1, 2);
    column->addLayout(heightGrid);

    auto* line = new QFrame(group);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    column->addWidget(line);

    // The tile modes; "Save Brush" and "Load Brush" take the place of Tile and MultiTile.
    m_ctl.saveBrush = Steady(Compact(new QPushButton(QStringLiteral("Save Brush"), group)));
    m_ctl.loadBrush = Steady(Compact(new QPushButton(QStringLiteral("Load Brush"), group)));
    auto* tileGrid = new QGridLayout;
    tileGrid->setSpacing(1);
    tileGrid->addWidget(m_ctl.mode[4], 0, 0);
    tileGrid->addWidget(m_ctl.mode[5], 0, 1);
    tileGrid->addWidget(m_ctl.mode[6], 1, 0);
    tileGrid->addWidget(m_ctl.saveBrush, 0, 0);
    tileGrid->addWidget(m_ctl.loadBrush, 0, 1);
    column->addLayout(tileGrid);

    // The help lines of the mode: shown, not chosen.
    m_ctl.status = new QListWidget(group);
    // Help lines: ordinary text that cannot be selected or take the focus.
    m_ctl.status->setSelectionMode(QAbstractItemView::NoSelection);
    m_ctl.status->setFocusPolicy(Qt::NoFocus);
    m_ctl.status->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_ctl.status->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_ctl.status->setFixedHeight(kMaxStatusLines * m_ctl.status->fontMetrics().height() +
                                 2 * m_ctl.status->frameWidth() + 4);
    column->addWidget(m_ctl.status);

    // The Tile mode shows the tile that a left click draws.
    m_ctl.tilePreview = new QLabel(group);
    m_ctl.tilePreview->setFixedSize(kTilePreviewSize + 2, kTilePreviewSize + 2);
    m_ctl.tilePreview->setFrameShape(QFrame::Box);
    m_ctl.tilePreview->setAlignment(Qt::AlignCenter);
    m_ctl.tilePreview->setToolTip(QStringLiteral("The tile a left click draws"));
    column->addWidget(m_ctl.tilePreview, 0, Qt::AlignHCenter);

    m_ctl.gradiatedDraw = Steady(new QCheckBox(QStringLiteral("Gradiated Draw"), group));
    m_ctl.autoRandomize = Steady(new QCheckBox(QStringLiteral("Tile AutoRandomize"), group));
    auto* checkCell = new QGridLayout;
    checkCell->addWidget(m_ctl.gradiatedDraw, 0, 0);
    checkCell->addWidget(m_ctl.autoRandomize, 0, 0);
    column->addLayout(checkCell);
    m_ctl.spray = Steady(new QCheckBox(QStringLiteral("Spray"), group));
    column->addWidget(m_ctl.spray);

    auto* stepRow = new QHBoxLayout;
    stepRow->setSpacing(3);
    m_ctl.heightScaleLabel = new QLabel(group);
    m_ctl.heightScaleLabel->setMinimumWidth(
        m_ctl.heightScaleLabel->fontMetrics().horizontalAdvance("Height Scale") + 2);
    QStringList steps;
    for (int r = 1; r <= kHeightScaleRows; ++r)
        steps << QString::number(r);
    m_ctl.heightScale = Steady(DropDown(steps, group));
    stepRow->addWidget(m_ctl.heightScaleLabel);
    stepRow->addWidget(m_ctl.heightScale, 1);
    column->addLayout(stepRow);
    return group;
}

void CInputView::ConnectControls() {
    connect(m_pZoomGroup, &QButtonGroup::idClicked, this, [this](int k) {
        m_state.OnZoom(k);
        RefreshControls();
    });
    connect(m_ctl.viewScale, &QComboBox::activated, this, [this](int row) {
        m_state.OnViewScaleRow(row);
        RefreshControls();
    });
    connect(m_ctl.shade, &QSlider::valueChanged, this,
            [this](int position) { m_state.OnShadeBase(position); });
    auto onClick = [this](QAbstractButton* b, void (PanelState::*handler)()) {
        connect(b, &QAbstractButton::clicked, this, [this, handler] {
            (m_state.*handler)();
            RefreshControls();
        });
    };
    onClick(m_ctl.gouraud, &PanelState::OnGouraud);
    onClick(m_ctl.grid, &PanelState::OnGrid);
    onClick(m_ctl.scaleMarker, &PanelState::OnScaleMarker);
    onClick(m_ctl.gradiatedDraw, &PanelState::OnGradiatedDraw);
    onClick(m_ctl.autoRandomize, &PanelState::OnAutoRandomize);
    onClick(m_ctl.spray, &PanelState::OnSpray);
    onClick(m_ctl.offsetHeight, &PanelState::OnOffsetHeight);
    connect(m_ctl.miniMap, &QAbstractButton::clicked, this, &CInputView::OnMiniMapClicked);

    connect(m_pModeGroup, &QButtonGroup::idClicked, this, &CInputView::OnEditModeClicked);
    connect(m_pStyleGroup, &QButtonGroup::idClicked, this, &CInputView::OnStyleClicked);
    connect(m_ctl.heightScale, &QComboBox::activated, this, [this](int row) {
        m_state.OnHeightScaleRow(row);
        RefreshControls();
    });
    connect(m_ctl.pen, &QComboBox::activated, this, [this](int row) {
        m_state.OnPenRow(row);
        RefreshControls();
    });
    connect(m_ctl.fill, &QComboBox::activated, this, [this](int row) {
        m_state.OnFillRow(row);
        RefreshControls();
    });
    connect(m_ctl.tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { OnTreeItemChanged(current); });

    connect(m_ctl.saveBrush, &QPushButton::clicked, this,
            [this] { OnSaveBrush(*m_pDoc, m_ofn, this); });
    connect(m_ctl.loadBrush, &QPushButton::clicked, this, [this] {
        OnLoadBrush(*m_pDoc, m_ofn, this, this);
        RefreshControls();
    });
    connect(m_ctl.resizeMap, &QPushButton::clicked, this,
            [this] { OnCommand(CommandId::ResizeMap); });
    connect(m_ctl.mapInfo, &QPushButton::clicked, this, [this] { RunMapInfo(*m_pDoc, this); });
    connect(m_ctl.undo, &QPushButton::clicked, this, [this] { OnCommand(CommandId::Undo); });
}

// ---- the first update and the refresh ----

void CInputView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_state.m_bFirstUpdate) {
        YieldMenuMnemonics();
        m_state.FirstUpdate();
        RefreshControls();
    }
}

void CInputView::OnDocUpdate(CDocObserver*, int hint) {
    // The mini map's traffic with the map view changes nothing the panel shows.
    if (hint == hintOverviewDrawn || hint == hintJumpToCell)
        return;
    m_state.FirstUpdate();
    RefreshControls();
}

// A mode button's Alt+letter gives way to a menu of the window that uses the same letter, so
// that the menu stays reachable from the keyboard.
void CInputView::YieldMenuMnemonics() {
    const QMenuBar* bar = window()->findChild<QMenuBar*>();
    if (!bar)
        return;
    for (const QAction* menu : bar->actions()) {
        const QKeySequence key = QKeySequence::mnemonic(menu->text());
        if (key.isEmpty())
            continue;
        for (QAbstractButton* b : m_ctl.mode)
            if (b->shortcut() == key)
                b->setShortcut(QKeySequence());
    }
}

void CInputView::ShowTilePreview() {
    std::uint16_t tile = 0, orientation = 0;
    const bool shown = m_pDoc->m_tools.m_nTool == toolSingleTile &&
                       PreviewSelectedTile(*m_pDoc, tile, orientation);
    m_ctl.tilePreview->setVisible(shown);
    if (!shown || (tile == m_nPreviewTile && orientation == m_nPreviewOrientation &&
                   m_nPreviewGeneration == m_pDoc->m_tiles.m_nGeneration))
        return;
    m_nPreviewTile = tile;
    m_nPreviewOrientation = orientation;
    m_nPreviewGeneration = m_pDoc->m_tiles.m_nGeneration;
    const Picture& p = m_pDoc->m_tiles.m_hTileDib[tile];
    const QImage picture(reinterpret_cast<const uchar*>(p.pixels.data()), p.width, p.height,
                         p.width * 4, QImage::Format_RGB32);
    // Drawn as the map view draws the cell: mirrored left-right and/or upside down.
    const QImage turned = picture.mirrored((orientation & 0xFF) == 1, (orientation >> 8) == 1);
    m_ctl.tilePreview->setPixmap(QPixmap::fromImage(turned.scaled(
        kTilePreviewSize, kTilePreviewSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
}

void CInputView::RefreshControls() {
    const PanelState& s = m_state;
    const PanelVisibility& v = s.m_visible;
    const CMainDoc& doc = *m_pDoc;

    CheckOnly(m_pZoomGroup, s.m_nZoomIndex);
    {
        const QSignalBlocker block(m_ctl.viewScale);
        m_ctl.viewScale->setCurrentIndex(s.m_nViewScaleIndex);
    }
    ShowTilePreview();
    m_ctl.gouraud->setChecked(doc.m_view.m_bGouraud != 0);
    m_ctl.grid->setChecked(doc.m_view.m_bGrid != 0);
    m_ctl.scaleMarker->setChecked(doc.m_view.m_bScaleMarker != 0);
    m_ctl.miniMap->setChecked(s.m_bMiniMap != 0);
    {
        const QSignalBlocker block(m_ctl.shade);
        m_ctl.shade->setValue(doc.m_view.m_nShadeBase);
    }

    for (int m = 0; m < kEditModes; ++m)
        m_ctl.mode[m]->setVisible(v.modeButton[m]);
    CheckOnly(m_pModeGroup, s.m_nEditMode);
    if (!v.gradientWindow && m_pGradientDlg)
        m_pGradientDlg->close();
    m_ctl.saveBrush->setVisible(v.saveBrush);
    m_ctl.loadBrush->setVisible(v.loadBrush);
    // Offered only when they can act: a brush selected, a slot free.
    m_ctl.saveBrush->setEnabled(SelectedBrush(doc) >= 0);
    m_ctl.loadBrush->setEnabled(doc.m_nLastBrush < kMaxBrushes - 1);

    QStringList lines;
    for (const std::string& line : s.m_status)
        lines << QString::fromStdString(line);
    QStringList shown;
    for (int i = 0; i < m_ctl.status->count(); ++i)
        shown << m_ctl.status->item(i)->text();
    if (shown != lines) {
        m_ctl.status->clear();
        m_ctl.status->addItems(lines);
    }

    m_ctl.gradiatedDraw->setVisible(v.gradiatedDraw);
    m_ctl.gradiatedDraw->setChecked(doc.m_tools.m_bGradiatedDraw != 0);
    m_ctl.autoRandomize->setVisible(v.autoRandomize);
    m_ctl.autoRandomize->setChecked(doc.m_tools.m_bAutoRandomize != 0);
    m_ctl.spray->setVisible(v.spray);
    m_ctl.spray->setChecked(doc.m_tools.m_bSpray != 0);
    m_ctl.heightScaleLabel->setText(QString::fromStdString(s.m_strHeightScaleLabel));
    m_ctl.heightScale->setVisible(v.heightScaleList);
    {
        const QSignalBlocker block(m_ctl.heightScale);
        m_ctl.heightScale->setCurrentIndex(s.m_nHeightScaleIndex);
    }

    CheckOnly(m_pStyleGroup, s.m_nDrawStyle);
    m_ctl.penLabel->setText(QString::fromStdString(s.m_strPenLabel));
    m_ctl.pen->setVisible(v.penList);
    m_ctl.fill->setVisible(v.fillList);
    {
        const QSignalBlocker blockPen(m_ctl.pen);
        const QSignalBlocker blockFill(m_ctl.fill);
        m_ctl.pen->setCurrentIndex(s.m_nPenIndex); // -1 after a custom pen: no row
        m_ctl.fill->setCurrentIndex(s.m_nFillIndex);
    }
    m_ctl.offsetHeight->setVisible(v.offsetHeight);
    m_ctl.offsetHeight->setChecked(doc.m_tools.m_bOffsetHeight != 0);

    if (s.m_tree.Generation() != m_nTreeGeneration)
        RebuildTreeItems();
    const int selected = s.m_tree.Selected();
    QTreeWidgetItem* current =
        selected == TileTree::kNone ? nullptr : m_treeItems[static_cast<std::size_t>(selected)];
    if (m_ctl.tree->currentItem() != current) {
        const QSignalBlocker block(m_ctl.tree);
        m_ctl.tree->setCurrentItem(current);
    }
}

void CInputView::RebuildTreeItems() {
    const TileTree& tree = m_state.m_tree;
    const QSignalBlocker block(m_ctl.tree);
    m_ctl.tree->clear();
    m_treeItems.assign(static_cast<std::size_t>(tree.Count()), nullptr);
    auto add = [&](auto& self, int id, QTreeWidgetItem* parent) -> void {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_ctl.tree);
        item->setText(0, QString::fromStdString(tree.At(id).text));
        item->setData(0, Qt::UserRole, id);
        m_treeItems[static_cast<std::size_t>(id)] = item;
        for (int child : tree.At(id).children)
            self(self, child, item);
    };
    for (int id : tree.TopLevel())
        add(add, id, nullptr);
    m_nTreeGeneration = tree.Generation();
}

bool CInputView::CommandEnabled(CommandId id) const {
    if (id == CommandId::Undo)
        return m_pDoc->m_history.CanUndo();
    if (id == CommandId::Redo)
        return m_pDoc->m_history.CanRedo();
    return true;
}

QString CInputView::CommandText(CommandId id) const {
    // "Undo Raise Land", "Redo Flood Fill": the items say what they would do.
    if (id == CommandId::Undo && m_pDoc->m_history.CanUndo())
        return QStringLiteral("&Undo %1\tCtrl+Z")
            .arg(QString::fromStdString(m_pDoc->m_history.UndoLabel()));
    if (id == CommandId::Redo && m_pDoc->m_history.CanRedo())
        return QStringLiteral("&Redo %1\tCtrl+Y")
            .arg(QString::fromStdString(m_pDoc->m_history.RedoLabel()));
    return {};
}

void CInputView::keyPressEvent(QKeyEvent* event) {
    // Keys that no control of the panel used move the map view.
    if (m_navigate && m_navigate(event->key(), event->modifiers())) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

// ---- control handlers ----

void CInputView::OnEditModeClicked(int mode) {
    const bool openGradient = m_state.OnEditModeButton(mode);
    RefreshControls();
    if (openGradient)
        CGradientDlg::OpenFor(*m_pDoc, this, m_pGradientDlg);
}

void CInputView::OnStyleClicked(int style) {
    const bool editPen = m_state.OnStyleButton(style);
    RefreshControls();
    if (editPen && CCustomPenDlg::EditPen(*m_pDoc, this)) {
        m_state.OnCustomPenOk();
        RefreshControls();
    }
}

void CInputView::OnMiniMapClicked() {
    const bool on = m_state.OnMiniMap();
    RefreshControls();
    // The window is the panel's child, but the panel may still go first while it closes.
    QPointer<CInputView> self(this);
    SetMiniMap(*m_pDoc, on, this, m_pMiniMap, [self] {
        if (!self)
            return;
        self->m_state.OnMiniMapClosed();
        self->RefreshControls();
    });
}

void CInputView::OnTreeItemChanged(QTreeWidgetItem* current) {
    if (!current)
        return;
    m_state.SelectTreeItem(current->data(0, Qt::UserRole).toInt());
    RefreshControls();
}

// ---- commands ----

bool CInputView::HandlesCommand(CommandId id) const {
    switch (id) {
    case CommandId::Undo:
    case CommandId::Redo:
    case CommandId::NewMap:
    case CommandId::ResizeMap:
    case CommandId::ProjectSettings:
    case CommandId::LoadMap:
    case CommandId::SaveMap:
    case CommandId::ZoomIn:
    case CommandId::ZoomOut:
    case CommandId::ScrollHome:
    case CommandId::ExportT3d:
    case CommandId::ExportGltf:
        return true;
    default:
        return ZoomIndex(id) >= 0 || IsHeightmapCommand(id);
    }
}

bool CInputView::OpenMapFile(const QString& path) {
    const QFileInfo info(path);
    m_ofn.folder = info.absolutePath();
    m_ofn.fileName = info.fileName();
    return LoadMapFile(*m_pDoc, info.absoluteFilePath(), this, this);
}

void CInputView::OnCommand(CommandId id) {
    switch (id) {
    case CommandId::Undo:
        m_state.OnUndo();
        break;
    case CommandId::Redo:
        m_state.OnRedo();
        break;
    case CommandId::NewMap:
        RunNewMap(*m_pDoc, this, this);
        break;
    case CommandId::ResizeMap:
        RunResizeMap(*m_pDoc, this, this);
        break;
    case CommandId::ProjectSettings:
        RunProjectSettings(this);
        break;
    case CommandId::LoadMap:
        // Unsaved changes are saved or given up first, as when the window closes.
        if (!m_confirmReplace || m_confirmReplace())
            OnLoadMap(*m_pDoc, m_ofn, this, this);
        break;
    case CommandId::SaveMap:
        OnSaveMap(*m_pDoc, m_ofn, this, this);
        break;
    case CommandId::ZoomIn:
    case CommandId::ZoomOut:
        if (m_zoomBy)
            m_zoomBy(id == CommandId::ZoomIn ? 1 : -1);
        break;
    case CommandId::ScrollHome:
        if (m_navigate)
            m_navigate(Qt::Key_Home, Qt::NoModifier);
        break;
    case CommandId::ExportT3d:
        OnExportT3d(*m_pDoc, m_t3d, m_ofn, this);
        break;
    case CommandId::ExportGltf:
        OnExportGltf(*m_pDoc, m_ofn, this);
        break;
    default:
        if (IsHeightmapCommand(id)) {
            RunHeightmapCommand(id, *m_pDoc, m_ofn, this, this);
            break;
        }
        // The Zoom menu works like the zoom buttons.
        m_state.OnZoom(ZoomIndex(id));
        break;
    }
    RefreshControls();
}
