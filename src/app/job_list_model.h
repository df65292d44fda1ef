#pragma once
// The job list as the list view shows it: three columns, one row per entry.

#include "joblist/job_list.h"

#include <QAbstractTableModel>

namespace quillon {

class JobListModel : public QAbstractTableModel, public JobListObserver {
public:
    explicit JobListModel(JobList &jobs, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void EntryAboutToBeAppended(int index) override;
    void EntryAppended(int index) override;
    void EntryChanged(int index) override;
    void EntryAboutToBeRemoved(int index) override;
    void EntryRemoved(int index) override;
    void ListAboutToBeCleared() override;
    void ListCleared() override;

private:
    JobList &Jobs;
};

} // namespace quillon
