// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QPagedPaintDevice;
class QPushButton;
class QTextBrowser;

namespace tilvo {

class Prompts;

// `HtmlView`: shows a page written into Html/Temp/ (Windows-1252, its pictures beside it),
// prints it on the default printer without a dialog, saves it with its pictures elsewhere, or
// as a PDF file. The caller sets the title and the page path, runs the window and destroys it.
class THtmlView final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(THtmlView)

public:
    THtmlView(const QString& dataFolder, Prompts& prompts, QWidget* parent = nullptr);

    QLabel* Title;
    QWidget* Pan_BackGround;
    QTextBrowser* WebBrowser_Html;
    QPushButton* HtmlBtn;
    QPushButton* ImprimerBtn;
    QPushButton* PdfBtn;
    QPushButton* Btn_Close;

    void setTitle(const QString& title);
    const QString& pagePath() const { return m_pagePath; }
    void setPagePath(const QString& path);

    void FormShow();
    void HtmlBtnClick();
    void ImprimerBtnClick();
    void PdfBtnClick();

    // The shown page on a printer or a PDF writer, its pictures included.
    void printPage(QPagedPaintDevice& device) const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void loadPage();

    QString m_dataFolder;
    Prompts& m_prompts;
    QString m_pagePath;
};

// Copies the page of Html/Temp/ (index.htm) to `destination`, its pictures ("*.jpg") and
// other pages ("*.htm" but index.htm) into the destination's folder, replacing files there.
// A copy that fails is passed over.
void SaveHtmlPageWithPictures(const QString& tempFolder, const QString& destination);

} // namespace tilvo
