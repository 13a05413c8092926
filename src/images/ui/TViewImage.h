// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QToolButton;

namespace tilvo {

class PictureControl;
class Prompts;

// The picture viewer `ViewImage`: one picture file, shrunk to the window when it is larger
// (FitPictureInBox over the panel less a 10-pixel margin all round), at its own size and
// centred otherwise. The grip `Image1` resizes the window down to 200 × 200.
class TViewImage final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TViewImage)

public:
    explicit TViewImage(QWidget* parent = nullptr);
    ~TViewImage() override;

    QLabel* Title;
    QToolButton* Exit;
    QToolButton* SysMaxiBtn;
    QWidget* Panel1;
    PictureControl* Image;
    QLabel* Image1;

    // Loads the file (JPEG, BMP or PNG); throws Error naming it when it cannot be read.
    void loadFile(const QString& path);
    void setPicture(const QImage& picture);
    // Places the picture for the panel's present size.
    void FormResize();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};

// Shows the picture file in the viewer, modally, or the "VISUALISER" message when the file
// has gone. Throws Error when the file cannot be read.
void ViewPictureFile(const QString& path, Prompts& prompts, QWidget* parent = nullptr);

} // namespace tilvo
