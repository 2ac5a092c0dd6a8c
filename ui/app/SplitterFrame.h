#pragma once

#include "BrushStrip.h"
#include "MainDoc.h"

#include <QPoint>
#include <QString>
#include <QWidget>

#include <memory>

class CMainDoc;
class CInputView;
class CTextView;
class CColorView;
class QSplitter;

// The contents of one map window: it owns the map's document and splits the window into the
// tool panel (left), the map view (upper right) and the brush strip (lower right).
class CSplitterFrame : public QWidget, public CDocObserver {
    Q_OBJECT

public:
    // Height the brush strip keeps whenever the frame is resized: its whole picture, so that the
    // 64-pixel thumbnails below its top row show uncut. The splitter handle comes on top.
    static constexpr int kStripHeight = kStripPictureHeight;
    // Initial width of the tool panel.
    static constexpr int kPanelWidth = 180;

    explicit CSplitterFrame(std::unique_ptr<CMainDoc> doc, QWidget* parent = nullptr);
    ~CSplitterFrame() override;

    CMainDoc* GetDocument() const { return m_pDoc.get(); }
    CInputView* InputView() const { return m_pInputView; }
    CTextView* TextView() const { return m_pTextView; }
    CColorView* ColorView() const { return m_pColorView; }
    QSplitter* OuterSplitter() const { return m_pOuter; }
    QSplitter* InnerSplitter() const { return m_pInner; }

    // The map's name in the window title ("Tri1", or the file's name once saved or loaded);
    // the title shows an asterisk while the map has unsaved changes.
    void SetTitle(const QString& title);
    const QString& Title() const { return m_strTitle; }
    // The name the window shows: the file's name once saved or loaded, else the title.
    QString DisplayName() const;
    void UpdateModifiedMark();

    // Asks "Save changes to ...?" when the map has unsaved changes. Returns true when the
    // window may close: saved, discarded or nothing to save.
    bool ConfirmClose();

    void OnDocUpdate(CDocObserver* sender, int hint) override;

    // Zooms in (steps > 0) or out by zoom levels, keeping the map cell under the map view's
    // client point `client` in place.
    void ZoomBy(int steps, QPoint client);

signals:
    // The map changed in a way the menu items may show (Undo, Redo).
    void commandStateChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::unique_ptr<CMainDoc> m_pDoc;
    QSplitter* m_pOuter = nullptr; // 1 row x 2 columns
    QSplitter* m_pInner = nullptr; // 2 rows x 1 column, the outer splitter's column 1
    CInputView* m_pInputView = nullptr;
    CTextView* m_pTextView = nullptr;
    CColorView* m_pColorView = nullptr;
    QString m_strTitle;
};
