// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ui/TImportEntries.h"

#include "common/Prompts.h"
#include "common/ui/Chrome.h"
#include "common/ui/ErrorGuard.h"
#include "common/ui/OkCancelRow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tilvo {

namespace {

constexpr int kGaugeSteps = 1000;
const QColor kValid(0x00, 0x80, 0x00);
const QColor kRefused(0xC0, 0x00, 0x00);

const std::vector<CsvColumn> kKinds{CsvColumn::Skip, CsvColumn::Date, CsvColumn::Quantity,
                                    CsvColumn::Amount, CsvColumn::Comment};

QComboBox* Choice(QWidget* parent, const QString& name,
                  const std::vector<std::pair<QString, QVariant>>& items)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    for (const auto& [text, data] : items)
        box->addItem(text, data);
    return box;
}

void Select(QComboBox* box, const QVariant& data)
{
    const int index = box->findData(data);
    if (index >= 0)
        box->setCurrentIndex(index);
}

} // namespace

TImportEntries::TImportEntries(DataSet& query, int accountId, const QString& path,
                               const CsvGuess& guess, Prompts& prompts, QWidget* parent)
    : QDialog(parent), m_query(query), m_accountId(accountId), m_path(path), m_prompts(prompts),
      m_format(guess.format), m_mapping(guess.mapping)
{
    setObjectName(QStringLiteral("ImportEntries"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const TitleBarParts bar =
        BuildTitleBar(this, QStringLiteral("  Importer des consommations"), false, false);
    Title = bar.title;
    layout->addWidget(bar.bar);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(10, 8, 10, 4);
    body->setSpacing(6);
    auto* options = new QHBoxLayout;
    options->setSpacing(6);
    Cb_Separator = Choice(this, QStringLiteral("Cb_Separator"),
                          {{QStringLiteral("Point-virgule ( ; )"), QStringLiteral(";")},
                           {QStringLiteral("Virgule ( , )"), QStringLiteral(",")},
                           {QStringLiteral("Tabulation"), QStringLiteral("\t")}});
    Cb_Decimal = Choice(this, QStringLiteral("Cb_Decimal"),
                        {{QStringLiteral("Virgule ( , )"), QStringLiteral(",")},
                         {QStringLiteral("Point ( . )"), QStringLiteral(".")}});
    Cb_Encoding = Choice(this, QStringLiteral("Cb_Encoding"),
                         {{QStringLiteral("UTF-8"), int(CsvEncoding::Utf8)},
                          {QStringLiteral("Windows-1252"), int(CsvEncoding::Windows1252)}});
    Chk_Header = new QCheckBox(QStringLiteral("Première ligne : noms des colonnes"), this);
    Chk_Header->setObjectName(QStringLiteral("Chk_Header"));
    const auto caption = [this](const QString& text, QWidget* buddy) {
        auto* label = new QLabel(text, this);
        label->setBuddy(buddy);
        return label;
    };
    options->addWidget(caption(QStringLiteral("Séparateur"), Cb_Separator));
    options->addWidget(Cb_Separator);
    options->addSpacing(6);
    options->addWidget(caption(QStringLiteral("Décimales"), Cb_Decimal));
    options->addWidget(Cb_Decimal);
    options->addSpacing(6);
    options->addWidget(caption(QStringLiteral("Codage"), Cb_Encoding));
    options->addWidget(Cb_Encoding);
    options->addSpacing(6);
    options->addWidget(Chk_Header);
    options->addStretch();
    body->addLayout(options);

    Grid_Preview = new QTableWidget(this);
    Grid_Preview->setObjectName(QStringLiteral("Grid_Preview"));
    Grid_Preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid_Preview->setSelectionMode(QAbstractItemView::NoSelection);
    Grid_Preview->verticalHeader()->hide();
    Grid_Preview->horizontalHeader()->setStretchLastSection(true);
    body->addWidget(Grid_Preview, 1);

    Lab_Status = new QLabel(this);
    Lab_Status->setObjectName(QStringLiteral("Lab_Status"));
    Lab_Status->setWordWrap(true);
    body->addWidget(Lab_Status);
    Memo_Refused = new QPlainTextEdit(this);
    Memo_Refused->setObjectName(QStringLiteral("Memo_Refused"));
    Memo_Refused->setReadOnly(true);
    Memo_Refused->setMaximumHeight(110);
    Memo_Refused->hide();
    body->addWidget(Memo_Refused);
    Gauge = new QProgressBar(this);
    Gauge->setObjectName(QStringLiteral("Gauge"));
    Gauge->setRange(0, kGaugeSteps);
    Gauge->setValue(0);
    Gauge->hide();
    body->addWidget(Gauge);
    layout->addLayout(body, 1);

    const OkCancelRow buttons = MakeOkCancelRow(this);
    Btn_Ok = buttons.ok;
    Btn_Cancel = buttons.cancel;
    for (QPushButton* b : {Btn_Ok, Btn_Cancel})
        b->setAutoDefault(false);
    layout->addLayout(buttons.layout);

    Select(Cb_Separator, QString(m_format.separator));
    Select(Cb_Decimal, QString(m_format.decimalMark));
    Select(Cb_Encoding, int(m_format.encoding));
    Chk_Header->setChecked(m_format.hasHeader);
    m_commentLimit = CommentLimit(query);

    for (QComboBox* box : {Cb_Separator, Cb_Decimal, Cb_Encoding})
        connect(box, &QComboBox::currentIndexChanged, this,
                [this] { RunGuarded(m_prompts, [this] { FormatChange(); }); });
    connect(Chk_Header, &QCheckBox::toggled, this,
            [this] { RunGuarded(m_prompts, [this] { FormatChange(); }); });
    connect(Btn_Ok, &QPushButton::clicked, this, &TImportEntries::Btn_OkClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &TImportEntries::Btn_CancelClick);

    fillPreview();
    resize(720, 440);
    SetUpChrome(this);
}

TImportEntries::~TImportEntries() = default;

void TImportEntries::showEvent(QShowEvent* event)
{
    ShowCaption(this);
    QDialog::showEvent(event);
}

QComboBox* TImportEntries::columnChoice(int column) const
{
    return qobject_cast<QComboBox*>(Grid_Preview->cellWidget(0, column + 1));
}

void TImportEntries::FormatChange()
{
    if (m_filling)
        return;
    m_format.separator = Cb_Separator->currentData().toString().at(0);
    m_format.decimalMark = Cb_Decimal->currentData().toString().at(0);
    m_format.encoding = CsvEncoding(Cb_Encoding->currentData().toInt());
    m_format.hasHeader = Chk_Header->isChecked();
    fillPreview();
}

void TImportEntries::MappingChange()
{
    if (m_filling)
        return;
    for (int c = 0; c < int(m_mapping.size()) && c < kShownColumns; ++c) {
        if (QComboBox* box = columnChoice(c))
            m_mapping[size_t(c)] = kKinds[size_t(box->currentIndex())];
    }
    refreshValidity();
}

void TImportEntries::fillPreview()
{
    m_filling = true;
    m_preview = PreviewCsv(m_path, m_format, kPreviewLines + (m_format.hasHeader ? 1 : 0));
    // Another separator may give another number of columns: new ones hold nothing yet.
    const int width = m_preview.empty() ? 0 : int(m_preview.front().fields.size());
    if (width != int(m_mapping.size()))
        m_mapping.resize(size_t(width), CsvColumn::Skip);
    // A line of thousands of fields is no entry; its columns past these are not offered.
    const int shown = std::min(width, kShownColumns);

    QStringList labels{QStringLiteral("Ligne")};
    for (int c = 0; c < shown; ++c) {
        const bool named = m_format.hasHeader && !m_preview.empty();
        labels << (named ? m_preview.front().fields.value(c).trimmed()
                         : QStringLiteral("Colonne %1").arg(c + 1));
    }
    labels << QStringLiteral("État");
    const int first = m_format.hasHeader ? 1 : 0;
    const int rows = std::max(0, int(m_preview.size()) - first);
    Grid_Preview->setRowCount(0); // drops the drop-downs of the last preview
    Grid_Preview->clear();
    Grid_Preview->setColumnCount(int(labels.size()));
    Grid_Preview->setRowCount(rows + 1);
    Grid_Preview->setHorizontalHeaderLabels(labels);
    for (int c = 0; c < shown; ++c) {
        auto* box = new QComboBox(Grid_Preview);
        box->setObjectName(QStringLiteral("Cb_Column%1").arg(c + 1));
        for (const CsvColumn kind : kKinds)
            box->addItem(CsvColumnName(kind));
        box->setCurrentIndex(
            int(std::find(kKinds.begin(), kKinds.end(), m_mapping[size_t(c)]) - kKinds.begin()));
        connect(box, &QComboBox::currentIndexChanged, this,
                [this] { RunGuarded(m_prompts, [this] { MappingChange(); }); });
        Grid_Preview->setCellWidget(0, c + 1, box);
    }
    for (int r = 0; r < rows; ++r) {
        const CsvRecord& record = m_preview[size_t(r + first)];
        Grid_Preview->setItem(r + 1, 0, new QTableWidgetItem(QString::number(record.line)));
        for (int c = 0; c < shown && c < record.fields.size(); ++c) {
            // A long value is cut in the preview; it is checked whole.
            QString shown = record.fields.at(c);
            shown.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\n', u' ');
            if (shown.size() > 80)
                shown = shown.left(80) + QChar(0x2026);
            Grid_Preview->setItem(r + 1, c + 1, new QTableWidgetItem(shown));
        }
    }
    Grid_Preview->resizeColumnsToContents();
    m_filling = false;
    refreshValidity();
}

void TImportEntries::refreshValidity()
{
    const int status = Grid_Preview->columnCount() - 1;
    const int first = m_format.hasHeader ? 1 : 0;
    CsvEntry entry;
    for (int row = 1; row < Grid_Preview->rowCount(); ++row) {
        const CsvRecord& record = m_preview[size_t(row - 1 + first)];
        const QString reason = ReadCsvEntry(record, m_format, m_mapping, m_commentLimit, entry);
        auto* item = new QTableWidgetItem(reason.isEmpty() ? QStringLiteral("valide") : reason);
        item->setForeground(reason.isEmpty() ? kValid : kRefused);
        Grid_Preview->setItem(row, status, item);
    }
    const QString problem = CheckCsvMapping(m_mapping);
    if (!problem.isEmpty()) {
        Lab_Status->setText(problem);
        Lab_Status->setStyleSheet(QStringLiteral("color: #C00000"));
    } else {
        Lab_Status->setText(
            QStringLiteral("Aperçu des premières lignes de « %1 ». Les lignes valides seront "
                           "ajoutées au compte sélectionné.")
                .arg(QFileInfo(m_path).fileName()));
        Lab_Status->setStyleSheet(QString());
    }
    Btn_Ok->setEnabled(problem.isEmpty() && !m_importing);
}

bool TImportEntries::progress(qint64 done, qint64 total)
{
    Gauge->setValue(int(done * kGaugeSteps / std::max<qint64>(total, 1)));
    // The gauge repaints and a click on " &Annuler" gets through.
    QCoreApplication::processEvents();
    return !m_cancel;
}

bool TImportEntries::decide(const ImportReport& report)
{
    Memo_Refused->setPlainText(QString(report.refusedText()).replace(u'\r', u'\n'));
    Memo_Refused->show();
    return m_prompts.askYesNo(
        QStringLiteral("%1 ligne(s) refusée(s) : voir la liste.\rImporter les %2 ligne(s) "
                       "valide(s) ?")
            .arg(report.refusedCount)
            .arg(report.valid),
        Prompts::Icon::Warning);
}

void TImportEntries::Btn_OkClick()
{
    if (m_importing || !CheckCsvMapping(m_mapping).isEmpty())
        return;
    m_importing = true;
    m_cancel = false;
    const QList<QWidget*> controls{Cb_Separator, Cb_Decimal,   Cb_Encoding,
                                   Chk_Header,   Grid_Preview, Btn_Ok};
    for (QWidget* w : controls)
        w->setEnabled(false);
    Memo_Refused->hide();
    Gauge->setValue(0);
    Gauge->show();
    const bool done = RunGuarded(m_prompts, [this] {
        m_report = ImportEntries(
            m_query, m_accountId, m_path, m_format, m_mapping,
            [this](qint64 d, qint64 t) { return progress(d, t); },
            [this](const ImportReport& r) { return decide(r); });
    });
    m_importing = false;
    for (QWidget* w : controls)
        w->setEnabled(true);
    Gauge->hide();
    if (!done)
        return;
    if (m_report.imported > 0) {
        accept();
        return;
    }
    if (m_report.refusedCount > 0) {
        Memo_Refused->setPlainText(QString(m_report.refusedText()).replace(u'\r', u'\n'));
        Memo_Refused->show();
    }
    Lab_Status->setStyleSheet(QStringLiteral("color: #C00000"));
    if (m_report.cancelled)
        Lab_Status->setText(QStringLiteral("Importation annulée : rien n'a été importé."));
    else if (m_report.valid == 0)
        Lab_Status->setText(QStringLiteral("Aucune ligne valide : rien n'a été importé."));
    else
        Lab_Status->setText(QStringLiteral("Rien n'a été importé."));
}

void TImportEntries::Btn_CancelClick()
{
    if (m_importing)
        m_cancel = true;
    else
        QDialog::reject();
}

void TImportEntries::reject()
{
    // The close box and Escape stop a running import instead of closing under it.
    Btn_CancelClick();
}

} // namespace tilvo
