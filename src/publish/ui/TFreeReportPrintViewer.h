// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "publish/PreparedReport.h"

#include <QDialog>
#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QPrintPreviewWidget;
class QPrinter;
class QPushButton;
class QToolButton;

namespace tilvo {

class Prompts;

// `FreeReportPrintViewer`: the pages of a prepared report, zoomed to the page width when it
// opens, with whole page, page width and 100 percent zooms, paging, printing through the print
// dialog (a page range, the selection for the page shown, copies; the window closes afterwards)
// and saving as PDF. Typing the designer code word into the hidden field `Ed_Key`, then Tab and
// Enter on `BitBtn1`, opens the template in the text editor; saving it shows the report again.
class TFreeReportPrintViewer final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TFreeReportPrintViewer)

public:
    static constexpr const char* DesignerCodeWord = "frfd";

    explicit TFreeReportPrintViewer(Prompts& prompts, QWidget* parent = nullptr);
    ~TFreeReportPrintViewer() override;

    QLabel* Title;
    QPrintPreviewWidget* frPreview;
    QToolButton* spbPreviewPrint;
    QToolButton* Btn_Size_OnePage;
    QToolButton* Btn_Size_PageWidth;
    QToolButton* Btn_Size_Full;
    QToolButton* spbPreviewFirst;
    QToolButton* spbPreviewPrior;
    QToolButton* spbPreviewNext;
    QToolButton* spbPreviewLast;
    QLabel* Lab_Page;
    QToolButton* Btn_SavePdf;
    QPushButton* Btn_Close;
    QLineEdit* Ed_Key;
    QPushButton* BitBtn1;

    void setReport(PreparedReport report);
    const PreparedReport& report() const { return m_report; }
    // What the designer edits, and how the report is prepared again once it is saved.
    void setDesigner(const QString& templatePath, std::function<PreparedReport()> prepareAgain);

    void FormShow();
    void spbPreviewPrintClick();
    void Btn_SavePdfClick();
    void BitBtn1Click();

    int currentPage() const;
    int pageCount() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void paintPages(QPrinter* printer);
    void refreshPageLabel();

    Prompts& m_prompts;
    std::unique_ptr<QPrinter> m_printer;
    PreparedReport m_report;
    QString m_templatePath;
    std::function<PreparedReport()> m_prepareAgain;
};

} // namespace tilvo
