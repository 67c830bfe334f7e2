#pragma once

#include "platform/Printer.h"
#include "view/PageLayout.h"

#include <QList>
#include <QPicture>
#include <QPixmap>
#include <QWidget>
#include <memory>
#include <optional>

class QPainter;

namespace tess::view::ui {

/// The page preview panel: a list of page images, each a recorded picture of one sheet,
/// shown as white sheets scaled to the panel, and printed one page per job. Margins are
/// kept for the host; the panel draws nothing from them.
class TNicePreview : public QWidget
{
    Q_OBJECT
public:
    explicit TNicePreview(QWidget* parent = nullptr);
    ~TNicePreview() override;

    /// The first part of a print job's title.
    QString Title = QStringLiteral("Printing ...");
    int MarginLeft = 96;
    int MarginTop = 96;
    int MarginRight = 96;
    int MarginBottom = 96;
    /// The size of one sheet in screen pixels (8.5 x 11 inches at 96 per inch).
    int PaperWidth = 816;
    int PaperHeight = 1056;
    /// The display scale of a sheet.
    float Zoom = 1.0f;
    /// The page drawn with a red frame; -1 for none.
    int SelectedPage = -1;

    /// The sheet's size from \a printer (a letter sheet when it cannot be asked), in
    /// pixels of a screen of \a screenDpi.
    void SetPaperSizeFromPrinter(platform::Printer* printer, QSize screenDpi);
    /// Removes every page.
    void Clear();
    /// Appends an empty page of the current sheet size and returns a painter on it, valid
    /// until EndPage.
    QPainter* NewPage();
    /// Completes the page NewPage started. \a photo, when given, is laid over the page into
    /// \a photoRect: printed from its own full-size pixels, shown from a copy reduced once to
    /// the rectangle's size.
    void EndPage(const QImage& photo = QImage(), const QRect& photoRect = QRect());
    /// Whole-page mode, one page per row.
    void ZoomToWholePage();
    /// Prints page \a index as a print job of its own, "Title - Page n", over the
    /// printer's whole sheet.
    platform::PrintResult PrintPage(int index, platform::Printer& printer);

    int pageCount() const { return int(m_pages.size()); }
    /// The page as printed.
    const platform::PageImage& page(int index) const { return m_pages.at(index)->image; }
    /// The page as shown: its photo is the reduced copy.
    platform::PageImage shownPage(int index) const;
    const SheetLayout& sheetLayout() const { return m_layout; }

signals:
    /// The layout changed, or another page was selected.
    void OnChange();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void layOut();
    void redraw();
    void renderBuffer();

    struct Page
    {
        platform::PageImage image;
        QImage shownPhoto;
    };
    std::vector<std::unique_ptr<Page>> m_pages;
    std::unique_ptr<QPainter> m_pagePainter;
    SheetLayout m_layout;
    QPixmap m_buffer;
    bool m_bufferStale = true;
};

} // namespace tess::view::ui
