// The bar between the tree and the attribute list. Qt's splitter handle
// already paints itself, shows the west-east sizing cursor and moves both
// panes' edges when it is dragged, which is the whole of the bar's job.
#pragma once

#include <QSplitter>

class CSplitterBar final : public QSplitter {
public:
    explicit CSplitterBar(QWidget* parent);
};
