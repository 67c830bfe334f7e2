#pragma once

#include <QGroupBox>
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <functional>

class QMimeData;

namespace tess::ui {

/// The picture area: the stamped photo scaled to fit, proportions kept, centred, smooth.
class PhotoPane : public QWidget
{
    Q_OBJECT
public:
    explicit PhotoPane(QWidget* parent = nullptr);
    /// Scales \a picture once for display; a null picture empties the area.
    void setPicture(const QImage& picture);
    const QPixmap& shown() const { return m_scaled; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QImage m_picture;
    QPixmap m_scaled;
};

/// The "Thumbnail" group box: a drop target for photo files.
class DropGroupBox : public QGroupBox
{
    Q_OBJECT
public:
    using QGroupBox::QGroupBox;
    std::function<void(const QStringList&)> onDrop;
    /// Hands the local files of a drop to onDrop.
    void handleDrop(const QMimeData* data);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

} // namespace tess::ui
