#include "app/ui/MainWindow.h"

#include "app/ui/PhotoPane.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QStyleOptionViewItem>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>

namespace tess::ui {

namespace {

// The window is laid out in pixels of a 120 dpi screen and scaled to the real one.
constexpr int DesignDpi = 120;
constexpr int ClientWidth = 807;
constexpr int ClientHeight = 537;
constexpr int ToolBarHeight = 40;

/// A theme icon, or a drawn fallback where the theme has none.
QIcon themeIcon(const QString& name, const QString& glyph, QColor colour = QColor(40, 90, 160))
{
    QIcon icon = QIcon::fromTheme(name);
    if (!icon.isNull())
        return icon;
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour.darker(130), 1.5));
    painter.setBrush(colour.lighter(170));
    painter.drawRoundedRect(QRectF(2.5, 2.5, 27, 27), 5, 5);
    QFont font = painter.font();
    font.setPixelSize(glyph.size() > 1 ? 12 : 17);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(colour.darker(160));
    painter.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, glyph);
    return QIcon(pixmap);
}

/// The theme's "-symbolic" variant of \a name: a dark glyph that reads clearly when enabled,
/// drawn faint when disabled, where the plain theme icon is too pale to tell the two apart.
/// Qt's theme lookup reads plain names only, so the theme's ".symbolic.png" renderings are
/// gathered here; without them, the plain theme icon or the drawn fallback.
QIcon clearThemeIcon(const QString& name, const QString& glyph)
{
    QIcon icon;
    const QString file = QStringLiteral("/actions/%1-symbolic.symbolic.png").arg(name);
    for (const QString& root : QIcon::themeSearchPaths()) {
        const QDir theme(root + u'/' + QIcon::themeName());
        for (const QString& size : theme.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QImage glyphImage(theme.filePath(size) + file);
            if (glyphImage.isNull())
                continue;
            icon.addPixmap(QPixmap::fromImage(glyphImage), QIcon::Normal);
            // Qt's own disabled rendering keeps a black glyph dark grey.
            QImage faint(glyphImage.size(), QImage::Format_ARGB32_Premultiplied);
            faint.fill(Qt::transparent);
            QPainter painter(&faint);
            painter.setOpacity(0.3);
            painter.drawImage(0, 0, glyphImage);
            painter.end();
            icon.addPixmap(QPixmap::fromImage(faint), QIcon::Disabled);
        }
    }
    return icon.isNull() ? themeIcon(name, glyph) : icon;
}

QStringList textLines(const QPlainTextEdit* memo)
{
    const QString text = memo->toPlainText();
    if (text.isEmpty())
        return {};
    return text.split(u'\n');
}

} // namespace

MainWindow::MainWindow(Workspace& workspace, QWidget* parent) : QMainWindow(parent), m_ws(workspace)
{
    setObjectName(QStringLiteral("TMain"));
    // Without a desktop's own theme, take the Freedesktop icons Debian installs.
    if (QIcon::fromTheme(QStringLiteral("document-open")).isNull())
        QIcon::setThemeName(QStringLiteral("Adwaita"));
    const QScreen* screen = QGuiApplication::primaryScreen();
    m_scale = (screen ? screen->logicalDotsPerInchY() : 96.0) / DesignDpi;
    QFont ownFont(QStringLiteral("Tahoma"));
    ownFont.setPointSize(8);
    setFont(ownFont);

    buildMenus();
    buildToolBar();
    auto* central = new QWidget(this);
    buildPhotoPane(central);
    buildAttributesBox(central);
    setCentralWidget(central);

    // Fixed size: single border, minimise box, no maximise box.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    central->setFixedSize(scaled(0, 0, ClientWidth, ClientHeight - ToolBarHeight).size());
    adjustSize();
    setFixedSize(sizeHint());

    connect(&m_ws, &Workspace::changed, this, &MainWindow::refresh);
    connect(&m_ws, &Workspace::picturesChanged, this, &MainWindow::refreshPicture);
    connect(&m_ws, &Workspace::centreWindowRequested, this, &MainWindow::centreOnScreen);
    connect(&m_ws, &Workspace::windowPositionChanged, this, &MainWindow::moveToStoredPosition);
    refresh();
}

MainWindow::~MainWindow() = default;

QRect MainWindow::scaled(int x, int y, int w, int h) const
{
    return QRect(qRound(x * m_scale), qRound(y * m_scale), qRound(w * m_scale),
                 qRound(h * m_scale));
}

void MainWindow::run(const std::function<void()>& command)
{
    m_ws.guarded(command);
}

QAction* MainWindow::addAction(QMenu* menu, const QString& name, const QString& text,
                               const std::function<void()>& command, const QKeySequence& shortcut)
{
    auto* act = new QAction(text, this);
    act->setObjectName(name);
    if (!shortcut.isEmpty())
        act->setShortcut(shortcut);
    connect(act, &QAction::triggered, this, [this, command] { run(command); });
    if (menu)
        menu->addAction(act);
    m_actions.insert(name, act);
    return act;
}

void MainWindow::buildMenus()
{
    Workspace& ws = m_ws;
    QMenuBar* bar = menuBar();

    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    addAction(
        file, QStringLiteral("Open1"), QStringLiteral("&Open"), [&ws] { ws.open1Click(); },
        QKeySequence(Qt::CTRL | Qt::Key_O));
    file->addSeparator();
    m_photoActions << addAction(
        file, QStringLiteral("Save1"), QStringLiteral("&Save"), [&ws] { ws.save1Click(); },
        QKeySequence(Qt::CTRL | Qt::Key_S));
    m_photoActions << addAction(file, QStringLiteral("SaveAs1"), QStringLiteral("Save &As..."),
                                [&ws] { ws.saveAs1Click(); });
    m_photoActions << addAction(file, QStringLiteral("Close1"), QStringLiteral("&Close"),
                                [&ws] { ws.close1Click(); });
    file->addSeparator();
    m_photoActions << addAction(
        file, QStringLiteral("Print1"), QStringLiteral("&Print..."), [&ws] { ws.print1Click(); },
        QKeySequence(Qt::CTRL | Qt::Key_P));
    file->addSeparator();
    addAction(file, QStringLiteral("Exit1"), QStringLiteral("E&xit"), [this] { close(); });

    QMenu* photo = bar->addMenu(QStringLiteral("&Photo"));
    m_photoActions << addAction(
        photo, QStringLiteral("FullScreenPreview1"), QStringLiteral("Full Screen Pre&view"),
        [&ws] { ws.fullScreenPreview1Click(); }, QKeySequence(Qt::Key_F11));
    photo->addSeparator();
    m_photoActions << addAction(
        photo, QStringLiteral("Flip1"), QStringLiteral("&Flip"), [&ws] { ws.flip1Click(); },
        QKeySequence(Qt::CTRL | Qt::Key_I));
    m_photoActions << addAction(
        photo, QStringLiteral("Mirror2"), QStringLiteral("&Mirror"), [&ws] { ws.mirror2Click(); },
        QKeySequence(Qt::CTRL | Qt::Key_M));
    photo->addSeparator();
    QMenu* adjust = photo->addMenu(QStringLiteral("&Adjust"));
    m_photoActions << adjust->menuAction();
    m_actions.insert(QStringLiteral("Adjust1"), adjust->menuAction());
    addAction(
        adjust, QStringLiteral("Brightness1"), QStringLiteral("&Brightness and Contrast"),
        [&ws] { ws.brightness1Click(); }, QKeySequence(Qt::CTRL | Qt::Key_B));
    photo->addSeparator();
    QMenu* effects = photo->addMenu(QStringLiteral("&Effects"));
    m_photoActions << effects->menuAction();
    m_actions.insert(QStringLiteral("Effects1"), effects->menuAction());
    const struct
    {
        const char* name;
        const char* text;
        EffectItem item;
    } plain[] = {{"None1", "&None", EffectItem::None},
                 {"Flaxen1", "&Flaxen", EffectItem::Flaxen},
                 {"Greyscale1", "&Greyscale", EffectItem::Greyscale},
                 {"Negative1", "&Negative", EffectItem::Negative}};
    for (const auto& e : plain) {
        QAction* act = addAction(effects, QString::fromLatin1(e.name), QString::fromLatin1(e.text),
                                 [&ws, item = e.item] { ws.plainEffectClick(item); });
        act->setCheckable(true);
        if (e.item != EffectItem::Flaxen && e.item != EffectItem::Negative)
            m_photoActions << act;
    }
    QMenu* sepia = effects->addMenu(QStringLiteral("&Sepia Toning"));
    sepia->menuAction()->setCheckable(true);
    m_actions.insert(QStringLiteral("Sepia1"), sepia->menuAction());
    m_photoActions << sepia->menuAction();
    const struct
    {
        const char* name;
        int level;
    } presets[] = {{"N202", 20}, {"N402", 40}, {"N602", 60}, {"N802", 80}};
    for (const auto& p : presets) {
        QAction* act = addAction(sepia, QString::fromLatin1(p.name), QString::number(p.level),
                                 [&ws, level = p.level] { ws.sepiaPresetClick(level); });
        act->setCheckable(true);
        m_photoActions << act;
    }
    QAction* custom2 = addAction(sepia, QStringLiteral("Custom2"), QStringLiteral("Custom..."),
                                 [&ws] { ws.custom2Click(); });
    custom2->setCheckable(true);
    m_photoActions << custom2;

    QMenu* format = bar->addMenu(QStringLiteral("F&ormat"));
    m_photoActions << addAction(
        format, QStringLiteral("Font1"), QStringLiteral("&Font..."), [&ws] { ws.font1Click(); },
        QKeySequence(Qt::CTRL | Qt::Key_F));
    m_photoActions << addAction(format, QStringLiteral("extColor1"),
                                QStringLiteral("&Text Color..."), [&ws] { ws.extColor1Click(); });
    m_opacityMenu = format->addMenu(QStringLiteral("Opa&city"));
    m_actions.insert(QStringLiteral("ransparency1"), m_opacityMenu->menuAction());
    m_photoActions << m_opacityMenu->menuAction();
    const struct
    {
        const char* name;
        const char* text;
        OpacityItem item;
    } opacities[] = {{"N201", "&20%", OpacityItem::P20},
                     {"N401", "&40%", OpacityItem::P40},
                     {"N601", "&60%", OpacityItem::P60},
                     {"N801", "&80%", OpacityItem::P80},
                     {"N1001", "&100%", OpacityItem::P100}};
    for (const auto& o : opacities) {
        addAction(m_opacityMenu, QString::fromLatin1(o.name), QString::fromLatin1(o.text),
                  [&ws, item = o.item] { ws.opacityPresetClick(item); })
            ->setCheckable(true);
    }
    addAction(m_opacityMenu, QStringLiteral("Custom1"), QStringLiteral("&Custom..."), [&ws] {
        ws.custom1Click();
    })->setCheckable(true);
    format->addSeparator();
    QMenu* outline = format->addMenu(QStringLiteral("O&utline"));
    m_actions.insert(QStringLiteral("OutlineWidth1"), outline->menuAction());
    m_photoActions << outline->menuAction();
    m_outlineWidthMenu = outline->addMenu(QStringLiteral("Outline &Width"));
    m_actions.insert(QStringLiteral("Width1"), m_outlineWidthMenu->menuAction());
    m_photoActions << m_outlineWidthMenu->menuAction();
    for (int n = 0; n <= 5; ++n) {
        addAction(m_outlineWidthMenu, QStringLiteral("N%1%2").arg(n).arg(1),
                  QStringLiteral("&%1").arg(n), [&ws, n] { ws.setOutlineWidth(n); })
            ->setCheckable(true);
    }
    m_photoActions << addAction(outline, QStringLiteral("Color1"),
                                QStringLiteral("Outline Co&lor..."), [&ws] { ws.color1Click(); });

    QMenu* tools = bar->addMenu(QStringLiteral("&Tools"));
    addAction(tools, QStringLiteral("Options1"), QStringLiteral("&Options..."),
              [&ws] { ws.options1Click(); });
    tools->addSeparator();
    QMenu* attributes = tools->addMenu(QStringLiteral("&Stamp Text Attributes"));
    m_actions.insert(QStringLiteral("StampTextAttributes1"), attributes->menuAction());
    m_photoActions << attributes->menuAction();
    addAction(attributes, QStringLiteral("New1"), QStringLiteral("&New Stamp Attributes"),
              [&ws] { ws.newStampAttributesClick(); });
    addAction(attributes, QStringLiteral("ImportAttributeSet1"),
              QStringLiteral("&Import Attribute Set"), [&ws] { ws.importAttributeSetClick(); });
    addAction(attributes, QStringLiteral("ExportAttributeSet1"),
              QStringLiteral("&Export Attribute Set"), [&ws] { ws.exportAttributeSetClick(); });
    addAction(attributes, QStringLiteral("ReloadDefaultAttributes1"),
              QStringLiteral("&Reload Default Attributes"),
              [&ws] { ws.reloadDefaultAttributesClick(); });
    tools->addSeparator();
    addAction(tools, QStringLiteral("BatchStamp1"), QStringLiteral("&Batch Stamp..."),
              [&ws] { ws.batchStamp1Click(); });

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    addAction(
        help, QStringLiteral("Help2"), QStringLiteral("&Help..."), [&ws] { ws.help2Click(); },
        QKeySequence(QKeySequence::HelpContents));
    help->addSeparator();
    addAction(help, QStringLiteral("OrvaneHomePage1"), QStringLiteral("&Orvane Home Page..."),
              [&ws] { ws.orvaneHomePage1Click(); });
    addAction(help, QStringLiteral("CheckforUpdates1"), QStringLiteral("&Check for Updates..."),
              [&ws] { ws.checkForUpdates1Click(); });
    help->addSeparator();
    addAction(help, QStringLiteral("About1"), QStringLiteral("&About..."),
              [&ws] { ws.about1Click(); });
}

void MainWindow::buildToolBar()
{
    QToolBar* tb = addToolBar(QStringLiteral("Tools"));
    tb->setObjectName(QStringLiteral("ToolBar1"));
    tb->setMovable(false);
    tb->setFloatable(false);
    tb->setIconSize(QSize(qRound(24 * m_scale * 1.25), qRound(24 * m_scale * 1.25)));
    tb->setToolButtonStyle(Qt::ToolButtonIconOnly);
    tb->setContextMenuPolicy(Qt::PreventContextMenu);

    auto add = [&](const QString& name, const QIcon& icon, const QString& hint, bool photo) {
        // The tool button runs the menu command of the same name; it has its own action so
        // that its icon and hint do not show in the menus.
        QAction* menuAction = m_actions.value(name);
        auto* act = new QAction(icon, hint, this);
        act->setObjectName(QStringLiteral("tb") + name);
        act->setToolTip(hint);
        connect(act, &QAction::triggered, menuAction, &QAction::trigger);
        tb->addAction(act);
        m_actions.insert(QStringLiteral("tb") + name, act);
        if (photo)
            m_photoActions << act;
        return act;
    };
    add(QStringLiteral("Open1"),
        clearThemeIcon(QStringLiteral("document-open"), QStringLiteral("O")),
        QStringLiteral("Open"), false);
    add(QStringLiteral("SaveAs1"),
        themeIcon(QStringLiteral("document-save-as"), QStringLiteral("S")),
        QStringLiteral("Save As"), true);
    tb->addSeparator();
    add(QStringLiteral("Print1"), themeIcon(QStringLiteral("document-print"), QStringLiteral("P")),
        QStringLiteral("Print"), true);
    tb->addSeparator();
    add(QStringLiteral("Flip1"),
        themeIcon(QStringLiteral("object-flip-vertical"), QStringLiteral("\u2195")),
        QStringLiteral("Flip Photo"), true);
    add(QStringLiteral("Mirror2"),
        themeIcon(QStringLiteral("object-flip-horizontal"), QStringLiteral("\u2194")),
        QStringLiteral("Mirror Photo"), true);
    add(QStringLiteral("Brightness1"),
        themeIcon(QStringLiteral("display-brightness"), QStringLiteral("\u263C"),
                  QColor(200, 150, 30)),
        QStringLiteral("Brightness and Contrast"), true);
    tb->addSeparator();
    add(QStringLiteral("Font1"),
        themeIcon(QStringLiteral("preferences-desktop-font"), QStringLiteral("A")),
        QStringLiteral("Font"), true);
    add(QStringLiteral("extColor1"),
        themeIcon(QStringLiteral("format-text-color"), QStringLiteral("T"), QColor(190, 40, 40)),
        QStringLiteral("Text Color"), true);
    QAction* opacity =
        add(QStringLiteral("ransparency1"),
            themeIcon(QStringLiteral("opacity"), QStringLiteral("%"), QColor(120, 120, 120)),
            QStringLiteral("Opacity"), true);
    opacity->setMenu(m_opacityMenu);
    if (auto* b = qobject_cast<QToolButton*>(tb->widgetForAction(opacity)))
        b->setPopupMode(QToolButton::InstantPopup);
    tb->addSeparator();
    QAction* width = add(QStringLiteral("Width1"),
                         themeIcon(QStringLiteral("format-justify-fill"), QStringLiteral("\u2261")),
                         QStringLiteral("Outline Width"), true);
    width->setMenu(m_outlineWidthMenu);
    if (auto* b = qobject_cast<QToolButton*>(tb->widgetForAction(width)))
        b->setPopupMode(QToolButton::InstantPopup);
    add(QStringLiteral("Color1"),
        themeIcon(QStringLiteral("color-select"), QStringLiteral("C"), QColor(40, 140, 60)),
        QStringLiteral("Outline Color"), true);
    tb->setFixedHeight(qRound(ToolBarHeight * m_scale));
}

void MainWindow::buildPhotoPane(QWidget* central)
{
    auto* box = new DropGroupBox(QStringLiteral("Thumbnail"), central);
    box->setObjectName(QStringLiteral("GroupBox2"));
    box->setAcceptDrops(true);
    box->onDrop = [this](const QStringList& paths) {
        run([this, paths] { m_ws.dropFiles(paths); });
    };
    box->setGeometry(scaled(4, 2, 392, 490));
    m_groupBox2 = box;

    auto anchor = [&](const QString& name, const QString& caption, const QString& position,
                      QRect geometry, Qt::Alignment side) {
        auto* b = new QToolButton(box);
        b->setObjectName(name);
        b->setText(caption);
        b->setToolTip(caption);
        b->setCheckable(true);
        // Wide enough for the caption with some room on both sides in any font; the button
        // keeps its side of the picture (the middle one its centre).
        const int grow = qMax(0, b->sizeHint().width() + 2 * b->fontMetrics().averageCharWidth() -
                                     geometry.width());
        const int left = side == Qt::AlignLeft ? 0 : side == Qt::AlignRight ? grow : grow / 2;
        b->setGeometry(geometry.adjusted(-left, 0, grow - left, 0));
        connect(b, &QToolButton::clicked, this, [this, b, position] {
            // The buttons form one group in which a pressed button can be released.
            run([this, b, position] { m_ws.anchorClick(position, b->isChecked()); });
        });
        m_anchors.insert(position, b);
        m_photoWidgets << b;
    };
    anchor(QStringLiteral("SBTopLeft"), QStringLiteral("Top Left"), positions::TopLeft,
           scaled(44, 22, 90, 26), Qt::AlignLeft);
    anchor(QStringLiteral("SBCEntre"), QStringLiteral("Middle"), positions::Centre,
           scaled(158, 22, 90, 26), Qt::AlignHCenter);
    anchor(QStringLiteral("SBTopRight"), QStringLiteral("Top Right"), positions::TopRight,
           scaled(272, 22, 90, 26), Qt::AlignRight);
    anchor(QStringLiteral("SBBottomLeft"), QStringLiteral("Bottom Left"), positions::BottomLeft,
           scaled(44, 438, 90, 26), Qt::AlignLeft);
    anchor(QStringLiteral("SBBottomRight"), QStringLiteral("Bottom Right"), positions::BottomRight,
           scaled(272, 438, 90, 26), Qt::AlignRight);

    m_trackBar2 = new QSlider(Qt::Vertical, box);
    m_trackBar2->setObjectName(QStringLiteral("TrackBar2"));
    m_trackBar2->setToolTip(QStringLiteral("Vertical Position"));
    m_trackBar2->setInvertedAppearance(true);
    m_trackBar2->setInvertedControls(true);
    m_trackBar2->setGeometry(scaled(10, 56, 28, 318));
    m_image1 = new PhotoPane(box);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setGeometry(scaled(44, 56, 318, 318));
    m_trackBar1 = new QSlider(Qt::Horizontal, box);
    m_trackBar1->setObjectName(QStringLiteral("TrackBar1"));
    m_trackBar1->setToolTip(QStringLiteral("Horizontal Position"));
    m_trackBar1->setGeometry(scaled(44, 380, 318, 28));
    for (QSlider* slider : {m_trackBar1, m_trackBar2}) {
        slider->setTracking(true);
        m_photoWidgets << slider;
        connect(slider, &QSlider::valueChanged, this, [this, slider](int value) {
            if (m_refreshing)
                return;
            run([this, slider, value] {
                if (slider == m_trackBar1)
                    m_ws.setHorizontalPosition(value);
                else
                    m_ws.setVerticalPosition(value);
            });
        });
        // The position shows in a tip while the thumb is dragged.
        connect(slider, &QSlider::sliderMoved, this, [slider](int value) {
            QToolTip::showText(QCursor::pos(), QString::number(value), slider);
        });
    }
}

void MainWindow::buildAttributesBox(QWidget* central)
{
    m_groupBox1 = new QGroupBox(central);
    m_groupBox1->setObjectName(QStringLiteral("GroupBox1"));
    m_groupBox1->setGeometry(scaled(402, 2, 401, 490));
    QGroupBox* box = m_groupBox1;

    auto button = [&](const QString& name, const QString& hint, const QIcon& icon, QRect geometry,
                      const std::function<void()>& command, bool photo = true) {
        auto* b = new QToolButton(box);
        b->setObjectName(name);
        b->setToolTip(hint);
        b->setIcon(icon);
        b->setIconSize(geometry.size() * 0.7);
        b->setGeometry(geometry);
        connect(b, &QToolButton::clicked, this, [this, command] { run(command); });
        m_buttons.insert(name, b);
        if (photo)
            m_photoWidgets << b;
        return b;
    };
    Workspace& ws = m_ws;
    button(QStringLiteral("SpeedButton1"), QStringLiteral("New Stamp Attributes"),
           themeIcon(QStringLiteral("document-new"), QStringLiteral("N")), scaled(12, 22, 32, 30),
           [&ws] { ws.newStampAttributesClick(); });
    button(QStringLiteral("SpeedButton8"), QStringLiteral("Import Attribute Set"),
           themeIcon(QStringLiteral("edit-paste"), QStringLiteral("I")), scaled(48, 22, 32, 30),
           [&ws] { ws.importAttributeSetClick(); });
    button(QStringLiteral("SpeedButton7"), QStringLiteral("Export Attribute Set"),
           clearThemeIcon(QStringLiteral("document-send"), QStringLiteral("E")),
           scaled(84, 22, 32, 30), [&ws] { ws.exportAttributeSetClick(); });
    button(QStringLiteral("SpeedButton9"), QStringLiteral("Reload Default Attributes"),
           clearThemeIcon(QStringLiteral("view-refresh"), QStringLiteral("R")),
           scaled(120, 22, 32, 30), [&ws] { ws.reloadDefaultAttributesClick(); });

    auto* maskLabel = new QLabel(QStringLiteral("Stamp Mask:"), box);
    maskLabel->setGeometry(scaled(12, 60, 200, 18));
    m_comboBox1 = new QComboBox(box);
    m_comboBox1->setObjectName(QStringLiteral("ComboBox1"));
    m_comboBox1->setEditable(true);
    m_comboBox1->setInsertPolicy(QComboBox::NoInsert);
    m_comboBox1->setGeometry(scaled(12, 80, 340, 26));
    maskLabel->setBuddy(m_comboBox1);
    m_photoWidgets << m_comboBox1;
    connect(m_comboBox1, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (!m_refreshing)
            m_ws.setStampMaskField(text);
    });
    button(QStringLiteral("SpeedButton2"), QStringLiteral("Build Stamp Mask"),
           themeIcon(QStringLiteral("accessories-text-editor"), QStringLiteral("\u2026")),
           scaled(358, 78, 30, 30), [&ws] { ws.speedButton2Click(); });

    auto* add = new QPushButton(QStringLiteral("&Add Stamp Mask to Stamp Text List"), box);
    add->setObjectName(QStringLiteral("btnAddFiletoGrid"));
    add->setGeometry(scaled(12, 112, 340, 28));
    connect(add, &QPushButton::clicked, this,
            [this] { run([this] { m_ws.btnAddFiletoGridClick(); }); });
    m_photoWidgets << add;

    auto* listLabel = new QLabel(QStringLiteral("Stamp Text:"), box);
    listLabel->setGeometry(scaled(12, 146, 200, 18));
    m_checkListBox1 = new QListWidget(box);
    m_checkListBox1->setObjectName(QStringLiteral("CheckListBox1"));
    m_checkListBox1->setGeometry(scaled(12, 166, 340, 140));
    m_checkListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    listLabel->setBuddy(m_checkListBox1);
    // Delete removes the selected entry, Enter and a double-click edit it.
    m_checkListBox1->installEventFilter(this);
    m_checkListBox1->viewport()->installEventFilter(this);
    m_photoWidgets << m_checkListBox1;
    connect(m_checkListBox1, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_refreshing)
            m_ws.setSelectedEntry(row);
    });
    connect(m_checkListBox1, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (m_refreshing)
            return;
        const int row = m_checkListBox1->row(item);
        const bool ticked = item->checkState() == Qt::Checked;
        run([this, row, ticked] { m_ws.checkListBox1ClickCheck(row, ticked); });
    });
    button(QStringLiteral("SpeedButton3"), QStringLiteral("Edit"),
           themeIcon(QStringLiteral("insert-text"), QStringLiteral("\u270E")),
           scaled(358, 166, 30, 30), [&ws] { ws.speedButton3Click(); });
    button(QStringLiteral("SpeedButton4"), QStringLiteral("Move Up"),
           clearThemeIcon(QStringLiteral("go-up"), QStringLiteral("\u2191")),
           scaled(358, 202, 30, 30), [&ws] { ws.speedButton4Click(); });
    button(QStringLiteral("SpeedButton5"), QStringLiteral("Move Down"),
           clearThemeIcon(QStringLiteral("go-down"), QStringLiteral("\u2193")),
           scaled(358, 238, 30, 30), [&ws] { ws.speedButton5Click(); });
    button(QStringLiteral("SpeedButton6"), QStringLiteral("Remove from List"),
           themeIcon(QStringLiteral("list-remove"), QStringLiteral("\u2212")),
           scaled(358, 274, 30, 30), [&ws] { ws.speedButton6Click(); });

    auto* previewLabel = new QLabel(QStringLiteral("Text Preview:"), box);
    previewLabel->setGeometry(scaled(12, 312, 200, 18));
    m_memo1 = new QPlainTextEdit(box);
    m_memo1->setObjectName(QStringLiteral("Memo1"));
    m_memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_memo1->setTabChangesFocus(true);
    m_memo1->setGeometry(scaled(12, 332, 376, 146));
    m_memo1->installEventFilter(this);
    previewLabel->setBuddy(m_memo1);
    m_photoWidgets << m_memo1;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_checkListBox1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Delete) {
            run([this] { m_ws.speedButton6Click(); });
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            run([this] { m_ws.speedButton3Click(); });
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonDblClick && watched == m_checkListBox1->viewport()) {
        const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (QListWidgetItem* item = m_checkListBox1->itemAt(pos)) {
            // A double-click on the tick box ticks and unticks; anywhere else on the entry
            // it edits the entry.
            QStyleOptionViewItem option;
            option.initFrom(m_checkListBox1);
            option.rect = m_checkListBox1->visualItemRect(item);
            option.features =
                QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
            option.text = item->text();
            const QRect box = m_checkListBox1->style()->subElementRect(
                QStyle::SE_ItemViewItemCheckIndicator, &option, m_checkListBox1);
            if (!box.contains(pos)) {
                m_checkListBox1->setCurrentItem(item);
                run([this] { m_ws.speedButton3Click(); });
                return true;
            }
        }
    }
    if (watched == m_memo1 && event->type() == QEvent::KeyRelease) {
        const QStringList lines = textLines(m_memo1);
        run([this, lines] { m_ws.memo1KeyUp(lines); });
    }
    return QMainWindow::eventFilter(watched, event);
}

QPixmap MainWindow::shownPicture() const
{
    return m_image1->shown();
}

void MainWindow::refreshPicture()
{
    m_image1->setPicture(m_ws.stampedPhoto());
}

void MainWindow::refresh()
{
    m_refreshing = true;
    const StampAttributes& a = m_ws.attributes();
    setWindowTitle(m_ws.title());
    m_groupBox1->setTitle(m_ws.attributeCaption());

    const bool photo = m_ws.photoControlsEnabled();
    for (QAction* act : std::as_const(m_photoActions))
        act->setEnabled(photo);
    for (QWidget* w : std::as_const(m_photoWidgets))
        w->setEnabled(photo);

    for (int n = 0; n <= 5; ++n)
        m_actions.value(QStringLiteral("N%1%2").arg(n).arg(1))->setChecked(m_ws.outlineMark() == n);
    const OpacityItem opacity = m_ws.opacityItem();
    m_actions.value(QStringLiteral("N201"))->setChecked(opacity == OpacityItem::P20);
    m_actions.value(QStringLiteral("N401"))->setChecked(opacity == OpacityItem::P40);
    m_actions.value(QStringLiteral("N601"))->setChecked(opacity == OpacityItem::P60);
    m_actions.value(QStringLiteral("N801"))->setChecked(opacity == OpacityItem::P80);
    m_actions.value(QStringLiteral("N1001"))->setChecked(opacity == OpacityItem::P100);
    m_actions.value(QStringLiteral("Custom1"))->setChecked(opacity == OpacityItem::Custom);
    const EffectItem effect = m_ws.effectItem();
    m_actions.value(QStringLiteral("None1"))->setChecked(effect == EffectItem::None);
    m_actions.value(QStringLiteral("Greyscale1"))->setChecked(effect == EffectItem::Greyscale);
    m_actions.value(QStringLiteral("Flaxen1"))->setChecked(effect == EffectItem::Flaxen);
    m_actions.value(QStringLiteral("Negative1"))->setChecked(effect == EffectItem::Negative);
    m_actions.value(QStringLiteral("Sepia1"))
        ->setChecked(effectOfItem(effect) == PhotoEffect::Sepia);
    m_actions.value(QStringLiteral("N202"))->setChecked(effect == EffectItem::Sepia20);
    m_actions.value(QStringLiteral("N402"))->setChecked(effect == EffectItem::Sepia40);
    m_actions.value(QStringLiteral("N602"))->setChecked(effect == EffectItem::Sepia60);
    m_actions.value(QStringLiteral("N802"))->setChecked(effect == EffectItem::Sepia80);
    m_actions.value(QStringLiteral("Custom2"))->setChecked(effect == EffectItem::SepiaCustom);

    for (auto it = m_anchors.cbegin(); it != m_anchors.cend(); ++it)
        it.value()->setChecked(m_ws.pressedAnchor() == it.key());

    m_trackBar1->setMaximum(qMax(0, a.customXMax));
    m_trackBar1->setValue(a.customX);
    m_trackBar2->setMaximum(qMax(0, a.customYMax));
    m_trackBar2->setValue(a.customY);

    if (m_comboBox1->count() != m_ws.stampMaskChoices().size() || [&] {
            for (int i = 0; i < m_comboBox1->count(); ++i)
                if (m_comboBox1->itemText(i) != m_ws.stampMaskChoices().at(i))
                    return true;
            return false;
        }()) {
        m_comboBox1->clear();
        m_comboBox1->addItems(m_ws.stampMaskChoices());
    }
    if (m_comboBox1->currentText() != m_ws.stampMaskField())
        m_comboBox1->setEditText(m_ws.stampMaskField());

    const QList<StampText>& entries = a.stampTexts;
    if (m_checkListBox1->count() != entries.size()) {
        m_checkListBox1->clear();
        for (int i = 0; i < entries.size(); ++i) {
            auto* item = new QListWidgetItem(m_checkListBox1);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            // A new item reports Unchecked without having a box: give it one now, so that the
            // state below is compared with what is shown.
            item->setCheckState(Qt::Unchecked);
        }
    }
    for (int i = 0; i < entries.size(); ++i) {
        QListWidgetItem* item = m_checkListBox1->item(i);
        if (item->text() != entries[i].mask)
            item->setText(entries[i].mask);
        const Qt::CheckState state = entries[i].ticked ? Qt::Checked : Qt::Unchecked;
        if (item->checkState() != state)
            item->setCheckState(state);
    }
    if (m_checkListBox1->currentRow() != m_ws.selectedEntry())
        m_checkListBox1->setCurrentRow(m_ws.selectedEntry());

    if (textLines(m_memo1) != m_ws.textPreview())
        m_memo1->setPlainText(m_ws.textPreview().join(u'\n'));
    m_refreshing = false;
}

void MainWindow::centreOnScreen()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        const QSize frame = frameGeometry().size();
        move(area.center() - QPoint(frame.width() / 2, frame.height() / 2));
        m_ws.setWindowPosition(x(), y());
    }
}

void MainWindow::moveToStoredPosition()
{
    move(m_ws.attributes().windowLeft, m_ws.attributes().windowTop);
}

void MainWindow::formCreate()
{
    m_ws.formCreate();
    refresh();
    refreshPicture();
}

void MainWindow::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    // The attributes always know where the window stands, for exports and the default profile.
    m_ws.setWindowPosition(x(), y());
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    m_ws.setWindowPosition(x(), y());
    bool allowed = true;
    run([&] { allowed = m_ws.formClose(); });
    if (allowed)
        event->accept();
    else
        event->ignore();
}

} // namespace tess::ui
