#include "ImportPartsDialog.h"

#include "DialogButtons.h"

#include <algorithm>

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace fw {

ImportPartsDialog::ImportPartsDialog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ImportPartsDialog"));
    setWindowTitle(QStringLiteral("Choose a Part"));
    resize(640, 320);

    lstParts = NamedControl(new QTreeWidget(this), "lstParts", QStringLiteral("Parts"),
        QStringLiteral("The parts of the file; the selected one is imported."));
    lstParts->setRootIsDecorated(false);
    lstParts->setUniformRowHeights(true);
    lstParts->setAllColumnsShowFocus(true);
    lstParts->setSelectionMode(QAbstractItemView::SingleSelection);
    lstParts->setHeaderLabels(PartColumnTitles());
    // The name takes the room to spare, so the counts stay beside their titles.
    lstParts->header()->setStretchLastSection(false);
    lstParts->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    lblParts = new QLabel(this);
    lblParts->setObjectName(QStringLiteral("lblParts"));
    lblParts->setWordWrap(true);
    lblParts->setBuddy(lstParts);

    spnVoice = NamedControl(new QSpinBox(this), "spnVoice", QStringLiteral("Voice"),
        QStringLiteral("The voice of the part to import; Lowest takes the bass line."));
    spnVoice->setSpecialValueText(QStringLiteral("Lowest"));
    auto* voiceLabel = new QLabel(QStringLiteral("&Voice"), this);
    voiceLabel->setObjectName(QStringLiteral("lblVoice"));
    voiceLabel->setBuddy(spnVoice);
    std::tie(btnOK, btnCancel) = MakeOkCancelButtons(this);

    auto* voiceRow = new QHBoxLayout;
    voiceRow->addWidget(voiceLabel);
    voiceRow->addWidget(spnVoice);
    voiceRow->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblParts);
    layout->addWidget(lstParts, 1);
    layout->addLayout(voiceRow);
    layout->addLayout(buttons);
    setTabOrder(lstParts, spnVoice);
    setTabOrder(spnVoice, btnOK);
    setTabOrder(btnOK, btnCancel);

    connect(lstParts, &QTreeWidget::currentItemChanged, this, &ImportPartsDialog::showVoices);
    connect(lstParts, &QTreeWidget::itemActivated, this, &QDialog::accept);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void ImportPartsDialog::setParts(const QString& fileName, const QList<ImportPart>& parts)
{
    m_parts = parts;
    QString shown = QFileInfo(fileName).fileName();
    lblParts->setText(QStringLiteral("&Parts of \"%1\"; the selected one is imported:").arg(shown.replace(u'&', "&&")));
    lstParts->clear();
    QTreeWidgetItem* chosen = nullptr;
    for (const ImportPart& part : parts) {
        auto* item = new QTreeWidgetItem(lstParts, PartColumns(part));
        for (const int column : { 0, 3, 4, 5, 6 })
            item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
        if (part.chosen && !chosen)
            chosen = item;
    }
    // Wide enough for every column's text, so long instrument names do not cut the names short; the
    // screen bounds it. The name column is measured as the others, then takes the room to spare.
    QHeaderView* header = lstParts->header();
    header->setSectionResizeMode(1, QHeaderView::Interactive);
    int wanted = 0;
    for (int column = 0; column < lstParts->columnCount(); ++column) {
        lstParts->resizeColumnToContents(column);
        wanted += header->sectionSize(column);
    }
    header->setSectionResizeMode(1, QHeaderView::Stretch);
    const QMargins margins = layout()->contentsMargins();
    const int frame = margins.left() + margins.right() + 2 * lstParts->frameWidth()
        + lstParts->verticalScrollBar()->sizeHint().width();
    const QScreen* display = screen();
    const int room = display ? display->availableGeometry().width() * 9 / 10 : wanted + frame;
    resize(std::clamp(wanted + frame, width(), std::max(width(), room)), height());
    lstParts->setCurrentItem(chosen ? chosen : lstParts->topLevelItem(0));
    lstParts->setFocus();
    showVoices();
}

PartChoice ImportPartsDialog::choice() const
{
    PartChoice choice;
    const int row = lstParts->indexOfTopLevelItem(lstParts->currentItem());
    if (row >= 0 && row < m_parts.size())
        choice.track = m_parts[row].number;
    if (spnVoice->isEnabled())
        choice.voice = spnVoice->value();
    return choice;
}

void ImportPartsDialog::showVoices()
{
    const int row = lstParts->indexOfTopLevelItem(lstParts->currentItem());
    const int voices = row >= 0 && row < m_parts.size() ? m_parts[row].voices : 1;
    spnVoice->setRange(0, std::max(voices, 1));
    spnVoice->setValue(0);
    // A part of one voice has nothing to choose.
    spnVoice->setEnabled(voices > 1);
}

std::optional<PartChoice> DialogImportPartPrompt::choose(
    QWidget* parent, const QString& fileName, const QList<ImportPart>& parts)
{
    ImportPartsDialog dialog(parent);
    dialog.setParts(fileName, parts);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}

} // namespace fw
