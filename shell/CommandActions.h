// The command table made into Qt actions: one action per command for the
// menu bar, the toolbar and the keys, and fresh actions for the context
// menus, whose labels differ. Enabled and checked states come from the
// table's rules; triggering runs the core operation (RunCommand), and what
// the core leaves to the shell is handed on through signals.
#pragma once

#include "browser/CommandTable.h"

#include <QObject>

#include <map>
#include <optional>

class QAction;
class QEvent;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

class CommandActions final : public QObject {
    Q_OBJECT

public:
    CommandActions(AppContext& context, QWidget& window);

    QAction* action(CommandId id) const { return actions_.at(id); }

    void fillMenuBar(QMenuBar& bar);
    void fillToolBar(QToolBar& bar);
    // A context menu as it stands now, deleted when it closes.
    QMenu* contextMenu(const std::vector<MenuEntry>& entries, QWidget* parent);

    // Re-reads every enabling rule and check mark.
    void refresh();
    void trigger(CommandId id);

signals:
    // A command the shell carries out itself: Toolbar, Status Bar, Exit, About.
    void shellCommand(CommandId id);
    void outcome(CommandOutcome outcome);

private:
    void fill(QMenu& menu, const std::vector<MenuEntry>& entries, bool contextLabels);

    AppContext& context_;
    std::map<CommandId, QAction*> actions_;
};

// The command whose key of a pane's own (the attribute lists', which start
// their in-place editor, or the tree's) the event presses, if any.
std::optional<CommandId> PaneKey(const QEvent& event, KeyScope scope);
