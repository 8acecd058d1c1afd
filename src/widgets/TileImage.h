#pragma once

#include <QPixmap>
#include <QWidget>

// A picture drawn once at the top-left corner or repeated to cover the control.
class TTileImage : public QWidget {
    Q_OBJECT
public:
    explicit TTileImage(QWidget* parent = nullptr);

    QPixmap Picture() const { return m_picture; }
    void SetPicture(const QPixmap& picture);

    bool TileImage() const { return m_tile; }
    void SetTileImage(bool tile);

    QSize sizeHint() const override { return {105, 105}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_picture;
    bool m_tile = false;
};
