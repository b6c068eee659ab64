#include "shell/CSplitterBar.h"

CSplitterBar::CSplitterBar(QWidget* parent)
    : QSplitter(Qt::Horizontal, parent)
{
    setObjectName("splitterBar");
    setHandleWidth(6);
    setChildrenCollapsible(false);
    // The panes move when the bar is released, not while it is dragged.
    setOpaqueResize(false);
}
