// The main view: the directory tree on the left, the attribute list on the
// right, the splitter bar between. It owns the browser session for the whole
// run and forwards the user's clicks, double-clicks, keys and edits in the
// two panes to the core.
#pragma once

#include "browser/BrowserSession.h"
#include "browser/CommandTable.h"
#include "shell/AttributeTableView.h"

#include <QWidget>

class CSplitterBar;
class DirectoryTreeModel;
class DirectoryTreeView;
class QTreeView;

class COrnBrowserView final : public QWidget {
    Q_OBJECT

public:
    COrnBrowserView(Desktop& desktop, QWidget* parent);
    ~COrnBrowserView() override;

    AppContext& context() { return session_.context(); }
    QTreeView& tree();
    AttributeTableView& attributes() { return *attributes_; }

signals:
    // The user did something that may have changed what commands are enabled.
    void stateChanged();
    void treeMenuRequested(const QPoint& globalPosition);
    // A key of the tree's own (Del) was pressed in the tree.
    void commandRequested(CommandId id);
    void attributeMenuRequested(const QPoint& globalPosition);
    // The view's client size, which places the status bar's progress bar.
    void resized(const QSize& size);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildTree();
    void buildAttributeList();
    // Runs a core operation after the event that asked for it is over, as
    // the operation may rebuild the very rows the event came from.
    template <class Operation> void later(Operation operation);
    void openUnloaded(const QModelIndex& index);

    BrowserSession session_;

    CSplitterBar* splitter_;
    DirectoryTreeView* tree_;
    AttributeTableView* attributes_;
    DirectoryTreeModel* treeModel_;
    // Set while the panes are made to follow the core, so that their own
    // signals are not taken for the user's.
    bool following_ = false;
};
