#include "view/ui/TPreviewForm.h"

#include "app/workspace/Workspace.h"
#include "view/ui/PreviewImage.h"
#include "view/ui/ProgramActivation.h"
#include "view/ui/ToolWindow.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace tess::view::ui {

namespace {

// The window's size at creation, in pixels of a 120 dpi screen.
constexpr QSize DesignSize(519, 387);

} // namespace

TPreviewForm::TPreviewForm(Workspace& workspace, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ws(workspace)
{
    setObjectName(QStringLiteral("PreviewForm"));
    const ToolWindow frame = buildToolWindow(this, QStringLiteral("Full Screen Preview"));
    ToolBar1 = frame.toolBar;
    ToolButton2 = addToolButton(ToolBar1, QStringLiteral("ToolButton2"), QStringLiteral("Best Fit"),
                                QStringLiteral("zoom-fit-best"), QStyle::SP_TitleBarNormalButton,
                                [this] { ToolButton2Click(); });
    ToolButton3 = addToolButton(ToolBar1, QStringLiteral("ToolButton3"),
                                QStringLiteral("Actual Size"), QStringLiteral("zoom-original"),
                                QStyle::SP_TitleBarMaxButton, [this] { ToolButton3Click(); });
    ToolBar1->addSeparator();
    ToolButton6 = addToolButton(ToolBar1, QStringLiteral("ToolButton6"), QStringLiteral("Print"),
                                QStringLiteral("document-print"), QStyle::SP_DialogSaveButton,
                                [this] { ToolButton6Click(); });
    ToolBar1->addSeparator();
    ToolButton1 = addToolButton(ToolBar1, QStringLiteral("ToolButton1"), QStringLiteral("Close"),
                                QStringLiteral("window-close"), QStyle::SP_DialogCloseButton,
                                [this] { ToolButton1Click(); });

    // Qt paints every widget through a back buffer, so panning does not flicker; the
    // view clips the image and shows no scroll bars.
    ScrollBox1 = new QWidget(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->installEventFilter(this);
    frame.layout->addWidget(ScrollBox1, 1);
    Image1 = new PreviewImage(*this, ScrollBox1);

    placeScaled(this, DesignSize);

    connect(&m_ws, &Workspace::picturesChanged, this, &TPreviewForm::picturesChanged);
    connect(&m_ws, &Workspace::previewScrollReset, this, &TPreviewForm::scrollReset);
    new ProgramActivation(this, [this] { FormActivate(); });

    // The creation handler.
    m_picture = m_ws.previewCopy();
    ToolButton6->setEnabled(!m_picture.isNull());
    m_model.setPhotoSize(m_picture.size());
    m_model.formCreate();
    placeImage();
}

TPreviewForm::~TPreviewForm() = default;

void TPreviewForm::FormActivate()
{
    m_model.formActivate();
    placeImage();
}

void TPreviewForm::ToolButton2Click()
{
    m_model.bestFit();
    placeImage();
}

void TPreviewForm::ToolButton3Click()
{
    m_model.actualSize();
    placeImage();
}

void TPreviewForm::ToolButton6Click()
{
    // Without a photo there is nothing to print, not even a blank sheet.
    if (m_picture.isNull())
        return;
    m_ws.guarded([this] { m_ws.print1Click(); });
}

void TPreviewForm::ToolButton1Click()
{
    close();
}

bool TPreviewForm::eventFilter(QObject* watched, QEvent* event)
{
    // The view fills the window, so this is the window's resize handler.
    if (watched == ScrollBox1 && event->type() == QEvent::Resize) {
        m_model.formResize(ScrollBox1->size());
        placeImage();
    }
    return QWidget::eventFilter(watched, event);
}

void TPreviewForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        ToolButton1Click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TPreviewForm::picturesChanged()
{
    m_picture = m_ws.previewCopy();
    ToolButton6->setEnabled(!m_picture.isNull());
    m_model.setPhotoSize(m_picture.size());
    placeImage();
    Image1->update();
}

void TPreviewForm::scrollReset()
{
    m_model.resetPosition();
    placeImage();
}

void TPreviewForm::placeImage()
{
    const QRect r = m_model.imageRect();
    if (Image1->geometry() != r)
        Image1->setGeometry(r);
    else
        Image1->update();
}

void TPreviewForm::Image1MouseDown(QMouseEvent* event)
{
    m_model.mouseDown(event->position().toPoint());
}

void TPreviewForm::Image1MouseMove(QMouseEvent* event)
{
    if (m_model.mouseMove(event->position().toPoint(), event->buttons() & Qt::LeftButton))
        Image1->move(m_model.imageRect().topLeft());
}

} // namespace tess::view::ui
