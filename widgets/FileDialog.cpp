// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/FileDialog.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QTreeView>

namespace {
const QString FilterSeparator = QStringLiteral(";;");

// Qt's own chooser (used where the desktop offers none) fills its size and date columns in the
// locale of the environment (QLocale::system() follows LANG, "144 bytes", "10 Dec 2026") and
// calls a folder "Folder", while the program speaks Chinese whatever LANG says. This proxy
// fills those columns in the program's locale (QLocale(), set at start) instead.
class ProgramLocaleColumns : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (role != Qt::DisplayRole || !files || !index.isValid())
            return QIdentityProxyModel::data(index, role);
        // QFileSystemModel's columns: name, size, type, date modified.
        const QModelIndex source = mapToSource(index);
        switch (index.column()) {
        case 1:
            return files->isDir(source) ? QString() : QLocale().formattedDataSize(files->size(source));
        case 2:
            return files->isDir(source) ? QStringLiteral("文件夹") : QIdentityProxyModel::data(index, role);
        case 3:
            return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
        default:
            return QIdentityProxyModel::data(index, role);
        }
    }
};

// The chosen file, or an empty text when the user cancelled.
QString runChooser(QFileDialog &dialog)
{
    dialog.setProxyModel(new ProgramLocaleColumns(&dialog));
    // Qt's chooser gives its columns fixed widths, which cut a Chinese date or type short
    // ("2026/1… 01:36"): the detail columns take the width of what they show, the name the rest.
    if (auto *details = dialog.findChild<QTreeView *>(QStringLiteral("treeView"))) {
        QHeaderView *header = details->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}
} // namespace

QString FileDialog::saveFileName(QWidget *parent, const QString &title, const QString &suggestedPath,
                                 const QStringList &filters, QString *selectedFilter)
{
    if (Recorder *recorder = Recorder::active()) {
        const Answer answer = recorder->record({true, title, suggestedPath, filters,
                                                selectedFilter ? *selectedFilter : QString()})
                                  .value_or(Answer());
        if (selectedFilter && !answer.filter.isEmpty())
            *selectedFilter = answer.filter;
        return answer.path;
    }
    QFileDialog dialog(parent, title, suggestedPath, filters.join(FilterSeparator));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (selectedFilter && !selectedFilter->isEmpty())
        dialog.selectNameFilter(*selectedFilter);
    const QString path = runChooser(dialog);
    if (selectedFilter && !path.isEmpty())
        *selectedFilter = dialog.selectedNameFilter();
    return path;
}

QString FileDialog::openFileName(QWidget *parent, const QString &title, const QString &folder,
                                 const QStringList &filters)
{
    if (Recorder *recorder = Recorder::active())
        return recorder->record({false, title, folder, filters, QString()}).value_or(Answer()).path;
    QFileDialog dialog(parent, title, folder, filters.join(FilterSeparator));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return runChooser(dialog);
}
