#include "view/ui/TForm14.h"

#include "app/workspace/Workspace.h"
#include "view/ui/ProgramActivation.h"
#include "view/ui/TNicePreview.h"
#include "view/ui/ToolWindow.h"

#include <QLabel>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace tess::view::ui {

namespace {

// The client area at creation, also its least size, in pixels of a 120 dpi screen.
constexpr QSize DesignSize(432, 400);

} // namespace

TForm14::TForm14(Workspace& workspace, QWidget* parent) : QDialog(parent), m_ws(workspace)
{
    setObjectName(QStringLiteral("Form14"));
    // Sizeable, with a system menu and a maximise box but no minimise box.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    setModal(true);
    const ToolWindow frame = buildToolWindow(this, QStringLiteral("Print Preview"));
    ToolBar1 = frame.toolBar;
    ToolButton1 = addToolButton(ToolBar1, QStringLiteral("ToolButton1"),
                                QStringLiteral("Stretch to Fit"), QStringLiteral("zoom-fit-best"),
                                QStyle::SP_TitleBarNormalButton, [this] { ToolButton1Click(); });
    ToolButton2 = addToolButton(ToolBar1, QStringLiteral("ToolButton2"),
                                QStringLiteral("Crop to Fit"), QStringLiteral("zoom-in"),
                                QStyle::SP_TitleBarMaxButton, [this] { ToolButton2Click(); });
    ToolBar1->addSeparator();
    ToolButton4 =
        addToolButton(ToolBar1, QStringLiteral("ToolButton4"), QStringLiteral("Printer Setup"),
                      QStringLiteral("document-page-setup"), QStyle::SP_FileDialogDetailedView,
                      [this] { ToolButton4Click(); });
    ToolBar1->addSeparator();
    ToolButton6 = addToolButton(ToolBar1, QStringLiteral("ToolButton6"), QStringLiteral("Print"),
                                QStringLiteral("document-print"), QStyle::SP_DialogSaveButton,
                                [this] { ToolButton6Click(); });
    ToolBar1->addSeparator();
    ToolButton8 = addToolButton(ToolBar1, QStringLiteral("ToolButton8"), QStringLiteral("Close"),
                                QStringLiteral("window-close"), QStyle::SP_DialogCloseButton,
                                [this] { ToolButton8Click(); });

    NicePreview1 = new TNicePreview(this);
    NicePreview1->setAutoFillBackground(false);
    frame.layout->addWidget(NicePreview1, 1);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(true);
    // A permanent label: tool tips and status tips never replace the print status.
    m_statusText = new QLabel(StatusBar1);
    StatusBar1->addWidget(m_statusText, 1);
    frame.layout->addWidget(StatusBar1);

    placeScaled(this, DesignSize, true);

    new ProgramActivation(this, [this] { FormActivate(); });

    // The creation handler.
    m_margins = QMargins();
    m_cropToFit = false;
    updatePrintStatus();
    NicePreview1->ZoomToWholePage();
}

TForm14::~TForm14() = default;

QSize TForm14::screenDpi() const
{
    return QSize(logicalDpiX(), logicalDpiY());
}

std::optional<platform::PrinterMetrics> TForm14::printerMetrics()
{
    platform::Printer* printer = m_ws.platform().printer;
    return printer ? printer->metrics() : std::nullopt;
}

void TForm14::FormActivate()
{
    if (m_cropToFit)
        buildCropPage();
    else
        buildStretchPage();
    updatePrintStatus();
}

void TForm14::ToolButton1Click()
{
    m_cropToFit = false;
    updatePrintStatus();
    buildStretchPage();
}

void TForm14::ToolButton2Click()
{
    m_cropToFit = true;
    updatePrintStatus();
    buildCropPage();
}

void TForm14::ToolButton4Click()
{
    platform::Printer* printer = m_ws.platform().printer;
    if (!printer || !printer->setup())
        return;
    setPrintOrientation();
    buildPage(m_cropToFit);
    updatePrintStatus();
}

void TForm14::ToolButton6Click()
{
    platform::Printer* printer = m_ws.platform().printer;
    const platform::PrintResult result =
        printer ? NicePreview1->PrintPage(0, *printer)
                : platform::PrintResult{false, QStringLiteral("There is no printer installed.")};
    if (!result.ok())
        m_ws.platform().prompts->error(result.error);
}

void TForm14::ToolButton8Click()
{
    close();
}

void TForm14::setPrintOrientation()
{
    if (platform::Printer* printer = m_ws.platform().printer)
        printer->setOrientation(printOrientation(m_ws.stampedPhoto().size()));
}

void TForm14::computePrintMargins()
{
    m_margins = printMargins(printerMetrics(), screenDpi());
}

void TForm14::updatePrintStatus()
{
    setPrintOrientation();
    m_statusText->setText(printStatusLine(printerMetrics(), m_cropToFit, QLocale()));
}

void TForm14::buildStretchPage()
{
    buildPage(false);
}

void TForm14::buildCropPage()
{
    buildPage(true);
}

void TForm14::buildPage(bool crop)
{
    const QImage& photo = m_ws.stampedPhoto();
    setPrintOrientation();
    NicePreview1->SetPaperSizeFromPrinter(m_ws.platform().printer, screenDpi());
    computePrintMargins();
    NicePreview1->MarginLeft = m_margins.left();
    NicePreview1->MarginTop = m_margins.top();
    NicePreview1->MarginRight = m_margins.right();
    NicePreview1->MarginBottom = m_margins.bottom();

    m_layout = printLayout(photo.size(), printerMetrics(), crop, screenDpi());

    // The page carries the photo at its full size: the printer gets every pixel of it,
    // and the panel shows a copy reduced to the photo's place on the sheet.
    NicePreview1->Clear();
    NicePreview1->NewPage();
    NicePreview1->EndPage(printPhoto(photo, m_layout), QRect(m_layout.origin, m_layout.target));
    ToolButton6->setEnabled(!m_layout.target.isEmpty());
}

QString TForm14::statusText() const
{
    return m_statusText->text();
}

} // namespace tess::view::ui
