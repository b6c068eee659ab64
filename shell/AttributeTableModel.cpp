#include "shell/AttributeTableModel.h"

AttributeTableModel::AttributeTableModel(AttributeList& list, QObject* parent)
    : QAbstractTableModel(parent)
    , list_(list)
{
    list_.addObserver(this);
}

AttributeTableModel::~AttributeTableModel()
{
    list_.removeObserver(this);
}

int AttributeTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : list_.size();
}

int AttributeTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant AttributeTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= list_.size())
        return {};
    const AttributeRow& row = list_.row(index.row());
    // A text value whole, for the value cell's tooltip.
    if (role == Qt::ToolTipRole)
        return index.column() == 0 && !row.binary ? QString::fromStdString(row.value) : QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    switch (index.column()) {
    case 0:
        return QString::fromStdString(row.shownValue());
    case 1:
        return QString::fromStdString(row.name);
    default:
        return QString::fromStdString(row.syntax);
    }
}

QVariant AttributeTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char* const titles[] = { "Attribute Value", "Attribute Name", "Attribute Syntax" };
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > 2)
        return {};
    return QString::fromLatin1(titles[section]);
}

Qt::ItemFlags AttributeTableModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    const bool text = index.isValid() && index.row() < list_.size() && !list_.row(index.row()).binary;
    return index.column() == 0 && text ? flags | Qt::ItemIsEditable : flags;
}

void AttributeTableModel::beginInsertRows(int first, int last)
{
    QAbstractTableModel::beginInsertRows({}, first, last);
}

void AttributeTableModel::endInsertRows()
{
    QAbstractTableModel::endInsertRows();
}

void AttributeTableModel::beginRemoveRows(int first, int last)
{
    QAbstractTableModel::beginRemoveRows({}, first, last);
}

void AttributeTableModel::endRemoveRows()
{
    QAbstractTableModel::endRemoveRows();
}

void AttributeTableModel::rowChanged(int row)
{
    emit dataChanged(index(row, 0), index(row, 2));
}

void AttributeTableModel::selectionChanged(int row)
{
    emit selectionMoved(row);
}
