// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>
#include <QImage>

namespace tilvo {

class DataSource;
class FieldLink;

// A picture bound to a binary field holding a picture file (BMP, JPEG, PNG): it shows the
// current row's picture stretched to its own size and follows the dataset. It writes nothing;
// the program writes the field. Bytes that are no picture show as no picture.
class DBImage final : public QFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DBImage)

public:
    explicit DBImage(QWidget* parent = nullptr);
    ~DBImage() override;

    void setField(DataSource& dataSource, const QString& fieldName);
    FieldLink* link() const { return m_link; }

    bool hasPicture() const { return !m_picture.isNull(); }
    const QImage& picture() const { return m_picture; }

Q_SIGNALS:
    void doubleClicked();
    // The picture shown changed (another row, or the field written).
    void pictureChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void showField();

    FieldLink* m_link = nullptr;
    QImage m_picture;
    QByteArray m_bytes;
};

} // namespace tilvo
