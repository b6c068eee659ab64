// The attribute list of the core (AttributeList) as a Qt table model: value,
// name and syntax of each row. Column 0 can be edited in place; the edit
// itself goes through the core (see AttributeEditDelegate), never through
// setData. The row the core selects is passed on as a signal.
#pragma once

#include "browser/properties/AttributeList.h"

#include <QAbstractTableModel>

class AttributeTableModel final : public QAbstractTableModel, private AttributeListObserver {
    Q_OBJECT

public:
    static constexpr int kColumnWidths[3] = { 260, 125, 185 };

    explicit AttributeTableModel(AttributeList& list, QObject* parent = nullptr);
    ~AttributeTableModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    void selectionMoved(int row);

private:
    void beginInsertRows(int first, int last) override;
    void endInsertRows() override;
    void beginRemoveRows(int first, int last) override;
    void endRemoveRows() override;
    void rowChanged(int row) override;
    void selectionChanged(int row) override;

    AttributeList& list_;
};
