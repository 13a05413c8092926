// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/DataSet.h"
#include "publish/PreparedReport.h"

#include <QDialog>
#include <QPoint>
#include <memory>
#include <utility>
#include <vector>

class QLabel;
class QPushButton;
class QScrollArea;
class QToolButton;

namespace tilvo {

class Connection;
class PictureControl;
class Prompts;

// The picture preview `PreviewImage`: walks the rows of a query (columns `Id` and `Title`),
// shows the picture file of each row (folder + prefix + Id + ".jpg") whole, at the page's width
// or at its own size, and prints or saves it. The caller sets the parameters, calls
// OpenPicturePreview, shows the window modally and releases it.
class TPreviewImage final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TPreviewImage)

public:
    enum DisplayModes
    {
        WholePicture = 1,
        PageWidth = 2,
        ActualSize = 3,
    };

    // `QueryImg` runs on the connection; printing asks the prompts for the print dialog.
    TPreviewImage(Connection& connection, Prompts& prompts, QWidget* parent = nullptr);
    ~TPreviewImage() override;

    // The parameters.
    QString PictureFolder; // ends with "/"
    QString FilePrefix;
    QString TitleWord;
    int DisplayMode = WholePicture;
    QString QueryText;

    // Prepares the window and the dataset, on the row whose Id is `startId` (the first row when
    // it is below 0). Window mode 2 covers the desktop's work area, any other value gives an
    // 800 × 600 client area centred in it. An error of the query reaches the caller.
    void OpenPicturePreview(int startId, int windowMode);

    DataSet& QueryImg() { return *m_query; }
    const QString& currentPicturePath() const { return m_picturePath; }

    QLabel* Title;
    QToolButton* SysMaxiBtn;
    QScrollArea* Cadre;
    QWidget* Canvas; // what Cadre scrolls
    PictureControl* Image;
    QWidget* Pan_F;
    QToolButton* Btn_Print;
    QToolButton* Btn_Save;
    QToolButton* LMDShapeButton2;
    QToolButton* spbPreviewWidth;
    QToolButton* spbPreview100Percent;
    QWidget* Pan_First;
    QWidget* Pan_Prior;
    QWidget* Pan_Next;
    QWidget* Pan_Last;
    QToolButton* Btn_First;
    QToolButton* Btn_Prior;
    QToolButton* Btn_Next;
    QToolButton* Btn_Last;
    QPushButton* Btn_Close;
    QWidget* Pan_RezisePad;

    void FormShow();
    // Loads the current row: its picture (or the message when its file has gone), the title
    // and the buttons.
    void LoadCurrentRow();
    void UpdateButtons();
    // Places the picture for the display mode and the scroll box's size.
    void FormResize();
    void Btn_FirstClick();
    void Btn_PriorClick();
    void Btn_NextClick();
    void Btn_LastClick();
    void LMDShapeButton2Click();
    void spbPreviewWidthClick();
    void spbPreview100PercentClick();
    void Btn_PrintClick();
    void Btn_SaveClick();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadRow(bool showMissing);
    void setDisplayMode(int mode);
    void resetScroll();
    QString missingMessage() const;
    // The current picture's page, or nothing (after the message) when its file has gone.
    bool prepareCurrentPage(std::vector<std::pair<PreparedReport, int>>& pages, int copies);
    void guarded(void (TPreviewImage::*handler)());

    Prompts& m_prompts;
    std::unique_ptr<DataSet> m_query;
    QString m_picturePath;
    bool m_dragging = false;
    QPoint m_dragStart;
    QPoint m_scrollStart;
};

} // namespace tilvo
