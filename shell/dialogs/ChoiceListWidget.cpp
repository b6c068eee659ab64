#include "shell/dialogs/ChoiceListWidget.h"

#include <QListWidget>
#include <QSignalBlocker>

QListWidget* NamedList(QWidget* parent, const char* name)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setUniformItemSizes(true); // a schema holds about a thousand names
    return list;
}

void DisplayChoices(QListWidget& list, const ChoiceList& choices)
{
    const QSignalBlocker quiet(list);
    bool same = list.count() == static_cast<int>(choices.items.size());
    for (int row = 0; same && row < list.count(); ++row)
        same = list.item(row)->text().toStdString() == choices.items[static_cast<std::size_t>(row)];
    if (!same) {
        list.clear();
        for (const std::string& item : choices.items)
            list.addItem(QString::fromStdString(item));
    }
    if (list.currentRow() != choices.selected) {
        list.setCurrentRow(choices.selected);
        if (choices.selected < 0)
            list.clearSelection();
    }
}

void OnChoose(QListWidget& list, std::function<void(int)> choose, std::function<void()> after)
{
    QObject::connect(
        &list, &QListWidget::currentRowChanged, &list, [choose = std::move(choose), after = std::move(after)](int row) {
            if (row < 0)
                return;
            choose(row);
            after();
        });
}
