#include "app/job_list_model.h"

#include "platform/translation.h"

namespace quillon {

JobListModel::JobListModel(JobList &jobs, QObject *parent) : QAbstractTableModel(parent), Jobs(jobs)
{
    Jobs.SetObserver(this);
}

int JobListModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : Jobs.Count(); }
int JobListModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : 3; }

QVariant JobListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= Jobs.Count() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const JobEntry &e = Jobs.Entry(index.row());
    // The hint of a row that failed says why.
    if (role == Qt::ToolTipRole && !e.Reason.empty())
        return QString::fromStdString(e.Reason);
    // The texts are the system's 8-bit strings; on this system that is UTF-8.
    switch (index.column()) {
    case 0: return QString::fromStdString(e.Source);
    case 1: return QString::fromStdString(e.Information);
    // A final state in the user's language; a percentage as it is.
    default: return IsFinal(e.State) ? QTr("JobList", e.Progress.c_str()) : QString::fromStdString(e.Progress);
    }
}

QVariant JobListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char *const titles[] = {QT_TRANSLATE_NOOP("JobList", "File Name"),
                                         QT_TRANSLATE_NOOP("JobList", "Information"),
                                         QT_TRANSLATE_NOOP("JobList", "Progress")};
    return section >= 0 && section < 3 ? QTr("JobList", titles[section]) : QVariant();
}

void JobListModel::EntryAboutToBeAppended(int index) { beginInsertRows({}, index, index); }
void JobListModel::EntryAppended(int) { endInsertRows(); }

void JobListModel::EntryChanged(int index) { emit dataChanged(this->index(index, 0), this->index(index, 2)); }

void JobListModel::EntryAboutToBeRemoved(int index) { beginRemoveRows({}, index, index); }
void JobListModel::EntryRemoved(int) { endRemoveRows(); }
void JobListModel::ListAboutToBeCleared() { beginResetModel(); }
void JobListModel::ListCleared() { endResetModel(); }

} // namespace quillon
