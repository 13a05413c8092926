// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "main/CsvExchange.h"

#include <QDialog>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace tilvo {

class DataSet;
class Prompts;

// The import dialog `ImportEntries`: the first lines of a file as a table, with the separator,
// the decimal mark, the encoding and the header line as guessed (each can be changed), one
// drop-down per column of the file for what it holds (Date, Quantité, Montant, Commentaire or
// "(ignorer)"), and for each line whether it can be imported or why not. " &Ok" imports the
// file into the account in one transaction with the gauge running; " &Annuler" stops it,
// leaving nothing imported. When lines are refused, their list shows in the dialog and the
// person is asked whether to import the valid ones. The dialog closes with OK once something
// was imported; report() then tells what.
class TImportEntries final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TImportEntries)

public:
    static constexpr int kPreviewLines = 20;
    static constexpr int kShownColumns = 64;

    TImportEntries(DataSet& query, int accountId, const QString& path, const CsvGuess& guess,
                   Prompts& prompts, QWidget* parent = nullptr);
    ~TImportEntries() override;

    QLabel* Title;
    QComboBox* Cb_Separator;
    QComboBox* Cb_Decimal;
    QComboBox* Cb_Encoding;
    QCheckBox* Chk_Header;
    QTableWidget* Grid_Preview; // row 0 holds the column drop-downs
    QLabel* Lab_Status;
    QPlainTextEdit* Memo_Refused;
    QProgressBar* Gauge;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Cancel;

    // The drop-down of a column of the file.
    QComboBox* columnChoice(int column) const;
    CsvFormat format() const { return m_format; }
    const std::vector<CsvColumn>& mapping() const { return m_mapping; }
    const ImportReport& report() const { return m_report; }
    bool importing() const { return m_importing; }

    void Btn_OkClick();
    void Btn_CancelClick();
    void FormatChange();
    void MappingChange();

public Q_SLOTS:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fillPreview();
    void refreshValidity();
    bool progress(qint64 done, qint64 total);
    bool decide(const ImportReport& report);

    DataSet& m_query;
    int m_accountId;
    QString m_path;
    Prompts& m_prompts;
    CsvFormat m_format;
    std::vector<CsvColumn> m_mapping;
    std::vector<CsvRecord> m_preview;
    int m_commentLimit = 255;
    ImportReport m_report;
    bool m_importing = false;
    bool m_cancel = false;
    bool m_filling = false;
};

} // namespace tilvo
