#pragma once

#include "view/PrintGeometry.h"

#include <QDialog>

class QLabel;
class QStatusBar;
class QToolBar;
class QToolButton;

namespace tess {
class Workspace;
}

namespace tess::view::ui {

class TNicePreview;

/// "Print Preview": one sheet with the stamped photo stretched (Shrink to Fit) or cropped
/// (Crop to Fit) to the printer's margins, the printer setup dialog, and printing with one
/// click. Modal; created once, and every activation builds the page anew from the current
/// photo and printer.
class TForm14 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm14(Workspace& workspace, QWidget* parent = nullptr);
    ~TForm14() override;

    /// Each activation: the page for the current mode, then the status line.
    void FormActivate();
    /// Stretch to Fit.
    void ToolButton1Click();
    /// Crop to Fit.
    void ToolButton2Click();
    /// Printer Setup.
    void ToolButton4Click();
    /// Print.
    void ToolButton6Click();
    /// Close.
    void ToolButton8Click();

    /// Landscape for a photo wider than high, else portrait.
    void setPrintOrientation();
    /// The four margins from the printer, in screen pixels.
    void computePrintMargins();
    void updatePrintStatus();
    void buildStretchPage();
    void buildCropPage();

    bool cropToFit() const { return m_cropToFit; }
    QMargins margins() const { return m_margins; }
    /// The page as last built.
    const PrintLayout& layout() const { return m_layout; }
    QString statusText() const;

    QToolBar* ToolBar1;
    QToolButton* ToolButton1;
    QToolButton* ToolButton2;
    QToolButton* ToolButton4;
    QToolButton* ToolButton6;
    QToolButton* ToolButton8;
    TNicePreview* NicePreview1;
    QStatusBar* StatusBar1;

private:
    void buildPage(bool crop);
    QSize screenDpi() const;
    std::optional<platform::PrinterMetrics> printerMetrics();

    Workspace& m_ws;
    bool m_cropToFit = false;
    QMargins m_margins;
    PrintLayout m_layout;
    QLabel* m_statusText;
};

} // namespace tess::view::ui
