// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QWidget>

namespace tilvo {

// A picture control: the picture drawn stretched over the control, or at its own size and
// centred in it. The windows place and size it themselves.
class PictureControl final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PictureControl)

public:
    explicit PictureControl(QWidget* parent = nullptr);
    ~PictureControl() override;

    const QImage& picture() const { return m_picture; }
    void setPicture(const QImage& picture);
    bool stretch() const { return m_stretch; }
    void setStretch(bool stretch);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
    bool m_stretch = false;
};

} // namespace tilvo
